#include "tools/bench/BenchPayload.h"

#include <cstdio>
#include <vector>

namespace {

constexpr std::uint32_t kSeed = 1996;

struct Profile {
  const char* name;
  int smallFiles;         // 1 to 16 KiB each
  int smallFolders;       // 0: the large files' 12 folders; else tens of folders of 9 subfolders
  int largeFiles;         // of varied weight, adding up to largeTotal
  std::size_t largeTotal;
};

const Profile kProfiles[] = {
    {"big", 0, 0, 200, 64u << 20},
    {"medium", 0, 0, 200, 16u << 20},
    {"many", 2000, 100, 0, 0},
    {"one", 1, 100, 0, 0},
    {"hugefiles", 20000, 1000, 0, 0},
    {"hugedata", 0, 0, 100, 512u << 20},
};

// The folder of small file index: folders of ten, the first of each ten a
// top folder, the other nine its subfolders.
std::string SmallFolder(const Profile& profile, int index) {
  const int folder = index % profile.smallFolders;
  char name[32];
  const char* format = profile.smallFolders > 100 ? "part%03d" : "part%02d";
  std::snprintf(name, sizeof name, format, folder / 10 + 1);
  if (folder % 10 == 0) return name;
  return std::string(name) + "\\sub" + std::to_string(folder % 10);
}

// The folder of large file index: among small files, the top folders; alone,
// 12 folders of their own.
std::string LargeFolder(const Profile& profile, int index) {
  if (profile.smallFolders > 0) return SmallFolder(profile, index % (profile.smallFolders / 10) * 10);
  char name[32];
  std::snprintf(name, sizeof name, "folder%02d", index % 12 + 1);
  return name;
}

}  // namespace

bool ForEachPayloadFile(const std::string& name, const std::function<void(const CPayloadFile&)>& visit) {
  for (const Profile& profile : kProfiles) {
    if (name != profile.name) continue;
    CPayloadGenerator payload(kSeed);
    std::vector<std::size_t> sizes;
    for (int i = 0; i < profile.smallFiles; ++i) sizes.push_back(payload.Between(1024, 16 * 1024));
    if (profile.largeFiles > 0) {
      for (std::size_t size : payload.SplitSizes(profile.largeFiles, profile.largeTotal)) sizes.push_back(size);
    }
    CPayloadFile file;
    for (int i = 0; i < static_cast<int>(sizes.size()); ++i) {
      file.folder = i < profile.smallFiles ? SmallFolder(profile, i) : LargeFolder(profile, i - profile.smallFiles);
      const CPayloadGenerator::Kind kind = CPayloadGenerator::KindOf(i);
      char fileName[48];
      std::snprintf(fileName, sizeof fileName, "%s%04d.%s", CPayloadGenerator::KindName(kind), i,
                    kind == CPayloadGenerator::Kind::text ? "txt" : kind == CPayloadGenerator::Kind::records ? "dat" : "bin");
      file.name = fileName;
      file.data = payload.Make(kind, sizes[static_cast<std::size_t>(i)]);
      visit(file);
    }
    return true;
  }
  return false;
}
