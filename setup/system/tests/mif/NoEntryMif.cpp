// An "ismif32.dll" without the InstallStatusMIF entry point, for tests.
#include <windows.h>

extern "C" __declspec(dllexport) BOOL WINAPI InstallStatusOther() { return TRUE; }
