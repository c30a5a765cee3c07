/* A DLL that does nothing: the copy engine's tests install it in several
   versions to try the replacement rule on real version resources. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)instance;
  (void)reason;
  (void)reserved;
  return TRUE;
}
