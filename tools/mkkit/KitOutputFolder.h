// CKitOutputFolder: the folder a kit is built into. Building there must
// never destroy anything of the user's: the folder must be absent or
// empty, or hold exactly a kit that an earlier mkkit run wrote (the files
// its seal lists, in their diskette folders), which --clean then deletes.
// Everything else is refused before anything is deleted, and so is a
// junction or symbolic link in the folder or the folder being one: --clean
// never deletes through a link into what it leads to.
#pragma once

#include <string>
#include <vector>

class CKitOutputFolder {
public:
  // dir as given; it is made a full path.
  explicit CKitOutputFolder(const std::string& dir);

  const std::string& GetPath() const noexcept { return dir_; }

  // Makes the folder ready for a new kit: creates it, or with clean deletes
  // the earlier kit in it. keep are paths that must not lie in the folder
  // (the description and the source files). Throws CKitException with
  // kExitUsage naming the folder when it cannot be used, nothing deleted,
  // and with kExitIoError when a file of the earlier kit cannot be deleted.
  void Prepare(bool clean, const std::vector<std::string>& keep) const;

private:
  // The earlier kit's files and diskette folders, as full paths; throws
  // (usage) when the folder holds anything else.
  void FindEarlierKit(std::vector<std::string>& files, std::vector<std::string>& folders) const;

  std::string dir_;
};

// path as a full path, without a trailing '\' (except for a root).
std::string FullPath(const std::string& path);
// Whether path is folder or lies below it (both full paths).
bool IsInside(const std::string& path, const std::string& folder);
