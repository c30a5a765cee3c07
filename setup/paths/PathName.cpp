#include "setup/paths/PathName.h"

#include <direct.h>

#include <climits>

#include "framework/Exception.h"
#include "framework/WinApp.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsLeadByte(char c) { return ::IsDBCSLeadByte(static_cast<BYTE>(c)) != FALSE; }

// Position of the last character of text that satisfies match, stepping over
// double-byte characters; npos when there is none.
template <class Match>
std::size_t FindLast(std::string_view text, Match match) {
  std::size_t found = std::string_view::npos;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsLeadByte(text[i]) && i + 1 < text.size()) {
      ++i;
    } else if (match(text[i])) {
      found = i;
    }
  }
  return found;
}

std::size_t FindLastSeparator(std::string_view text) { return FindLast(text, IsSeparator); }

bool EndsWithSeparator(std::string_view text) {
  return !text.empty() && FindLastSeparator(text) == text.size() - 1;
}

std::string_view WithoutTrailingSeparator(std::string_view text) {
  return EndsWithSeparator(text) ? text.substr(0, text.size() - 1) : text;
}

// The four parts as _splitpath gives them: drive with ':', directory with
// its trailing separator, extension with its '.'.
struct Parts {
  std::string drive;
  std::string dir;
  std::string base;
  std::string ext;
};

Parts Split(std::string_view path) {
  Parts p;
  if (path.size() >= 2 && path[1] == ':' && !IsLeadByte(path[0])) {
    p.drive = path.substr(0, 2);
    path.remove_prefix(2);
  }
  const std::size_t sep = FindLastSeparator(path);
  if (sep != std::string_view::npos) {
    p.dir = path.substr(0, sep + 1);
    path.remove_prefix(sep + 1);
  }
  const std::size_t dot = FindLast(path, [](char c) { return c == '.'; });
  if (dot == std::string_view::npos || path == "." || path == "..") {
    p.base = path;
  } else {
    p.base = path.substr(0, dot);
    p.ext = path.substr(dot);
  }
  return p;
}

// Puts the parts together the way _makepath does.
std::string Make(const Parts& p) {
  std::string path;
  if (!p.drive.empty()) {
    path += p.drive[0];
    path += ':';
  }
  if (!p.dir.empty()) {
    path += p.dir;
    if (!EndsWithSeparator(p.dir)) path += '\\';
  }
  path += p.base;
  if (!p.ext.empty()) {
    if (p.ext[0] != '.') path += '.';
    path += p.ext;
  }
  return path;
}

bool FitsSystem(std::string_view path) { return !path.empty() && path.size() <= CPathName::kMaxLength; }

bool IsExistingDirectory(std::string_view dir) {
  // With a trailing separator the test also works for "C:" and for a share root.
  std::string probe(dir);
  if (!EndsWithSeparator(probe)) probe += '\\';
  if (!FitsSystem(probe)) return false;
  const DWORD attributes = ::GetFileAttributesA(probe.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Creates dir (and its parents when asked); 0 or the system's error code.
// made: dir itself was created by this call (it did not exist).
DWORD CreateDirectoryTree(std::string_view dir, bool withParents, bool& made) {
  made = false;
  dir = WithoutTrailingSeparator(dir);
  if (dir.empty()) return ERROR_PATH_NOT_FOUND;
  if (dir.size() > CPathName::kMaxLength) return ERROR_FILENAME_EXCED_RANGE;
  const std::string text(dir);
  if (::CreateDirectoryA(text.c_str(), nullptr)) {
    made = true;
    return 0;
  }
  const DWORD error = ::GetLastError();
  if (IsExistingDirectory(text)) return 0;
  if (!withParents) return error;
  const std::size_t sep = FindLastSeparator(dir);
  if (sep == std::string_view::npos || sep == 0) return error;
  bool parentMade = false;
  if (const DWORD parentError = CreateDirectoryTree(dir.substr(0, sep), true, parentMade)) return parentError;
  return CreateDirectoryTree(dir, false, made);
}

// Length of the root of a UNC directory ("\\server\share\" with or without
// its final '\'), 0 when dir is not a UNC path.
std::size_t UncRootLength(std::string_view dir) {
  if (dir.size() < 2 || !IsSeparator(dir[0]) || !IsSeparator(dir[1])) return 0;
  std::size_t i = 2;
  for (int separatorsLeft = 2; i < dir.size(); ++i) {
    if (IsLeadByte(dir[i]) && i + 1 < dir.size()) {
      ++i;
    } else if (IsSeparator(dir[i]) && --separatorsLeft == 0) {
      return i + 1;
    }
  }
  return dir.size();
}

using GetDiskFreeSpaceExAFn = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);

}  // namespace

