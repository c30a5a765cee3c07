// CMediaReader: reads one file of the distribution media, a plain file or a
// multi-file archive, found through the source media. Reading an archive,
// it moves from part to part by itself: when a member's data runs out at
// the end of a part and the member is marked as continued, the next part
// (the name with its last character raised, on the next diskette) is
// located through the source media and reading goes on there. Every
// segment (4096 bytes) read it calls its progress sink.
#pragma once

#include <functional>
#include <string>

#include "setup/archive/ArchiveReader.h"
#include "setup/archive/SourceMedia.h"

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

  void OnSegmentBoundary() override;
  // The diskette change. When the entry whose data is being read is not
  // continued, true: its data ends here. Otherwise the next part is
  // located (CUserException when the user gives up, CMultiFileException
  // corruptTable when no further part name exists), opened with the byte
  // counters running on and its header checked; false, so that the read
  // goes on in the new part.
  bool OnEndOfData() override;

private:
  CSourceMedia& media_;
  std::string fileName_;
  int disketteNumber_;
  ProgressSink progress_;
};
