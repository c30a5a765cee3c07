#include "setup/paths/TemporaryFile.h"

#include <algorithm>
#include <cctype>
#include <string>

bool CreateTemporaryFile(CPathName& path, CFunctionRef<bool(const CPathName&)> create, int attempts) {
  for (int i = 0; i < attempts; ++i) {
    if (!path.MakeTempName(true, 1)) {
      if (path.IsTooLong()) CFileException::ThrowOsError(ERROR_FILENAME_EXCED_RANGE, path.GetPath());
      continue;  // taken: the next name
    }
    ::SetLastError(ERROR_SUCCESS);
    if (create(path)) return true;
    const DWORD error = ::GetLastError();
    // Made by another hand since the look: the next name. Otherwise the
    // folder cannot take the file, and no other name would help.
    if (!path.Exists()) CFileException::ThrowOsError(static_cast<LONG>(error != ERROR_SUCCESS ? error : ERROR_CANNOT_MAKE), path.GetPath());
  }
  return false;
}

bool IsTemporaryNameBeside(const CPathName& file, const CPathName& candidate, std::string_view extension) {
  const auto same = [](const std::string& a, const std::string& b) { return ::lstrcmpiA(a.c_str(), b.c_str()) == 0; };
  if (candidate.IsTooLong() || same(candidate.GetPath(), file.GetPath())) return false;
  if (!same(candidate.GetDirectory(), file.GetDirectory()) || !same(candidate.GetExtension(), std::string(extension))) {
    return false;
  }
  const std::string base = candidate.GetBaseName();
  return base.size() == 8 && std::all_of(base.begin(), base.end(), [](char c) {
           return std::isxdigit(static_cast<unsigned char>(c)) != 0;
         });
}
