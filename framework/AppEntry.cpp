// The program entry point: hands control to the application object.
#include <windows.h>

#include "framework/WinApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCmd) {
  CWinApp* app = AfxGetApp();
  if (!app) return -1;
  return app->WinMainEntry(instance, commandLine, showCmd);
}
