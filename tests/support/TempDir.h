// A temporary folder of a test's own, removed with everything in it when the
// object goes away.
#pragma once

#include <windows.h>

#include <string>

#include "tests/support/TestFiles.h"

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

private:
  std::string path_;
};
