// CRunFiles: the files one installation run has recorded in the install
// log, each with the size it has once the run is done (the new file's, or
// the kept copy's). From them come the product's size in the uninstall
// entry and the report of the files that earlier runs left and this kit
// no longer ships.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
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

  // Whether this run has recorded a file at path (in any letter case).
  bool Contains(const CPathName& path) const;

  std::size_t Count() const noexcept { return files_.size(); }
  std::uint64_t TotalBytes() const noexcept { return totalBytes_; }
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
  // A run of 20,000 files keeps them all: each is the number of its
  // directory (kept once, folded), its folded name in a block of text
  // that never moves, and a slot in each of two hash tables; not a
  // string and a tree node for its path and another for its name.
  struct File {
    std::uint64_t size;
    std::uint32_t directory;  // index into directories_
    std::uint32_t name;       // block << 16 | offset in the block
  };

  std::string_view NameOf(const File& file) const noexcept;
  // The slot of each table that holds what matches, or the free slot
  // where it would go.
  std::size_t DirectorySlot(std::string_view directory) const noexcept;
  std::size_t PathSlot(std::uint32_t directory, std::string_view name) const noexcept;
  std::size_t NameSlot(std::string_view name) const noexcept;
  // The number of directory, which is added when it is new.
  std::uint32_t DirectoryIndex(std::string_view directory);
  // Puts file (1 + its index) in the path and name tables.
  void Index(std::uint32_t file) noexcept;

  std::vector<std::string> directories_;
  std::vector<std::uint32_t> byDirectory_;  // 1 + index into directories_; 0: free
  std::vector<std::string> blocks_;         // each reserved once: its text never moves
  std::vector<File> files_;
  std::vector<std::uint32_t> byPath_;  // 1 + index into files_; 0: free
  std::vector<std::uint32_t> byName_;  // one slot for each name: its first file
  std::uint64_t totalBytes_ = 0;
};

// Every file record of the log's groups, with its path in the log's
// destinations; none when the log has no groups.
std::vector<CLoggedFile> ReadLoggedFiles(const CIniText& log);
