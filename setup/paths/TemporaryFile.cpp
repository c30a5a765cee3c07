#include "setup/paths/TemporaryFile.h"

bool CreateTemporaryFile(CPathName& path, const std::function<bool(const CPathName&)>& create, int attempts) {
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
