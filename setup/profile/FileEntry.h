// CFileEntry: one file of the distribution media, a plain file or a
// multi-file archive, and the file object through which it is read. Reading
// an archive, it moves from part to part by itself: when a member's data
// runs out at the end of a part and the member is marked as continued, the
// next part (the name with its last character raised, on the next
// diskette) is located through the source media and reading goes on
// there. Every 4096 bytes read it calls the progress hook.
//
// Its record in the setup profile (a key of its group's section: the file
// name, value "size|kind|count|diskette|destination|text") gives it the
// public fields below; CFileList loads them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "setup/archive/ArchiveReader.h"
#include "setup/archive/SourceMedia.h"

class CGroup;

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

  // The bytes the file takes once installed, with cluster slack: an archive
  // of several members needs half a cluster per member on top of its size;
  // another file its size rounded up to whole clusters. clusterSize 0
  // gives the plain size.
  std::int64_t SpaceNeeded(DWORD clusterSize) const;
  // Its group is selected for this run.
  bool IsSelected() const;

  enum Kind : std::int16_t { plainFile = 0, archive = 1 };

  std::int16_t kind = plainFile;
  std::int32_t size = 0;           // installed bytes (an archive: the total of its members)
  std::int16_t memberCount = 0;    // files in an archive
  int marked = 0;                  // goes after the unmarked entries of its diskette
  std::int16_t destinationId = 0;  // of a plain file; -1: not copied
  std::string text;                // carried
  CGroup* group = nullptr;         // whose section lists the file; owned by the group table

private:
  CSourceMedia& media_;
  std::string fileName_;
  int disketteNumber_;
  std::function<void()> progressHook_;
};
