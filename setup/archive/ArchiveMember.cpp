#include "setup/archive/ArchiveMember.h"

namespace {

constexpr std::uint64_t kUnixEpochAsFileTime = 116444736000000000ull;  // 1970-01-01 in 100 ns units
constexpr std::uint64_t kFileTimeTicksPerSecond = 10000000ull;
// The attribute bits an entry header may give a file.
constexpr DWORD kAppliedAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

}  // namespace

std::uint32_t FileTimeToArchiveTime(const FILETIME& time) noexcept {
  const std::uint64_t ticks = (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
  if (ticks <= kUnixEpochAsFileTime) return 0;
  const std::uint64_t seconds = (ticks - kUnixEpochAsFileTime) / kFileTimeTicksPerSecond;
  return seconds > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(seconds);
}

FILETIME ArchiveTimeToFileTime(std::uint32_t seconds) noexcept {
  const std::uint64_t ticks = kUnixEpochAsFileTime + seconds * kFileTimeTicksPerSecond;
  return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

UINT CArchiveMember::ReadHeader(CCountedFile& reader) {
  auto& bytes = header_.GetBytes();
  const UINT n = reader.RawRead(bytes.data(), static_cast<UINT>(bytes.size()));
  if (n == bytes.size()) {
    memberName_ = header_.GetName();
    memberText_ = header_.GetText();
  }
  return n;
}

void CArchiveMember::OpenOutputFile() { OpenWrite(outputPath_); }

void CArchiveMember::OpenOutput() {
  OpenOutputFile();
  bytesWritten_ = 0;
  checksum_ = 0;
}

void CArchiveMember::TakeStatus(const CPathName& path) {
  CFileStatus status;
  if (!CFile::GetStatus(path.GetPath(), status)) {
    CFileException::Throw(CFileException::fileNotFound, -1, path.GetPath());
  }
  header_.SetTime(FileTimeToArchiveTime(status.m_mtime));
  header_.SetSize(status.m_size > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(status.m_size));
  header_.SetAttributes(static_cast<std::uint16_t>(status.m_attribute & 0xFF));
}

void CArchiveMember::CloseWithHeaderTime() {
  SetModificationTime(ArchiveTimeToFileTime(header_.GetTime()));
  Close();
}

void CArchiveMember::RestoreAttributes() const {
  CFileStatus status;  // no times: only the attributes are set
  status.m_attribute = header_.GetAttributes() & kAppliedAttributes;
  CFile::SetStatus(outputPath_.GetPath(), status);
}

void CArchiveMember::RestoreStatus() const {
  CFileStatus status;
  status.m_mtime = ArchiveTimeToFileTime(header_.GetTime());
  status.m_attribute = header_.GetAttributes() & kAppliedAttributes;
  CFile::SetStatus(outputPath_.GetPath(), status);
}
