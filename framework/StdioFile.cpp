#include "framework/StdioFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include <fcntl.h>
#include <io.h>

#include "framework/Exception.h"
#include "framework/ScopedHandle.h"

namespace {

// The fopen mode for the flags; modeCreate | modeNoTruncate is handled by Open.
std::string ModeString(unsigned flags) {
  const unsigned access = flags & 3;
  std::string mode;
  if (flags & CFile::modeCreate) {
    mode = access == CFile::modeReadWrite ? "w+" : "w";
  } else {
    mode = access == CFile::modeRead ? "r" : "r+";
  }
  mode += (flags & CFile::typeBinary) ? "b" : "t";
  return mode;
}

// Whether the volume of the file at path has less room than a failed write
// wanted, or than a stream's buffer: the write failed for lack of room.
// The root is asked, which every version of Windows accepts.
bool VolumeIsNearlyFull(const std::string& path, std::size_t wanted) {
  constexpr std::uint64_t kBufferRoom = 1u << 20;
  std::string root;
  if (path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) {
    root = path.substr(0, 3);
  } else if (path.rfind("\\\\", 0) == 0) {
    const std::size_t share = path.find('\\', 2);
    const std::size_t end = share == std::string::npos ? share : path.find('\\', share + 1);
    if (end == std::string::npos) return false;
    root = path.substr(0, end + 1);
  } else {
    return false;
  }
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
  if (!::GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters)) {
    return false;
  }
  const std::uint64_t room = std::uint64_t{sectorsPerCluster} * bytesPerSector * freeClusters;
  return room < std::max<std::uint64_t>(wanted, kBufferRoom);
}

}  // namespace

CStdioFile::CStdioFile(const std::string& path, unsigned openFlags) {
  CFileException error;
  if (!Open(path, openFlags, &error)) throw error;
}

CStdioFile::~CStdioFile() { Abort(); }

bool CStdioFile::Open(const std::string& path, unsigned openFlags, CFileException* error) {
  // Not the virtual Abort: a derived class may give Abort a meaning of its
  // own (cancelling work in progress) that opening must not trigger.
  CStdioFile::Abort();
  path_ = path;
  std::string mode = ModeString(openFlags);
  if ((openFlags & modeCreate) && (openFlags & modeNoTruncate)) {
    // Open an existing file for update without truncating it; create it when missing.
    mode = std::string("r+") + mode.back();
    errno = 0;
    stream_ = std::fopen(path.c_str(), mode.c_str());
    if (!stream_ && errno == ENOENT) {
      mode = std::string("w+") + mode.back();
      stream_ = std::fopen(path.c_str(), mode.c_str());
    }
  } else {
    errno = 0;
    stream_ = std::fopen(path.c_str(), mode.c_str());
  }
  if (!stream_) {
    const int e = errno;
    if (error) *error = CFileException(CFileException::ErrnoToCause(e), e, path);
    return false;
  }
  return true;
}

bool CStdioFile::CreateNewBinary(const std::string& path, DWORD attributes) {
  CStdioFile::Abort();
  path_ = path;
  // The sharing of the C run-time's own fopen, so that the file behaves as
  // one opened by Open.
  CHandle handle(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, CREATE_NEW, attributes, nullptr));
  if (!handle.valid()) return false;
  // The descriptor takes the handle over, then the stream the descriptor.
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle.get()), _O_BINARY);
  if (fd == -1) {
    handle.reset();
    ::DeleteFileA(path.c_str());
    return false;
  }
  handle.release();
  stream_ = _fdopen(fd, "w+b");
  if (!stream_) {
    _close(fd);
    ::DeleteFileA(path.c_str());
    return false;
  }
  return true;
}

void CStdioFile::ThrowErrno() const {
  CFileException::ThrowErrno(errno ? errno : EIO, path_);
}

void CStdioFile::ThrowWriteError(std::size_t wanted) const {
  // The C run-time does not always say why a write went short: a write
  // that the system took in part leaves no error, and the run-time then
  // gives EINVAL or nothing. The system's error, or else the volume's free
  // space, tells a full volume.
  const DWORD os = ::GetLastError();
  if (errno != ENOSPC &&
      (os == ERROR_DISK_FULL || os == ERROR_HANDLE_DISK_FULL || VolumeIsNearlyFull(path_, wanted))) {
    CFileException::Throw(CFileException::diskFull, os == ERROR_SUCCESS ? -1 : static_cast<LONG>(os), path_);
  }
  ThrowErrno();
}

