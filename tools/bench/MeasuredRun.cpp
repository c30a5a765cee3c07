// measured_run PROGRAM [ARGUMENTS...]: starts the program, waits for it and
// prints one line: "<seconds> <peak working set in bytes> <exit code>".
// The time runs from the start of the process to its end. The peak working
// set is read while the process runs (it can no longer be read once the
// process is gone), every 20 ms, and the largest value kept;
// 0 when the system never told it.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

namespace {

// One argument as the C runtime of the started program reads it back.
std::string Quote(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
  std::string out = "\"";
  std::size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, '\\');
  return out + "\"";
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: measured_run PROGRAM [ARGUMENTS...]\n");
    return 2;
  }
  std::string commandLine = Quote(argv[1]);
  // "/D=path" of an NSIS installer and "_?=path" of its uninstaller must
  // stand unquoted, spaces and all.
  for (int i = 2; i < argc; ++i) {
    const std::string argument = argv[i];
    const bool verbatim = argument.rfind("/D=", 0) == 0 || argument.rfind("_?=", 0) == 0;
    commandLine += " " + (verbatim ? argument : Quote(argument));
  }

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  LARGE_INTEGER start, end;
  // Wine fails a start now and then with ERROR_INTERNAL_ERROR when the
  // machine is busy; the start is tried again, and the time taken from the
  // start that succeeded.
  BOOL started = FALSE;
  for (int attempt = 0; attempt < 3 && !started; ++attempt) {
    if (attempt > 0) ::Sleep(200);
    ::QueryPerformanceCounter(&start);
    started = ::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process);
    if (!started && ::GetLastError() != ERROR_INTERNAL_ERROR) break;
  }
  if (!started) {
    std::fprintf(stderr, "measured_run: cannot start %s (error %lu)\n", commandLine.c_str(), ::GetLastError());
    return 2;
  }
  ::CloseHandle(process.hThread);
  SIZE_T peak = 0;
  for (;;) {
    const DWORD wait = ::WaitForSingleObject(process.hProcess, 20);
    if (wait == WAIT_OBJECT_0) break;
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (::GetProcessMemoryInfo(process.hProcess, &counters, sizeof counters) && counters.PeakWorkingSetSize > peak) {
      peak = counters.PeakWorkingSetSize;
    }
    if (wait != WAIT_TIMEOUT) break;
  }
  ::QueryPerformanceCounter(&end);
  DWORD exitCode = 0;
  ::GetExitCodeProcess(process.hProcess, &exitCode);
  ::CloseHandle(process.hProcess);
  std::printf("%.3f %lu %lu\n", Seconds(start, end), static_cast<unsigned long>(peak), exitCode);
  return 0;
}
