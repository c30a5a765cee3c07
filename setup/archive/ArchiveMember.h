// CArchiveMember: one member of an archive on its way out: its entry header
// and the file its data is written to (the output path). The writes are
// counted and checksummed, so that after an extraction the checksum can be
// compared with the header's.
#pragma once

#include <cstdint>
#include <string>

#include "setup/archive/CountedFile.h"
#include "setup/archive/EntryHeader.h"

class CArchiveMember : public CCountedFile {
public:
  CArchiveMember() = default;

  // Reads the next 346 bytes of reader raw into the header; returns how
  // many came (fewer than 346: there is no further entry). The member's
  // name and text are taken from the header.
  UINT ReadHeader(CCountedFile& reader);
  // Opens the output file (OpenOutputFile), with bytes written and the
  // checksum starting from 0.
  void OpenOutput();
  // Fills the header's time, size and attributes from the status of the
  // plain file source, open for reading (asked of its handle: a search for
  // its name would read the kit's folder); throws CFileException
  // (fileNotFound, naming the file) when the system gives none.
  void TakeStatus(const CFile& source);
  // The same from a status already asked for.
  void TakeStatus(const CFileStatus& status);
  // Gives the closed output file the header's time and the attributes of
  // its low byte (read-only, hidden, system, archive).
  void RestoreStatus() const;
  // The same in two steps that save opening the file again, which costs
  // more than the rest of a small member's extraction: the header's time
  // is set through the still open output file, which is then closed ...
  void CloseWithHeaderTime();
  // ... and the closed file takes the attributes, unless it was made with
  // them (CreateOutputNew).
  void RestoreAttributes() const;

  CEntryHeader& GetHeader() noexcept { return header_; }
  const CEntryHeader& GetHeader() const noexcept { return header_; }
  // The name as stored, which may carry a directory, and the text carried
  // with it; both as read by the last ReadHeader.
  const std::string& GetMemberName() const noexcept { return memberName_; }
  const std::string& GetMemberText() const noexcept { return memberText_; }
  // Names the member without an entry header to read it from (a plain file
  // copied as one): the header's name field and the name above.
  void SetMemberName(const std::string& name) {
    header_.SetName(name);
    memberName_ = name;
  }

  const CPathName& GetOutputPath() const noexcept { return outputPath_; }
  void SetOutputPath(const CPathName& path) { outputPath_ = path; }

  // Where the next entry header of the archive starts, counted over the
  // archive's bytes from the start of the first part; 0 before the first.
  std::int64_t GetNextEntryOffset() const noexcept { return nextEntryOffset_; }
  void SetNextEntryOffset(std::int64_t offset) noexcept { nextEntryOffset_ = offset; }

protected:
  // Creates (or truncates) the file at the output path. A subclass may
  // choose the file only now; it then sets the output path to it.
  virtual void OpenOutputFile();
  // Creates path for the output as CreateNew does. A file the header wants
  // archived and not read-only is made with its attributes at once, and
  // RestoreAttributes has nothing left to do for it: reading them back
  // costs as much as setting the time.
  bool CreateOutputNew(const CPathName& path);

private:
  // The attributes of the header that the output file takes.
  DWORD WantedAttributes() const noexcept;

  bool madeWithAttributes_ = false;
  std::int64_t nextEntryOffset_ = 0;
  CPathName outputPath_;
  CEntryHeader header_;
  std::string memberName_;
  std::string memberText_;
};

// Seconds since 1970-01-01 UTC, as entry headers store times (cut to the
// 32-bit range), and back.
std::uint32_t FileTimeToArchiveTime(const FILETIME& time) noexcept;
FILETIME ArchiveTimeToFileTime(std::uint32_t seconds) noexcept;