namespace path_name_detail {

std::string VolumeRoot(std::string_view directory) {
  std::string root;
  if (const std::size_t unc = UncRootLength(directory)) {
    root = directory.substr(0, unc);
  } else if (directory.size() >= 2 && directory[1] == ':' && !IsLeadByte(directory[0])) {
    root = directory.substr(0, 2);
  } else {
    return {};
  }
  if (!EndsWithSeparator(root)) root += '\\';
  return root;
}

int CapByteCount(unsigned long long bytes) noexcept {
  return bytes > static_cast<unsigned long long>(INT_MAX) ? INT_MAX : static_cast<int>(bytes);
}

}  // namespace path_name_detail

bool CPathName::SetSpecialDirectory(SpecialDirectory kind) {
  char buffer[MAX_PATH] = {};
  DWORD length = 0;
  switch (kind) {
    case SpecialDirectory::current:
      if (::_getcwd(buffer, MAX_PATH)) length = static_cast<DWORD>(std::char_traits<char>::length(buffer));
      break;
    case SpecialDirectory::windows:
      length = ::GetWindowsDirectoryA(buffer, MAX_PATH);
      break;
    case SpecialDirectory::system:
      length = ::GetSystemDirectoryA(buffer, MAX_PATH);
      break;
    case SpecialDirectory::setup:
      *this = GetProgramPath();
      SetFileName("");
      return !IsEmpty();
    case SpecialDirectory::temp:
      length = ::GetTempPathA(MAX_PATH, buffer);
      break;
  }
  // A result that did not fit (length >= MAX_PATH) is as good as none.
  if (length == 0 || length >= MAX_PATH) {
    path_.clear();
    return false;
  }
  path_.assign(buffer, length);
  if (!EndsWithSeparator(path_)) path_ += '\\';
  return true;
}

