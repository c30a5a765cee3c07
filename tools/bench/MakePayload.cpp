// bench_payload PROFILE FOLDER: writes the install benchmark's payload, the
// same files on every run, into FOLDER (which must not exist yet).
//   big     200 files, 64 MiB in all, in 12 folders
//   medium  the same shape in 16 MiB (the working set's second point)
//   many    2,000 files of 1 to 16 KiB in 100 folders (10 folders of 9
//           subfolders each)
//   one     one such file: what an installation costs besides its files
// About half the files are text, a quarter binary records, a quarter random
// bytes. File names are unique across the payload (the kit's description
// and the install log key files by name).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/bench/PayloadGenerator.h"

namespace {

constexpr std::uint32_t kSeed = 1996;

struct Profile {
  const char* name;
  int files;
  std::size_t totalSize;  // 0: each file 1 to 16 KiB
};

const Profile kProfiles[] = {
    {"big", 200, 64u << 20},
    {"medium", 200, 16u << 20},
    {"many", 2000, 0},
    {"one", 1, 0},
};

bool WriteWhole(const std::string& path, const CPayloadGenerator::Bytes& data) {
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = ::WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
  ::CloseHandle(file);
  return ok && written == data.size();
}

// The folder of file index: big and medium spread files over 12 folders;
// many over 10 folders and their 9 subfolders each.
std::string FolderOf(const Profile& profile, int index) {
  char name[32];
  if (profile.totalSize != 0) {
    std::snprintf(name, sizeof name, "folder%02d", index % 12 + 1);
  } else {
    const int folder = index % 100;
    if (folder % 10 == 0) {
      std::snprintf(name, sizeof name, "part%02d", folder / 10 + 1);
    } else {
      std::snprintf(name, sizeof name, "part%02d\\sub%d", folder / 10 + 1, folder % 10);
    }
  }
  return name;
}

bool MakeFolder(const std::string& path) {
  return ::CreateDirectoryA(path.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS;
}

int Write(const Profile& profile, const std::string& root) {
  if (!::CreateDirectoryA(root.c_str(), nullptr)) {
    std::fprintf(stderr, "bench_payload: cannot create %s (it must not exist)\n", root.c_str());
    return 1;
  }
  CPayloadGenerator payload(kSeed);
  std::vector<std::size_t> sizes;
  if (profile.totalSize != 0) {
    sizes = payload.SplitSizes(profile.files, profile.totalSize);
  } else {
    for (int i = 0; i < profile.files; ++i) sizes.push_back(payload.Between(1024, 16 * 1024));
  }
  std::size_t total = 0;
  for (int i = 0; i < profile.files; ++i) {
    const std::string folder = FolderOf(profile, i);
    const std::size_t slash = folder.find('\\');
    if (slash != std::string::npos && !MakeFolder(root + "\\" + folder.substr(0, slash))) return 1;
    if (!MakeFolder(root + "\\" + folder)) return 1;
    const CPayloadGenerator::Kind kind = CPayloadGenerator::KindOf(i);
    const std::size_t size = sizes[static_cast<std::size_t>(i)];
    char name[48];
    std::snprintf(name, sizeof name, "%s%04d.%s", CPayloadGenerator::KindName(kind), i,
                  kind == CPayloadGenerator::Kind::text ? "txt" : kind == CPayloadGenerator::Kind::records ? "dat" : "bin");
    const std::string path = root + "\\" + folder + "\\" + name;
    if (!WriteWhole(path, payload.Make(kind, size))) {
      std::fprintf(stderr, "bench_payload: cannot write %s\n", path.c_str());
      return 1;
    }
    total += size;
  }
  std::printf("bench_payload: %s: %d files, %zu bytes\n", profile.name, profile.files, total);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3) {
    for (const Profile& profile : kProfiles) {
      if (std::strcmp(argv[1], profile.name) == 0) return Write(profile, argv[2]);
    }
  }
  std::fprintf(stderr, "usage: bench_payload big|medium|many FOLDER\n");
  return 2;
}
