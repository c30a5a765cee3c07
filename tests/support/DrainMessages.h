// Dispatching what waits in the test thread's queue.
#pragma once

// Dispatches every message waiting in this thread's queue, through the
// current application (its dialog and accelerator handling) when there is
// one. A WM_QUIT is taken out and not acted on: a test's main window that
// ended stops nothing. True when a WM_QUIT was among the messages.
bool DrainMessages();
