#include "framework/PumpMessages.h"

#include <windows.h>

#include "framework/WinApp.h"

void PumpMessages() {
  CWinApp* app = AfxGetApp();
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (app) {
      app->DispatchOne(msg);
    } else {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
}