CPathName CPathName::GetProgramPath() {
  char buffer[MAX_PATH];
  CWinApp* app = AfxGetApp();
  const DWORD length = ::GetModuleFileNameA(app ? app->m_hInstance : nullptr, buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return CPathName();  // none, or cut
  return CPathName(std::string(buffer, length));
}

void CPathName::SetDirectory(std::string_view directory) {
  Parts p = Split(path_);
  p.drive.clear();
  p.dir = directory;
  path_ = Make(p);
}

void CPathName::AppendDirectory(std::string_view directory) {
  if (directory.empty()) return;
  if (IsSeparator(directory[0])) directory.remove_prefix(1);
  Parts p = Split(path_);
  p.dir += directory;
  if (!p.dir.empty() && !EndsWithSeparator(p.dir)) p.dir += '\\';
  path_ = Make(p);
}

void CPathName::SetFileName(std::string_view name) {
  Parts p = Split(path_);
  p.base = name;
  p.ext.clear();
  path_ = Make(p);
}

void CPathName::SetBaseName(std::string_view name) {
  Parts p = Split(path_);
  p.base = name;
  path_ = Make(p);
}

void CPathName::SetExtension(std::string_view ext) {
  Parts p = Split(path_);
  p.ext = ext;
  path_ = Make(p);
}

std::string CPathName::GetFileName() const {
  const Parts p = Split(path_);
  return p.base + p.ext;
}

std::string CPathName::GetDirectory() const {
  const Parts p = Split(path_);
  std::string_view dir = p.dir;
  if (dir.size() > 1) dir = WithoutTrailingSeparator(dir);
  return p.drive + std::string(dir);
}

std::string CPathName::GetDrive() const {
  const Parts p = Split(path_);
  return p.drive.substr(0, 1);
}

std::string CPathName::GetBaseName() const { return Split(path_).base; }

std::string CPathName::GetExtension() const {
  const std::string ext = Split(path_).ext;
  return ext.empty() ? ext : ext.substr(1);
}

bool CPathName::SplitLastDirectory(std::string& name) {
  Parts p = Split(path_);
  const std::string_view dir = WithoutTrailingSeparator(p.dir);
  if (dir.empty() || dir.size() + 1 <= UncRootLength(p.dir)) return false;
  const std::size_t sep = FindLastSeparator(dir);
  const std::size_t start = sep == std::string_view::npos ? 0 : sep + 1;
  if (start == dir.size()) return false;
  name = dir.substr(start);
  p.dir = std::string(dir.substr(0, start));
  path_ = Make(p);
  return true;
}

bool CPathName::Exists() const {
  if (!FitsSystem(path_)) return false;
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA(path_.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  ::FindClose(find);
  return true;
}

CPathName::NameLookup CPathName::LookUpName() const {
  if (!FitsSystem(path_)) return NameLookup::unknown;
  if (::GetFileAttributesA(path_.c_str()) != INVALID_FILE_ATTRIBUTES) return NameLookup::taken;
  const DWORD error = ::GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? NameLookup::free : NameLookup::unknown;
}

bool CPathName::DirectoryExists() const {
  const Parts p = Split(path_);
  const std::string dir = p.drive + p.dir;
  return IsExistingDirectory(dir.empty() ? std::string(".") : dir);
}

bool CPathName::CreateDirectory(bool withParents) const {
  bool made = false;
  return CreateDirectoryTree(path_, withParents, made) == 0;
}

bool CPathName::CreateDirectoryOrThrow(bool withParents) const {
  bool made = false;
  if (const DWORD error = CreateDirectoryTree(path_, withParents, made)) {
    CFileException::ThrowOsError(static_cast<LONG>(error), path_);
  }
  return made;
}

bool CPathName::RemoveDirectory() const {
  const std::string dir = GetDirectory();
  return FitsSystem(dir) && ::RemoveDirectoryA(dir.c_str());
}

bool CPathName::Delete(bool clearReadOnly) const {
  if (!FitsSystem(path_)) return false;
  if (::DeleteFileA(path_.c_str())) return true;
  // Most files are not read-only: the attribute is looked at only when
  // the deletion was refused (a removal deletes thousands of files).
  const DWORD error = ::GetLastError();
  if (!clearReadOnly || error != ERROR_ACCESS_DENIED) return false;
  const DWORD attributes = ::GetFileAttributesA(path_.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY) ||
      !::SetFileAttributesA(path_.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY)) {
    ::SetLastError(error);
    return false;
  }
  return ::DeleteFileA(path_.c_str()) != FALSE;
}

bool CPathName::MoveTo(const CPathName& newPath) const {
  return FitsSystem(path_) && FitsSystem(newPath.path_) && ::MoveFileA(path_.c_str(), newPath.c_str());
}

bool CPathName::MakeTempName(bool unique, int attempts, CTempNameGenerator& names) {
  for (int i = 0; i < attempts; ++i) {
    SetBaseName(names.NextName());
    if (!unique) return true;
    if (IsTooLong()) return false;
    if (!Exists()) return true;
  }
  return false;
}

int CPathName::FreeSpace() const {
  const std::string root = path_name_detail::VolumeRoot(GetDirectory());
  if (root.empty()) return -1;
  // Every program has kernel32 loaded: it is asked for by its module, not
  // loaded by name.
  const HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
  if (!kernel) return -1;
  // Looked up at run time: the first Windows 95 has no GetDiskFreeSpaceExA.
  const auto getFreeSpaceEx = reinterpret_cast<GetDiskFreeSpaceExAFn>(
      reinterpret_cast<void (*)()>(::GetProcAddress(kernel, "GetDiskFreeSpaceExA")));
  if (getFreeSpaceEx) {
    ULARGE_INTEGER available, total, free;
    if (!getFreeSpaceEx(root.c_str(), &available, &total, &free)) return -1;
    return path_name_detail::CapByteCount(available.QuadPart);
  }
  if (root[1] != ':') return -1;
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
  if (!::GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters)) {
    return -1;
  }
  return path_name_detail::CapByteCount(static_cast<unsigned long long>(bytesPerSector) * sectorsPerCluster *
                                        freeClusters);
}

DWORD CPathName::ClusterSize() const {
  std::string root = path_name_detail::VolumeRoot(GetDirectory());
  if (root.empty()) root = "\\";  // the root of the current drive
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
  if (!::GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters)) {
    return 0;
  }
  return sectorsPerCluster * bytesPerSector;
}
