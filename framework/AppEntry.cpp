// The program entry point: hands control to the application object.
#include <windows.h>

#include "framework/SystemLibrary.h"
#include "framework/WinApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCmd) {
  // Before anything can load a DLL by name: never from the program's own
  // folder, which may be a Downloads folder or a share.
  RestrictDllSearch();
  CWinApp* app = AfxGetApp();
  if (!app) return -1;
  return app->WinMainEntry(instance, commandLine, showCmd);
}
