// Keeps the windows alive during long work inside a message handler.
#pragma once

// Dispatches every message waiting in the queue and returns when it is
// empty. A WM_QUIT met here is posted again, so that the main loop ends
// once the work is over.
void PumpMessages();
