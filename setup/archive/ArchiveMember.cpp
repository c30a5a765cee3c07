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
  madeWithAttributes_ = false;
  OpenOutputFile();
  bytesWritten_ = 0;
  checksum_ = 0;
}

void CArchiveMember::TakeStatus(const CFile& source) {
  CFileStatus status;
  if (!source.GetStatus(status)) CFileException::Throw(CFileException::fileNotFound, -1, source.GetFilePath());
  TakeStatus(status);
}

void CArchiveMember::TakeStatus(const CFileStatus& status) {
  header_.SetTime(FileTimeToArchiveTime(status.m_mtime));
  header_.SetSize(status.m_size > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(status.m_size));
  header_.SetAttributes(static_cast<std::uint16_t>(status.m_attribute & 0xFF));
}

void CArchiveMember::CloseWithHeaderTime() {
  SetModificationTime(ArchiveTimeToFileTime(header_.GetTime()));
  Close();
}

DWORD CArchiveMember::WantedAttributes() const noexcept { return header_.GetAttributes() & kAppliedAttributes; }

bool CArchiveMember::CreateOutputNew(const CPathName& path) {
  // A new file is archived by the file system whatever it is created with,
  // so one the header wants otherwise takes its attributes after the data,
  // as other outputs do; so does a read-only one, which becomes read-only
  // only once its data is in.
  const DWORD wanted = WantedAttributes();
  const bool atOnce = (wanted & FILE_ATTRIBUTE_ARCHIVE) && !(wanted & FILE_ATTRIBUTE_READONLY);
  if (!CreateNew(path, atOnce ? wanted : FILE_ATTRIBUTE_NORMAL)) return false;
  madeWithAttributes_ = atOnce;
  return true;
}

void CArchiveMember::RestoreAttributes() const {
  if (madeWithAttributes_) return;
  CFileStatus status;  // no times: only the attributes are set
  status.m_attribute = WantedAttributes();
  CFile::SetStatus(outputPath_.GetPath(), status);
}

void CArchiveMember::RestoreStatus() const {
  CFileStatus status;
  status.m_mtime = ArchiveTimeToFileTime(header_.GetTime());
  status.m_attribute = WantedAttributes();
  CFile::SetStatus(outputPath_.GetPath(), status);
}
