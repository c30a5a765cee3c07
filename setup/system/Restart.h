// Restarting Windows from the Restart page, when files in use could only be
// replaced at the next start.
#pragma once

// Asks Windows to restart. On success Windows ends the program as part of
// the shutdown and true is returned; when Windows refuses, the user is told
// to close the running applications by hand ("Windows could not shut down
// all running applications.") and false is returned, so that the page can
// stay for another attempt.
bool RestartWindows();
