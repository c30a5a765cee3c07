// A stand-in for a systems-management client's "ismif32.dll" in tests: its
// InstallStatusMIF appends the values it receives, one per line in the
// order of its parameters, to the file named by VELT_MIF_LOG, and answers
// FALSE when VELT_MIF_RESULT is "0", TRUE otherwise.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

extern "C" __declspec(dllexport) BOOL WINAPI InstallStatusMIF(LPCSTR mifFileName, LPCSTR manufacturer,
                                                              LPCSTR product, LPCSTR version, LPCSTR locale,
                                                              LPCSTR serialNumber, LPCSTR description,
                                                              BOOL success) {
  char logPath[MAX_PATH] = {};
  const DWORD length = ::GetEnvironmentVariableA("VELT_MIF_LOG", logPath, MAX_PATH);
  if (length > 0 && length < MAX_PATH) {
    if (FILE* log = std::fopen(logPath, "ab")) {
      for (LPCSTR text : {mifFileName, manufacturer, product, version, locale, serialNumber, description}) {
        std::fprintf(log, "%s\n", text ? text : "(null)");
      }
      std::fprintf(log, "%d\n", success);
      std::fclose(log);
    }
  }
  char result[8] = {};
  ::GetEnvironmentVariableA("VELT_MIF_RESULT", result, sizeof result);
  return std::strcmp(result, "0") != 0;
}
