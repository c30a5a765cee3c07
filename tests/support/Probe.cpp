// velt_probe: a program that end-to-end tests let the programs under test
// start. It appends one line to the file named by VELT_PROBE_LOG: its
// command line, a tab, and its current directory; then it ends with code 0
// (2 when VELT_PROBE_LOG is not set).
#include <windows.h>

#include <fstream>
#include <string>

int main() {
  char log[MAX_PATH] = {};
  const DWORD n = ::GetEnvironmentVariableA("VELT_PROBE_LOG", log, sizeof log);
  if (n == 0 || n >= sizeof log) return 2;
  char cwd[MAX_PATH] = {};
  ::GetCurrentDirectoryA(MAX_PATH, cwd);
  std::ofstream out(log, std::ios::binary | std::ios::app);
  out << ::GetCommandLineA() << '\t' << cwd << '\n';
  return out ? 0 : 1;
}