UINT CStdioFile::Read(void* buffer, UINT count) {
  if (count == 0) return 0;
  if (!stream_) CFileException::Throw(CFileException::invalidFile, -1, path_);
  errno = 0;
  const std::size_t n = std::fread(buffer, 1, count, stream_);
  if (n < count && std::ferror(stream_)) {
    std::clearerr(stream_);
    ThrowErrno();
  }
  return static_cast<UINT>(n);
}

void CStdioFile::Write(const void* buffer, UINT count) {
  if (count == 0) return;
  if (!stream_) CFileException::Throw(CFileException::invalidFile, -1, path_);
  errno = 0;
  ::SetLastError(ERROR_SUCCESS);
  const std::size_t n = std::fwrite(buffer, 1, count, stream_);
  if (n != count) {
    std::clearerr(stream_);
    ThrowWriteError(count - n);
  }
}

std::uint64_t CStdioFile::Seek(std::int64_t offset, SeekPosition from) {
  static const int origins[] = {SEEK_SET, SEEK_CUR, SEEK_END};
  errno = 0;
  if (_fseeki64(stream_, offset, origins[from]) != 0) {
    CFileException::Throw(CFileException::badSeek, errno, path_);
  }
  return GetPosition();
}

std::uint64_t CStdioFile::GetPosition() const {
  errno = 0;
  const long long pos = _ftelli64(stream_);
  if (pos < 0) CFileException::Throw(CFileException::badSeek, errno, path_);
  return static_cast<std::uint64_t>(pos);
}

std::uint64_t CStdioFile::GetLength() const {
  // What the system holds, or more when output still buffered reaches past
  // it: a stream's buffer holds only what ends at its position (a seek
  // writes it out first). Asked without seeking, so that buffered input is
  // neither lost (fflush would drop it on a read stream) nor read again.
  const std::uint64_t position = GetPosition();
  const HANDLE handle = GetHandle();
  DWORD high = 0;
  ::SetLastError(NO_ERROR);
  const DWORD low = handle == INVALID_HANDLE_VALUE ? INVALID_FILE_SIZE : ::GetFileSize(handle, &high);
  if (low == INVALID_FILE_SIZE && ::GetLastError() != NO_ERROR) {
    CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), path_);
  }
  return std::max(position, (std::uint64_t{high} << 32) | low);
}

void CStdioFile::SetLength(std::uint64_t length) {
  std::fflush(stream_);
  if (_chsize_s(_fileno(stream_), static_cast<long long>(length)) != 0) ThrowErrno();
}

void CStdioFile::Flush() {
  if (!stream_) return;
  errno = 0;
  ::SetLastError(ERROR_SUCCESS);
  if (std::fflush(stream_) != 0) ThrowWriteError(0);
}

void CStdioFile::Close() {
  if (!stream_) return;
  FILE* stream = stream_;
  stream_ = nullptr;
  errno = 0;
  ::SetLastError(ERROR_SUCCESS);
  if (std::fclose(stream) != 0) ThrowWriteError(0);
}

void CStdioFile::Abort() {
  if (stream_) {
    std::fclose(stream_);
    stream_ = nullptr;
  }
}

HANDLE CStdioFile::GetHandle() const {
  if (!stream_) return nullptr;
  return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream_)));
}

void CStdioFile::SetModificationTime(const FILETIME& time) {
  if (!stream_) CFileException::Throw(CFileException::invalidFile, -1, path_);
  Flush();
  const HANDLE handle = GetHandle();
  if (handle == INVALID_HANDLE_VALUE || !::SetFileTime(handle, nullptr, nullptr, &time)) {
    CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), path_);
  }
}

void CStdioFile::SetBufferSize(std::size_t size) {
  if (stream_) std::setvbuf(stream_, nullptr, _IOFBF, size);
}

bool CStdioFile::ReadString(std::string& line, std::size_t maxChars) {
  line.clear();
  if (maxChars == 0) return true;
  errno = 0;
  int c = 0;
  while (line.size() < maxChars && (c = std::fgetc(stream_)) != EOF) {
    line.push_back(static_cast<char>(c));
    if (c == '\n') break;
  }
  if (c == EOF && std::ferror(stream_)) {
    std::clearerr(stream_);
    ThrowErrno();
  }
  return !line.empty();
}

void CStdioFile::WriteString(const std::string& text) {
  Write(text.data(), static_cast<UINT>(text.size()));
}
