// CFileEntry: one file of the distribution media, a plain file or a
// multi-file archive, and the file object through which it is read. Reading
// an archive, it moves from part to part by itself: when a member's data
// runs out at the end of a part and the member is marked as continued, the
// next part (the name with its last character raised, on the next
// diskette) is located through the source media and reading goes on
// there. Every 4096 bytes read it calls the progress hook.
#pragma once

#include <functional>
#include <string>

#include "setup/transfer/ArchiveReader.h"
#include "setup/transfer/SourceMedia.h"

class CFileEntry : public CArchiveReader {
public:
  // media: where the file and its further parts are found; it must outlive
  // the entry.
  explicit CFileEntry(CSourceMedia& media, std::string fileName = {}, int disketteNumber = 1);

  // The name of the file in the source directory.
  const std::string& GetFileName() const noexcept { return fileName_; }
  void SetFileName(std::string name) { fileName_ = std::move(name); }
  // The diskette the file is on or, while an archive is read, the diskette
  // of the current part.
  int GetDisketteNumber() const noexcept { return disketteNumber_; }
  void SetDisketteNumber(int number) noexcept { disketteNumber_ = number; }
  // The source directory with the file's name.
  CPathName GetSourcePath() const { return media_.GetSourcePath(fileName_); }

  // Called after every segment (4096 bytes) read from the media, for the
  // progress display. It may pump messages; it may also throw, which ends
  // the read.
  void SetProgressHook(std::function<void()> hook) { progressHook_ = std::move(hook); }

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
  std::function<void()> progressHook_;
};
