// CArchiveReader: reads a multi-file archive member by member: OpenArchive
// checks the first part, NextEntry reads each entry header into a member,
// Extract writes that member's data to the member's output path through the
// codec its method names and checks the checksum.
//
// What a damaged archive can do: every failure is a typed exception
// (CMultiFileException, CZLibException, CFileException), whatever the
// headers claim. Sizes from headers only bound how much is read and
// written; buffers are fixed.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "setup/archive/ArchiveMember.h"
#include "setup/archive/Codec.h"
#include "setup/archive/CountedFile.h"

class CArchiveReader : public CCountedFile {
public:
  static constexpr int kSegmentSize = 4096;

  CArchiveReader();
  ~CArchiveReader() override;

  // While a member is being extracted: asks its codec to stop (the member
  // is finished first, then Extract throws CUserException). Otherwise the
  // file's quiet close.
  void Abort() override;

  // A new member whose entries start where this archive's first entry does.
  virtual std::unique_ptr<CArchiveMember> CreateMemberFile() const;
  // The codec of a compression method (stored or deflate); null for any
  // other method. Extract keeps each codec it made for the later members
  // of the same method.
  virtual std::unique_ptr<CCodec> CreateCodec(std::uint32_t method, std::uint32_t parameter) const;

  // Opens the first part and checks its header: fewer than 8 bytes throw
  // CFileException (endOfFile), another magic CMultiFileException
  // (notAnArchive); open failures throw CFileException.
  void OpenArchive(const CPathName& path);
  // Reads the next entry header into member; false when fewer than 346
  // bytes are left (the archive ends). Whatever the previous entry's data
  // was not read by an extraction (a member that is not installed, bytes
  // after the end of a deflate stream) is passed over first, read through
  // so that part changes happen as needed, or with seek set skipped by
  // seeking where it lies within the current part. An entry whose magic is
  // wrong throws CMultiFileException (missingEntryHeader); one whose name
  // gives no usable file name (see IsUsableFileName), or one the install
  // log cannot hold (IsLoggableFileName), throws corruptTable;
  // data that ends before its stored size throws CFileException
  // (endOfFile).
  bool NextEntry(CArchiveMember& member, bool seek = false);
  // Writes the data of the entry NextEntry read last into member's output
  // path, stamps the file with the header's time and attributes and
  // compares the checksum (when the header has one): an unknown method
  // throws CMultiFileException (unknownMethod) after creating the empty
  // output file, a different checksum crcMismatch; a cancelled extraction
  // throws CUserException once the member is complete. The output file is
  // closed on every way out.
  void Extract(CArchiveMember& member);

  std::int64_t GetFirstEntryOffset() const noexcept { return firstEntryOffset_; }
  // True while Extract runs.
  bool IsExtracting() const noexcept { return extracting_; }

protected:
  // The continued flag of the entry whose stored data is being read: true
  // when that data goes on in the next part.
  bool IsEntryContinued() const noexcept { return entryOpen_ && entryContinued_; }
  // Reads and checks the 8-byte header of the part just opened.
  void CheckPartHeader();
  // The bytes of the open entry's stored data not read yet (0 when no
  // entry is open).
  std::int64_t EntryDataLeft() const noexcept { return entryOpen_ ? entryDataEnd_ - bytesRead_ : 0; }
  // Called when a part has been opened and its part header checked, before
  // anything else of it is read: the first by OpenArchive, a further one by
  // a subclass that changes parts, with the bytes of the open entry's data
  // that the part begins with. May throw, which ends the read. Nothing
  // here.
  virtual void OnPartOpened(std::int64_t /*dataCarriedIn*/) {}
  // Called when Extract has transferred a member's data and its checksum
  // matched, before the member counts as extracted. May throw, which fails
  // the extraction like a checksum that does not match. Nothing here.
  virtual void OnMemberExtracted() {}

private:
  class RunningExtraction;
  void PassOverEntryData(bool seek);
  // The codec for method and parameter: the one kept from an earlier
  // extraction of the same kind, else a new one, kept from now on (null for
  // an unknown method). Each kind is made once per reader (of at most
  // kKeptCodecs kinds, the oldest given up for a new one, so that a damaged
  // archive cannot have thousands made): an archive whose members take
  // turns at being stored and deflated would otherwise make and free the
  // inflate state and its 192 KiB of buffers at every turn.
  CCodec* CodecFor(std::uint32_t method, std::uint32_t parameter);

  static constexpr std::size_t kKeptCodecs = 4;
  struct KeptCodec {
    std::uint32_t method = 0;
    std::uint32_t parameter = 0;
    std::unique_ptr<CCodec> codec;
  };
  std::vector<KeptCodec> codecs_;
  CCodec* runningCodec_ = nullptr;
  CArchiveMember* currentMember_ = nullptr;
  std::int64_t firstEntryOffset_ = 0;
  bool extracting_ = false;
  // The entry whose data follows in the stream: its data ends when the
  // counted bytes read reach entryDataEnd_.
  bool entryOpen_ = false;
  bool entryContinued_ = false;
  std::int64_t entryDataEnd_ = 0;
};
