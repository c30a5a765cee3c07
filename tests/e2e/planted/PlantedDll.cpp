// A DLL planted beside a program to see whether the program loads it: built
// as version.dll, comctl32.dll, winmm.dll and ismif32.dll. In the folder
// named by VELT_PLANTED_MARKERS it leaves "<its name> loaded by <program>"
// when it is loaded and "<its name> called by <program>" when one of its
// functions is called (its code would run with the program's rights). So that a program that does
// load it still starts and runs as usual, its exports hand every call on to
// the real library of the system directory.
// Only the headers that do not declare the functions it stands in for.
#include <stdarg.h>
#include <windef.h>
#include <winbase.h>

#include <cstdio>
#include <cstring>

namespace {

HMODULE self = nullptr;

void LeaveMarker(const char* what) {
  char folder[MAX_PATH] = {};
  const DWORD length = ::GetEnvironmentVariableA("VELT_PLANTED_MARKERS", folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  char module[MAX_PATH] = {};
  if (!::GetModuleFileNameA(self, module, MAX_PATH)) return;
  const char* name = std::strrchr(module, '\\');
  name = name ? name + 1 : module;
  char program[MAX_PATH] = {};
  if (!::GetModuleFileNameA(nullptr, program, MAX_PATH)) return;
  const char* programName = std::strrchr(program, '\\');
  programName = programName ? programName + 1 : program;
  char marker[3 * MAX_PATH] = {};
  const int written = std::snprintf(marker, sizeof marker, "%s\\%s %s by %s", folder, name, what, programName);
  if (written <= 0 || static_cast<std::size_t>(written) >= sizeof marker) return;
  const HANDLE file = ::CreateFileA(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD ignored = 0;
  ::WriteFile(file, module, static_cast<DWORD>(std::strlen(module)), &ignored, nullptr);
  ::CloseHandle(file);
}

// The function of the real library systemDll (of the system directory).
FARPROC Real(const char* systemDll, const char* function) {
  char called[128] = {};
  std::snprintf(called, sizeof called, "called (%s)", function);
  LeaveMarker(called);
  char path[MAX_PATH] = {};
  const UINT length = ::GetSystemDirectoryA(path, MAX_PATH);
  if (length == 0 || length + 1 + std::strlen(systemDll) >= MAX_PATH) return nullptr;
  std::strcat(path, "\\");
  std::strcat(path, systemDll);
  const HMODULE real = ::LoadLibraryA(path);
  return real && real != self ? ::GetProcAddress(real, function) : nullptr;
}

template <class Fn>
Fn RealFunction(const char* systemDll, const char* function) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(Real(systemDll, function)));
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    self = instance;
    LeaveMarker("loaded");
  }
  return TRUE;
}

extern "C" __declspec(dllexport) DWORD WINAPI GetFileVersionInfoSizeA(LPCSTR file, LPDWORD handle) {
  const auto real = RealFunction<DWORD(WINAPI*)(LPCSTR, LPDWORD)>("version.dll", "GetFileVersionInfoSizeA");
  return real ? real(file, handle) : 0;
}

extern "C" __declspec(dllexport) BOOL WINAPI GetFileVersionInfoA(LPCSTR file, DWORD handle, DWORD size, LPVOID data) {
  const auto real = RealFunction<BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID)>("version.dll", "GetFileVersionInfoA");
  return real ? real(file, handle, size, data) : FALSE;
}

extern "C" __declspec(dllexport) BOOL WINAPI VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer,
                                                            PUINT length) {
  const auto real = RealFunction<BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT)>("version.dll", "VerQueryValueA");
  return real ? real(block, subBlock, buffer, length) : FALSE;
}

extern "C" __declspec(dllexport) DWORD WINAPI GetFileVersionInfoSizeW(LPCWSTR file, LPDWORD handle) {
  const auto real = RealFunction<DWORD(WINAPI*)(LPCWSTR, LPDWORD)>("version.dll", "GetFileVersionInfoSizeW");
  return real ? real(file, handle) : 0;
}

extern "C" __declspec(dllexport) BOOL WINAPI GetFileVersionInfoW(LPCWSTR file, DWORD handle, DWORD size, LPVOID data) {
  const auto real = RealFunction<BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID)>("version.dll", "GetFileVersionInfoW");
  return real ? real(file, handle, size, data) : FALSE;
}

extern "C" __declspec(dllexport) BOOL WINAPI VerQueryValueW(LPCVOID block, LPCWSTR subBlock, LPVOID* buffer,
                                                            PUINT length) {
  const auto real = RealFunction<BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT)>("version.dll", "VerQueryValueW");
  return real ? real(block, subBlock, buffer, length) : FALSE;
}

extern "C" __declspec(dllexport) void WINAPI InitCommonControls() {
  if (const auto real = RealFunction<void(WINAPI*)()>("comctl32.dll", "InitCommonControls")) real();
}

extern "C" __declspec(dllexport) BOOL WINAPI InitCommonControlsEx(const void* init) {
  const auto real = RealFunction<BOOL(WINAPI*)(const void*)>("comctl32.dll", "InitCommonControlsEx");
  return real ? real(init) : FALSE;
}

extern "C" __declspec(dllexport) BOOL WINAPI sndPlaySoundA(LPCSTR sound, UINT flags) {
  const auto real = RealFunction<BOOL(WINAPI*)(LPCSTR, UINT)>("winmm.dll", "sndPlaySoundA");
  return real ? real(sound, flags) : FALSE;
}

extern "C" __declspec(dllexport) BOOL WINAPI InstallStatusMIF(LPCSTR, LPCSTR, LPCSTR, LPCSTR, LPCSTR, LPCSTR, LPCSTR,
                                                              BOOL) {
  LeaveMarker("called (InstallStatusMIF)");
  return TRUE;
}
