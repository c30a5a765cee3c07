#include "tools/mkkit/KitCommand.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "framework/ScopedHandle.h"

namespace {

// The system's text for an error code, without its line end.
std::string SystemText(DWORD error) {
  char* text = nullptr;
  const DWORD n = ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string out = n > 0 && text ? std::string(text, n) : std::string();
  if (text) ::LocalFree(text);
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' ' || out.back() == '.')) {
    out.pop_back();
  }
  return (out.empty() ? "error" : out) + " (" + std::to_string(error) + ")";
}

// An inheritable duplicate of one of this process's standard handles; none
// when it has none.
CHandle Inheritable(DWORD which) {
  const HANDLE handle = ::GetStdHandle(which);
  HANDLE copy = nullptr;
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE ||
      !::DuplicateHandle(::GetCurrentProcess(), handle, ::GetCurrentProcess(), &copy, 0, TRUE, DUPLICATE_SAME_ACCESS)) {
    return CHandle();
  }
  return CHandle(copy);
}

FARPROC WineExport(const char* module, const char* name) {
  const HMODULE handle = ::GetModuleHandleA(module);
  return handle ? ::GetProcAddress(handle, name) : nullptr;
}

// Calls Wine's __wine_unix_spawnvp(argv, wait). Wine has declared it cdecl
// in some versions and WINAPI in others; on x86 the call saves and restores
// the stack pointer itself, so that either convention leaves it right.
// Elsewhere there is only one convention.
long CallSpawn(FARPROC spawn, char* const* argv, int wait) {
#if defined(__i386__)
  long result;
  __asm__ __volatile__(
      "movl %%esp, %%esi\n\t"
      "pushl %[wait]\n\t"
      "pushl %[argv]\n\t"
      "call *%[fn]\n\t"
      "movl %%esi, %%esp\n\t"
      : "=a"(result)
      : [fn] "r"(spawn), [argv] "r"(argv), [wait] "r"(wait)
      : "esi", "ecx", "edx", "memory", "cc");
  return result;
#else
  using SpawnFn = long (*)(char* const*, int);
  return reinterpret_cast<SpawnFn>(reinterpret_cast<void (*)()>(spawn))(argv, wait);
#endif
}

// Text of this process's code page in UTF-8, the host's encoding.
std::string ToUtf8(const std::string& text) {
  if (text.empty()) return text;
  const int wide = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring w(static_cast<std::size_t>(wide), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), w.data(), wide);
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace

KitCommandResult RunWindowsCommand(const std::string& commandLine) {
  KitCommandResult result;
  const CHandle input = Inheritable(STD_INPUT_HANDLE);
  const CHandle errors = Inheritable(STD_ERROR_HANDLE);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (errors.valid()) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.get();
    startup.hStdOutput = errors.get();
    startup.hStdError = errors.get();
  }
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  PROCESS_INFORMATION info{};
  std::fflush(nullptr);
  if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, errors.valid(), 0, nullptr, nullptr, &startup, &info)) {
    result.error = SystemText(::GetLastError());
    return result;
  }
  const CHandle process(info.hProcess), thread(info.hThread);
  ::WaitForSingleObject(process.get(), INFINITE);
  DWORD code = 0;
  if (!::GetExitCodeProcess(process.get(), &code)) {
    result.error = "its exit code cannot be read: " + SystemText(::GetLastError());
    return result;
  }
  result.started = true;
  result.exitCode = code;
  return result;
}

bool CanRunHostCommands() { return WineExport("ntdll.dll", "__wine_unix_spawnvp") != nullptr; }

KitCommandResult RunHostShell(const std::string& line) {
  KitCommandResult result;
  const FARPROC spawn = WineExport("ntdll.dll", "__wine_unix_spawnvp");
  if (!spawn) {
    result.error = "this is not Wine, which alone runs the host's programs";
    return result;
  }
  // The command's output goes to the error stream, as a Windows command's does.
  std::string shell = "/bin/sh", option = "-c", script = "exec 1>&2\n" + ToUtf8(line);
  char* const argv[] = {shell.data(), option.data(), script.data(), nullptr};
  std::fflush(nullptr);
  const long status = CallSpawn(spawn, argv, 1);
  // An exit status, or an NTSTATUS when /bin/sh itself could not be started.
  if (status < 0 || status > 255) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(status));
    result.error = std::string("the host's /bin/sh could not be started (status ") + text + ")";
    return result;
  }
  result.started = true;
  result.exitCode = static_cast<std::uint32_t>(status);
  return result;
}

std::string HostPathOf(const std::string& path) {
  using UnixNameFn = char*(CDECL*)(LPCWSTR);
  const FARPROC proc = WineExport("kernel32.dll", "wine_get_unix_file_name");
  if (!proc || path.empty()) return {};
  std::wstring wide(path.size() + 1, L'\0');
  const int n = ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  if (n <= 0) return {};
  char* name = reinterpret_cast<UnixNameFn>(reinterpret_cast<void (*)()>(proc))(wide.c_str());
  if (!name) return {};
  std::string out = name;
  ::HeapFree(::GetProcessHeap(), 0, name);
  return out;
}

std::string ShellQuoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}
