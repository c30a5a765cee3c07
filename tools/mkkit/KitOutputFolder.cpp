#include "tools/mkkit/KitOutputFolder.h"

#include <windows.h>

#include <fstream>
#include <set>
#include <sstream>

#include "framework/ScopedHandle.h"
#include "setup/paths/PathName.h"
#include "tools/mkkit/KitBuilder.h"
#include "tools/mkkit/KitException.h"
#include "setup/archive/KitSeal.h"
#include "tools/mkkit/LowerCase.h"

namespace {

[[noreturn]] void Refuse(const std::string& dir, const std::string& why) {
  throw CKitException(kExitUsage, "cannot build into " + dir + ": " + why + "; nothing was deleted");
}

// Every file and folder below dir, as full paths; folders before what
// they hold. A junction or symbolic link (a reparse point, to a file or a
// folder) is listed in links and never entered.
void ListTree(const std::string& dir, std::vector<std::string>& files, std::vector<std::string>& folders,
              std::vector<std::string>& links) {
  WIN32_FIND_DATAA data;
  CFindHandle find(::FindFirstFileA((dir + "\\*").c_str(), &data));
  if (!find.valid()) return;
  do {
    const std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    const std::string full = dir + "\\" + name;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
      links.push_back(full);
    } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      folders.push_back(full);
      ListTree(full, files, folders, links);
    } else {
      files.push_back(full);
    }
  } while (::FindNextFileA(find.get(), &data));
}

bool IsFile(const std::string& path) {
  const DWORD a = ::GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool IsInside(const std::string& path, const std::string& folder) {
  const std::string p = Lower(path), f = Lower(folder);
  if (p == f) return true;
  const std::string prefix = f.back() == '\\' ? f : f + "\\";
  return p.rfind(prefix, 0) == 0;
}

std::string FullPath(const std::string& path) {
  char full[MAX_PATH];
  char* filePart = nullptr;
  const DWORD n = ::GetFullPathNameA(path.c_str(), sizeof full, full, &filePart);
  std::string out = n > 0 && n < sizeof full ? std::string(full, n) : path;
  while (out.size() > 3 && (out.back() == '\\' || out.back() == '/')) out.pop_back();
  return out;
}

CKitOutputFolder::CKitOutputFolder(const std::string& dir) : dir_(dir.empty() ? dir : FullPath(dir)) {}

void CKitOutputFolder::FindEarlierKit(std::vector<std::string>& files, std::vector<std::string>& folders) const {
  std::string sealPath;
  CKitSeal seal;
  for (MediaKind kind : {MediaKind::flat, MediaKind::cd, MediaKind::diskettes}) {
    const std::string candidate = CKitBuilder::DisketteFolder(dir_, kind, 1) + "\\" + CKitSeal::kFileName;
    if (!IsFile(candidate)) continue;
    std::ifstream in(candidate, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!seal.Parse(text.str()) || seal.GetMedia() != kind) {
      Refuse(dir_, candidate + " is not a seal that mkkit wrote");
    }
    sealPath = candidate;
    break;
  }
  if (sealPath.empty()) {
    Refuse(dir_, "it is not empty and holds no kit that mkkit built (no " + std::string(CKitSeal::kFileName) +
                     "); --clean deletes only such a kit");
  }
  // What the earlier run wrote: the files its seal lists, the seal, and
  // the diskette folders that hold them.
  std::set<std::string> ownFiles{Lower(sealPath)}, ownFolders;
  if (seal.GetMedia() != MediaKind::flat) ownFolders.insert(Lower(CKitBuilder::DisketteFolder(dir_, seal.GetMedia(), 1)));
  for (const SealEntry& e : seal.GetEntries()) {
    const std::string folder = CKitBuilder::DisketteFolder(dir_, seal.GetMedia(), e.diskette);
    ownFiles.insert(Lower(folder + "\\" + e.name));
    if (seal.GetMedia() != MediaKind::flat && e.diskette > 0) ownFolders.insert(Lower(folder));
  }
  std::vector<std::string> links;
  ListTree(dir_, files, folders, links);
  for (const std::string& folder : folders) {
    if (!ownFolders.count(Lower(folder))) Refuse(dir_, "it holds the folder " + folder + ", which mkkit did not make");
  }
  for (const std::string& file : files) {
    if (!ownFiles.count(Lower(file))) Refuse(dir_, "it holds " + file + ", which no earlier mkkit run wrote there");
  }
}

void CKitOutputFolder::Prepare(bool clean, const std::vector<std::string>& keep) const {
  if (dir_.empty() || dir_.size() <= 3) Refuse(dir_.empty() ? "''" : dir_, "a drive's root or nothing cannot be the output folder");
  const DWORD attributes = ::GetFileAttributesA(dir_.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) Refuse(dir_, "it is a file, not a folder");
    for (const std::string& path : keep) {
      if (IsInside(FullPath(path), dir_)) Refuse(dir_, "it is or holds " + path + ", which the kit is built from");
    }
    std::vector<std::string> files, folders, links;
    ListTree(dir_, files, folders, links);
    if (!files.empty() || !folders.empty() || !links.empty()) {
      if (!clean) Refuse(dir_, "it is not empty (--clean replaces a kit that mkkit built there)");
      // What a link leads to is not the earlier kit's, whatever it holds.
      if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        Refuse(dir_, "it is a junction or symbolic link, which --clean neither follows nor deletes");
      }
      if (!links.empty()) {
        Refuse(dir_, "it holds the junction or symbolic link " + links.front() +
                         ", which --clean neither follows nor deletes");
      }
      files.clear();
      folders.clear();
      FindEarlierKit(files, folders);
      for (const std::string& file : files) {
        ::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!::DeleteFileA(file.c_str())) throw CKitException(kExitIoError, "cannot delete " + file);
      }
      for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
        if (!::RemoveDirectoryA(it->c_str())) throw CKitException(kExitIoError, "cannot remove " + *it);
      }
    }
  }
  CPathName(dir_ + "\\").CreateDirectoryOrThrow();
}
