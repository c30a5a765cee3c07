// CRunFiles: the files one installation run has recorded in the install
// log, each with the size it has once the run is done (the new file's, or
// the kept copy's). From them come the product's size in the uninstall
// entry and the report of the files that earlier runs left and this kit
// no longer ships.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "setup/paths/PathName.h"

class CGroupTable;
class CIniText;

// A file an earlier run recorded in the install log.
struct CLoggedFile {
  std::string groupKey;   // the log section that records it
  std::string name;       // its key: the file name
  CPathName path;         // where it is; empty when its destination cannot be resolved
};

class CRunFiles {
public:
  // A file recorded at path with size bytes; a path recorded again (a
  // file listed twice) counts once, with its last size.
  void Add(const CPathName& path, std::uint64_t size);

  std::size_t Count() const noexcept { return sizes_.size(); }
  std::uint64_t TotalBytes() const noexcept;
  // TotalBytes in KiB, rounded up, at most the largest DWORD: the
  // uninstall entry's EstimatedSize.
  DWORD TotalKiB() const noexcept;

  // The files of earlier, in their order, that this run did not record
  // and that this kit does not ship: no file of the same name was
  // recorded, and its group (the group a moved directory's section
  // belongs to, for "GROUP~ID") is one this run installed or one the
  // kit no longer has. A group of the kit that this run left unselected
  // may still ship it: its files are not named.
  std::vector<CLoggedFile> NotShipped(const std::vector<CLoggedFile>& earlier, const CGroupTable& groups) const;

private:
  std::map<std::string, std::uint64_t> sizes_;  // folded path -> bytes
  std::set<std::string> names_;                 // folded file names
};

// Every file record of the log's groups, with its path in the log's
// destinations; none when the log has no groups.
std::vector<CLoggedFile> ReadLoggedFiles(const CIniText& log);
