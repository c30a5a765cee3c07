#include "framework/File.h"

#include "framework/Exception.h"

namespace {

DWORD DesiredAccess(unsigned flags) {
  switch (flags & 3) {
    case CFile::modeWrite: return GENERIC_WRITE;
    case CFile::modeReadWrite: return GENERIC_READ | GENERIC_WRITE;
    default: return GENERIC_READ;
  }
}

DWORD ShareMode(unsigned flags) {
  switch (flags & 0x70) {
    case CFile::shareExclusive: return 0;
    case CFile::shareDenyWrite: return FILE_SHARE_READ;
    case CFile::shareDenyRead: return FILE_SHARE_WRITE;
    case CFile::shareDenyNone: return FILE_SHARE_READ | FILE_SHARE_WRITE;
    default: return FILE_SHARE_READ | FILE_SHARE_WRITE;  // compatibility mode
  }
}

DWORD CreationDisposition(unsigned flags) {
  if (flags & CFile::modeCreate) {
    return (flags & CFile::modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
  }
  return OPEN_EXISTING;
}

// Moves the file pointer and returns its new position. SetFilePointer gives
// the position's low part as its result, and a low part of 0xFFFFFFFF is also
// its failure value: only the last error tells them apart.
bool MoveFilePointer(HANDLE file, std::int64_t offset, DWORD from, std::uint64_t& position) {
  LONG high = static_cast<LONG>(offset >> 32);
  ::SetLastError(NO_ERROR);
  const DWORD low = ::SetFilePointer(file, static_cast<LONG>(static_cast<DWORD>(offset)), &high, from);
  if (low == INVALID_SET_FILE_POINTER && ::GetLastError() != NO_ERROR) return false;
  position = (std::uint64_t{static_cast<DWORD>(high)} << 32) | low;
  return true;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The path without the separators at its end (FindFirstFile finds no entry
// for "dir\"), but the one of a drive's root ("C:\") stays.
std::string WithoutTrailingSeparators(const std::string& path) {
  std::string name = path;
  while (name.size() > 1 && IsSeparator(name.back()) && name[name.size() - 2] != ':') name.pop_back();
  return name;
}

void FillStatus(const WIN32_FIND_DATAA& data, CFileStatus& status) {
  status.m_ctime = data.ftCreationTime;
  status.m_mtime = data.ftLastWriteTime;
  status.m_atime = data.ftLastAccessTime;
  status.m_size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  status.m_attribute = data.dwFileAttributes;
}

}  // namespace

CFile::CFile(const std::string& path, unsigned openFlags) {
  CFileException error;
  if (!Open(path, openFlags, &error)) throw error;
}

CFile::~CFile() { Abort(); }

bool CFile::Open(const std::string& path, unsigned openFlags, CFileException* error) {
  CFile::Abort();  // not a derived class's Abort (see CStdioFile::Open)
  path_ = path;
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, (openFlags & modeNoInherit) ? FALSE : TRUE};
  HANDLE h = ::CreateFileA(path.c_str(), DesiredAccess(openFlags), ShareMode(openFlags), &sa,
                           CreationDisposition(openFlags), FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    LONG os = static_cast<LONG>(::GetLastError());
    if (error) *error = CFileException(CFileException::OsErrorToCause(os), os, path);
    return false;
  }
  handle_.reset(h);
  return true;
}

void CFile::ThrowLastError() const {
  CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), path_);
}

UINT CFile::Read(void* buffer, UINT count) {
  if (count == 0) return 0;
  DWORD read = 0;
  if (!::ReadFile(handle_.get(), buffer, count, &read, nullptr)) ThrowLastError();
  return read;
}

void CFile::Write(const void* buffer, UINT count) {
  if (count == 0) return;
  DWORD written = 0;
  if (!::WriteFile(handle_.get(), buffer, count, &written, nullptr)) ThrowLastError();
  if (written != count) CFileException::Throw(CFileException::diskFull, ERROR_DISK_FULL, path_);
}

std::uint64_t CFile::Seek(std::int64_t offset, SeekPosition from) {
  std::uint64_t position = 0;
  if (!MoveFilePointer(handle_.get(), offset, static_cast<DWORD>(from), position)) ThrowLastError();
  return position;
}

std::uint64_t CFile::GetPosition() const {
  std::uint64_t position = 0;
  if (!MoveFilePointer(handle_.get(), 0, FILE_CURRENT, position)) ThrowLastError();
  return position;
}

std::uint64_t CFile::GetLength() const {
  // As with SetFilePointer, a low part of 0xFFFFFFFF is a size or a failure.
  DWORD high = 0;
  ::SetLastError(NO_ERROR);
  const DWORD low = ::GetFileSize(handle_.get(), &high);
  if (low == INVALID_FILE_SIZE && ::GetLastError() != NO_ERROR) ThrowLastError();
  return (std::uint64_t{high} << 32) | low;
}

