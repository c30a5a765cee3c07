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

void FillStatus(const WIN32_FILE_ATTRIBUTE_DATA& data, CFileStatus& status) {
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
  LARGE_INTEGER distance;
  distance.QuadPart = offset;
  LARGE_INTEGER result{};
  if (!::SetFilePointerEx(handle_.get(), distance, &result, static_cast<DWORD>(from))) ThrowLastError();
  return static_cast<std::uint64_t>(result.QuadPart);
}

std::uint64_t CFile::GetPosition() const {
  LARGE_INTEGER zero{};
  LARGE_INTEGER result{};
  if (!::SetFilePointerEx(handle_.get(), zero, &result, FILE_CURRENT)) ThrowLastError();
  return static_cast<std::uint64_t>(result.QuadPart);
}

std::uint64_t CFile::GetLength() const {
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(handle_.get(), &size)) ThrowLastError();
  return static_cast<std::uint64_t>(size.QuadPart);
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

bool CFile::GetStatus(CFileStatus& status) const {
  BY_HANDLE_FILE_INFORMATION info;
  if (!::GetFileInformationByHandle(handle_.get(), &info)) return false;
  status.m_ctime = info.ftCreationTime;
  status.m_mtime = info.ftLastWriteTime;
  status.m_atime = info.ftLastAccessTime;
  status.m_size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  status.m_attribute = info.dwFileAttributes;
  status.m_szFullName = path_;
  return true;
}

bool CFile::GetStatus(const std::string& path, CFileStatus& status) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
  FillStatus(data, status);
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
