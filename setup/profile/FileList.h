// CFileList: the files of the distribution in the order in which they are
// copied: by ascending diskette number, within a diskette the unmarked
// entries before the marked ones, and otherwise in the order they were
// loaded, so that each diskette is asked for once.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "setup/profile/FileEntry.h"
#include "setup/paths/PathName.h"

class CIniText;
class CGroupTable;

class CFileList {
public:
  using Records = std::vector<std::unique_ptr<CFileEntry>>;

  CFileList() = default;
  CFileList(const CFileList&) = delete;
  CFileList& operator=(const CFileList&) = delete;

  // For every group of the table, in table order, reads the section named
  // by the group's key: key = file name, value "size|kind|count|diskette|
  // destination|text"; a negative diskette number marks the entry.
  void Load(const CIniText& profile, const CGroupTable& groups);
  void Load(const CPathName& profile, const CGroupTable& groups);
  // Puts the entry before the first one on a later diskette, or on the same
  // diskette and marked while the new one is not; otherwise at the end.
  void Insert(std::unique_ptr<CFileEntry> entry);

  // The sum of the entries' SpaceNeeded over the entries whose group is
  // selected, or over all entries when all is set.
  std::int64_t RequiredSpace(DWORD clusterSize, bool all) const;

  Records::const_iterator begin() const { return records_.begin(); }
  Records::const_iterator end() const { return records_.end(); }
  std::size_t size() const { return records_.size(); }

private:
  Records records_;
};
