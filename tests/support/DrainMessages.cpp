#include "tests/support/DrainMessages.h"

#include <windows.h>

#include "framework/WinApp.h"

bool DrainMessages() {
  bool quit = false;
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      quit = true;
      continue;
    }
    if (CWinApp* app = AfxGetApp()) {
      app->DispatchOne(msg);
    } else {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
  return quit;
}
