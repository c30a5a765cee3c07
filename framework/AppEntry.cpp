// The program entry point: hands control to the application object.
#include <windows.h>

#include <cstdlib>
#include <exception>

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

// An exception that leaves a destructor or a noexcept function ends the
// program through std::terminate (WinMainEntry catches everything else).
// libstdc++'s default handler first writes the exception's type, demangled,
// to the standard error, which a Windows program has none of, and then
// calls abort(). This one only calls abort(), which shows the same, and
// keeps the demangler (about 45 KB) out of the program.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
