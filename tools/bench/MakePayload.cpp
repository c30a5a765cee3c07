// bench_payload PROFILE FOLDER: writes the install benchmark's payload (see
// BenchPayload.h), the same files on every run, into FOLDER (which must not
// exist yet).
#include <windows.h>

#include <cstdio>
#include <set>
#include <string>

#include "tools/bench/BenchPayload.h"

namespace {

bool WriteWhole(const std::string& path, const CPayloadGenerator::Bytes& data) {
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = ::WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
  ::CloseHandle(file);
  return ok && written == data.size();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: bench_payload big|medium|many|one|huge FOLDER\n");
    return 2;
  }
  const std::string root = argv[2];
  if (!::CreateDirectoryA(root.c_str(), nullptr)) {
    std::fprintf(stderr, "bench_payload: cannot create %s (it must not exist)\n", root.c_str());
    return 1;
  }
  std::set<std::string> folders;
  std::size_t files = 0, total = 0;
  bool failed = false;
  const bool known = ForEachPayloadFile(argv[1], [&](const CPayloadFile& file) {
    if (failed) return;
    // The folder and its parents, each made once.
    for (std::size_t end = 0; end != std::string::npos;) {
      end = file.folder.find('\\', end + 1);
      const std::string folder = root + "\\" + file.folder.substr(0, end);
      if (folders.insert(folder).second) ::CreateDirectoryA(folder.c_str(), nullptr);
    }
    const std::string path = root + "\\" + file.folder + "\\" + file.name;
    if (!WriteWhole(path, file.data)) {
      std::fprintf(stderr, "bench_payload: cannot write %s\n", path.c_str());
      failed = true;
    }
    ++files;
    total += file.data.size();
  });
  if (!known) {
    std::fprintf(stderr, "bench_payload: no payload %s\n", argv[1]);
    return 2;
  }
  if (failed) return 1;
  std::printf("bench_payload: %s: %zu files, %zu bytes\n", argv[1], files, total);
  return 0;
}