void CFile::SetLength(std::uint64_t length) {
  Seek(static_cast<std::int64_t>(length), begin);
  if (!::SetEndOfFile(handle_.get())) ThrowLastError();
}

void CFile::Flush() {
  if (handle_.valid() && !::FlushFileBuffers(handle_.get())) ThrowLastError();
}

void CFile::Close() {
  if (!handle_.valid()) return;
  HANDLE h = handle_.release();
  if (!::CloseHandle(h)) ThrowLastError();
}

void CFile::Abort() { handle_.reset(); }

std::string CFile::GetFileName() const {
  auto slash = path_.find_last_of("\\/:");
  return slash == std::string::npos ? path_ : path_.substr(slash + 1);
}

bool CFile::GetStatus(CFileStatus& status) const { return GetStatus(GetHandle(), path_, status); }

bool CFile::GetStatus(HANDLE handle, const std::string& path, CFileStatus& status) {
  // The handle's times and size and its path's attributes.
  // GetFileInformationByHandle would give them all, but it also asks the
  // volume for its serial number, which under Wine is a call to another
  // process for every file.
  if (!handle || handle == INVALID_HANDLE_VALUE) return false;
  FILETIME created, accessed, written;
  if (!::GetFileTime(handle, &created, &accessed, &written)) return false;
  DWORD high = 0;
  const DWORD low = ::GetFileSize(handle, &high);
  if (low == INVALID_FILE_SIZE && ::GetLastError() != NO_ERROR) return false;
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  status.m_ctime = created;
  status.m_mtime = written;
  status.m_atime = accessed;
  status.m_size = (std::uint64_t{high} << 32) | low;
  status.m_attribute = attributes;
  status.m_szFullName = path;
  return true;
}

bool CFile::GetStatus(const std::string& path, CFileStatus& status) {
  // FindFirstFile would take wildcards as a pattern and report whatever matches.
  if (path.empty() || path.find_first_of("*?") != std::string::npos) return false;
  const std::string name = WithoutTrailingSeparators(path);
  WIN32_FIND_DATAA data;
  CFindHandle find(::FindFirstFileA(name.c_str(), &data));
  if (find.valid()) {
    // A name with a separator at its end names a directory only.
    if (name.size() != path.size() && !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    FillStatus(data, status);
  } else {
    // A root directory has no entry in a directory to find: its attributes
    // alone, without times.
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    status.m_ctime = status.m_mtime = status.m_atime = FILETIME{};
    status.m_size = 0;
    status.m_attribute = attributes;
  }
  char full[MAX_PATH];
  DWORD n = ::GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
  status.m_szFullName = (n > 0 && n < MAX_PATH) ? std::string(full, n) : path;
  return true;
}

void CFile::SetStatus(const std::string& path, const CFileStatus& status) {
  const auto isSet = [](const FILETIME& t) { return t.dwLowDateTime != 0 || t.dwHighDateTime != 0; };
  DWORD current = ::GetFileAttributesA(path.c_str());
  if (isSet(status.m_ctime) || isSet(status.m_atime) || isSet(status.m_mtime)) {
    // A read-only file takes new times only once the attribute is off; the
    // attributes wanted are set afterwards anyway.
    if (current != INVALID_FILE_ATTRIBUTES && (current & FILE_ATTRIBUTE_READONLY)) {
      current &= ~FILE_ATTRIBUTE_READONLY;
      ::SetFileAttributesA(path.c_str(), current);
    }
    CHandle h(::CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.valid()) CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), path);
    if (!::SetFileTime(h.get(), isSet(status.m_ctime) ? &status.m_ctime : nullptr,
                       isSet(status.m_atime) ? &status.m_atime : nullptr,
                       isSet(status.m_mtime) ? &status.m_mtime : nullptr)) {
      CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), path);
    }
  }
  const DWORD attributes = status.m_attribute != 0 ? status.m_attribute : FILE_ATTRIBUTE_NORMAL;
  if (current != INVALID_FILE_ATTRIBUTES && (current == attributes || (attributes == FILE_ATTRIBUTE_NORMAL && current == 0))) {
    return;  // already so
  }
  if (!::SetFileAttributesA(path.c_str(), attributes)) {
    CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), path);
  }
}

void CFile::Rename(const std::string& oldName, const std::string& newName) {
  if (!::MoveFileA(oldName.c_str(), newName.c_str())) {
    CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), oldName);
  }
}

void CFile::Remove(const std::string& path) {
  if (!::DeleteFileA(path.c_str())) {
    CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), path);
  }
}
