#include "SetupAppFixture.h"

void DrainMessages() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) continue;  // a test's main window ended: nothing to stop
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}
