// CMediaReader: reads one file of the distribution media, a plain file or a
// multi-file archive, found through the source media. Reading an archive,
// it moves from part to part by itself: when a member's data runs out at
// the end of a part and the member is marked as continued, the next part
// (the name with its last character raised, on the next diskette) is
// located through the source media and reading goes on there. Every
// segment (4096 bytes) read it calls its progress sink.
//
// When the media carry the kit's seal, nothing is taken from a file that
// differs from it (CKitSealException, or the file's own read error): a
// plain file's size is checked when it is opened and its SHA-256 over the
// bytes as they stream through, before the copy counts as extracted; an
// archive part's size and the digest of its entry headers are checked when
// the part is opened, before any member of it is read.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "setup/archive/ArchiveReader.h"
#include "setup/archive/Sha256.h"
#include "setup/archive/SourceMedia.h"
#include "setup/archive/SourceReadAhead.h"

class CMediaReader : public CArchiveReader {
public:
  // Called after every segment read from the media, for a progress
  // display. It may pump messages; it may also throw, which ends the read.
  using ProgressSink = std::function<void()>;

  // media: where the file and its further parts are found; it must outlive
  // the reader. disketteNumber: the diskette the file starts on.
  CMediaReader(CSourceMedia& media, std::string fileName, int disketteNumber = 1, ProgressSink progress = {});

  // The name of the file in the source directory.
  const std::string& GetFileName() const noexcept { return fileName_; }
  // The diskette of the part being read.
  int GetDisketteNumber() const noexcept { return disketteNumber_; }
  // The source directory with the file's name.
  CPathName GetSourcePath() const { return media_.GetSourcePath(fileName_); }

  // Opens the file as a plain file of the kit, checking its size against
  // the seal; its bytes are digested as they are read. When readAhead has
  // read the file already, its bytes and digest are taken from there and
  // nothing is opened; readAhead then gets the buffer back when the reader
  // is done with it (the next open, Close or Abort), and must live until
  // then.
  void OpenPlainFile(CSourceReadAhead* readAhead = nullptr);
  // The plain file's times, size and attributes; CFileException
  // (fileNotFound) when the system gives none.
  CFileStatus GetPlainFileStatus() const;

  UINT Read(void* buffer, UINT count) override;
  UINT RawRead(void* buffer, UINT count) override;
  std::uint64_t GetLength() const override;
  std::uint64_t GetPosition() const override;
  std::uint64_t Seek(std::int64_t offset, SeekPosition from) override;
  bool IsOpen() const override;
  void Close() override;
  void Abort() override;
  void OnSegmentBoundary() override;
  // The diskette change. When the entry whose data is being read is not
  // continued, true: its data ends here. Otherwise the next part is
  // located (CUserException when the user gives up, CMultiFileException
  // corruptTable when no further part name exists), opened with the byte
  // counters running on and its header checked; false, so that the read
  // goes on in the new part.
  bool OnEndOfData() override;

protected:
  // The part's size and entry headers against the seal.
  void OnPartOpened(std::int64_t dataCarriedIn) override;
  // A plain file: its digest against the seal.
  void OnMemberExtracted() override;

private:
  // The seal's line of the file open now; throws CKitSealException when
  // the seal does not list it or gives it another size. Null without a
  // seal.
  const SealEntry* CheckSealedSize() const;
  // Ends the use of the file read ahead, its buffer given back.
  void ReleaseReadAhead() noexcept;

  CSourceMedia& media_;
  std::string fileName_;
  int disketteNumber_;
  ProgressSink progress_;
  // The plain file being read and digested, while it is.
  const SealEntry* digesting_ = nullptr;
  CSha256 digest_;
  // The plain file as read ahead, while its bytes are read from memory.
  std::optional<CReadAheadFile> ahead_;
  std::size_t aheadAt_ = 0;
  CSourceReadAhead* aheadFrom_ = nullptr;  // which gave ahead_, and gets its buffer back
};
