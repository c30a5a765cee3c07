// CFileEntry: the record of one file of the distribution media, a plain
// file or a multi-file archive, as the setup profile lists it (a key of its
// group's section: the file name, value "size|kind|count|diskette|
// destination|text"; CFileList loads them). The copy engine reads the file
// itself through a CMediaReader.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

class CGroup;

class CFileEntry {
public:
  explicit CFileEntry(std::string fileName = {}, int disketteNumber = 1)
      : disketteNumber_(disketteNumber), fileName_(std::move(fileName)) {}

  // The name of the file in the source directory.
  const std::string& GetFileName() const noexcept { return fileName_; }
  void SetFileName(std::string name) { fileName_ = std::move(name); }
  // The diskette the file is on (an archive: where its first part is).
  int GetDisketteNumber() const noexcept { return disketteNumber_; }
  void SetDisketteNumber(int number) noexcept { disketteNumber_ = number; }

  // The bytes the file takes once installed, with cluster slack: an archive
  // of several members needs half a cluster per member on top of its size;
  // another file its size rounded up to whole clusters. clusterSize 0
  // gives the plain size.
  std::int64_t SpaceNeeded(DWORD clusterSize) const;
  // Its group is selected for this run.
  bool IsSelected() const;

  enum Kind : std::int16_t { plainFile = 0, archive = 1 };

  // A kit of 20,000 plain files holds 20,000 entries for the run: the
  // fields are ordered so that none is padded (88 bytes on x64).
  std::string text;                // carried
  CGroup* group = nullptr;         // whose section lists the file; owned by the group table
  std::int32_t size = 0;           // installed bytes (an archive: the total of its members)
  std::int16_t kind = plainFile;
  std::int16_t memberCount = 0;    // files in an archive
  std::int16_t destinationId = 0;  // of a plain file; -1: not copied
  std::int8_t marked = 0;          // 1: goes after the unmarked entries of its diskette

private:
  int disketteNumber_;
  std::string fileName_;
};
