// A temporary folder of a test's own, removed with everything in it when the
// object goes away.
#pragma once

#include <windows.h>

#include <string>

class TempDir {
public:
  TempDir() {
    char base[MAX_PATH];
    ::GetTempPathA(MAX_PATH, base);
    for (unsigned n = ::GetTickCount() ^ ::GetCurrentProcessId();; ++n) {
      path_ = std::string(base) + "velt" + std::to_string(n % 1000000);
      if (::CreateDirectoryA(path_.c_str(), nullptr)) break;
    }
  }
  ~TempDir() { RemoveTree(path_); }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path + "\" + name
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

  static void RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA((dir + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        const std::string full = dir + "\\" + name;
        ::SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveTree(full);
        } else {
          ::DeleteFileA(full.c_str());
        }
      } while (::FindNextFileA(find, &data));
      ::FindClose(find);
    }
    ::RemoveDirectoryA(dir.c_str());
  }

private:
  std::string path_;
};
