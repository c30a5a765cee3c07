#include "setup/system/FileHolders.h"

#include <windows.h>

#include <restartmanager.h>

#include "framework/SystemLibrary.h"

namespace {

using RmStartSessionFn = DWORD(WINAPI*)(DWORD*, DWORD, WCHAR*);
using RmEndSessionFn = DWORD(WINAPI*)(DWORD);
using RmRegisterResourcesFn = DWORD(WINAPI*)(DWORD, UINT, LPCWSTR*, UINT, RM_UNIQUE_PROCESS*, UINT, LPCWSTR*);
using RmGetListFn = DWORD(WINAPI*)(DWORD, UINT*, UINT*, RM_PROCESS_INFO*, DWORD*);

// The holders the first question has room for.
constexpr std::size_t kFirstHolders = 8;

std::wstring Widened(const std::string& text) {
  const int length = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
  wide.resize(static_cast<std::size_t>(length - 1));
  return wide;
}

std::string Narrowed(const WCHAR* text) {
  const int length = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string narrow(static_cast<std::size_t>(length), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), length, nullptr, nullptr);
  narrow.resize(static_cast<std::size_t>(length - 1));
  return narrow;
}

// A Restart Manager session, ended when the object goes.
class CRestartManagerSession {
public:
  CRestartManagerSession(RmStartSessionFn start, RmEndSessionFn end) : end_(end) {
    WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
    started_ = start(&handle_, 0, key) == ERROR_SUCCESS;
  }
  ~CRestartManagerSession() {
    if (started_) end_(handle_);
  }
  CRestartManagerSession(const CRestartManagerSession&) = delete;
  CRestartManagerSession& operator=(const CRestartManagerSession&) = delete;

  bool Started() const noexcept { return started_; }
  DWORD Handle() const noexcept { return handle_; }

private:
  RmEndSessionFn end_;
  DWORD handle_ = 0;
  bool started_ = false;
};

}  // namespace

std::vector<std::string> ProgramsHoldingFile(const std::string& path) noexcept {
  std::vector<std::string> holders;
  try {
    const CSystemLibrary library("rstrtmgr.dll");
    const auto start = library.Find<RmStartSessionFn>("RmStartSession");
    const auto end = library.Find<RmEndSessionFn>("RmEndSession");
    const auto add = library.Find<RmRegisterResourcesFn>("RmRegisterResources");
    const auto list = library.Find<RmGetListFn>("RmGetList");
    if (!start || !end || !add || !list) return holders;
    const CRestartManagerSession session(start, end);
    if (!session.Started()) return holders;
    const std::wstring file = Widened(path);
    LPCWSTR files[] = {file.c_str()};
    if (file.empty() || add(session.Handle(), 1, files, 0, nullptr, 0, nullptr) != ERROR_SUCCESS) return holders;
    std::vector<RM_PROCESS_INFO> found(kFirstHolders);
    UINT needed = 0;
    DWORD result = ERROR_MORE_DATA;
    UINT count = 0;
    // Asked again with room for all when more hold the file than the first
    // table takes (and they may change in between).
    for (int attempt = 0; attempt < 2 && result == ERROR_MORE_DATA; ++attempt) {
      if (needed > found.size()) found.resize(needed);
      count = static_cast<UINT>(found.size());
      DWORD reasons = 0;
      result = list(session.Handle(), &needed, &count, found.data(), &reasons);
    }
    if (result != ERROR_SUCCESS) return holders;
    for (UINT i = 0; i < count && i < found.size(); ++i) {
      found[i].strAppName[CCH_RM_MAX_APP_NAME] = L'\0';
      holders.push_back(Narrowed(found[i].strAppName) + " (process " +
                        std::to_string(found[i].Process.dwProcessId) + ")");
    }
  } catch (...) {
    // Out of memory: nobody is named.
    holders.clear();
  }
  return holders;
}
