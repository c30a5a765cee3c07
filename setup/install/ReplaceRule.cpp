#include "setup/install/ReplaceRule.h"

#include <windows.h>

#include <vector>

#include "framework/ScopedHandle.h"
#include "setup/archive/ArchiveMember.h"

bool ReadFileVersion(const CPathName& path, CFileVersion& version) {
  if (path.IsEmpty() || path.IsTooLong()) return false;
  DWORD handle = 0;
  const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &handle);
  if (size == 0) return false;
  std::vector<char> block(size);
  if (!::GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return false;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  char root[] = "\\";
  if (!::VerQueryValueA(block.data(), root, reinterpret_cast<void**>(&info), &length) || !info ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return false;
  }
  version.part[0] = HIWORD(info->dwFileVersionMS);
  version.part[1] = LOWORD(info->dwFileVersionMS);
  version.part[2] = HIWORD(info->dwFileVersionLS);
  version.part[3] = LOWORD(info->dwFileVersionLS);
  return true;
}

std::uint32_t ReadModificationTime(const CPathName& path) {
  if (path.IsEmpty() || path.IsTooLong()) return 0;
  WIN32_FIND_DATAA data;
  const CFindHandle find(::FindFirstFileA(path.c_str(), &data));
  if (!find.valid()) return 0;
  return FileTimeToArchiveTime(data.ftLastWriteTime);
}

bool ShouldReplace(const CPathName& newFile, const CPathName& existingFile) {
  CFileVersion newVersion;
  CFileVersion existingVersion;
  const bool newHasVersion = ReadFileVersion(newFile, newVersion);
  const bool existingHasVersion = ReadFileVersion(existingFile, existingVersion);
  if (newHasVersion && existingHasVersion) return newVersion >= existingVersion;
  if (newHasVersion != existingHasVersion) return newHasVersion;
  return ReadModificationTime(newFile) > ReadModificationTime(existingFile);
}
