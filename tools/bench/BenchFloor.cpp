// bench_floor PROFILE FOLDER [--inflate]: the machine's floor for an
// installation of a benchmark payload (see BenchPayload.h): makes the same
// tree of the same bytes in FOLDER (which must not exist yet) with nothing
// but the file system's own calls, the bytes already in memory: every
// folder made once, then for each file CreateFileA, WriteFile in blocks of
// 64 KiB and CloseHandle, folder by folder. With --inflate every file is first deflated in
// memory as the kit builder does it (kept stored when deflate does not
// shrink it), and inflated with zlib from memory before it is written, so
// that decompression and file creation can be told apart.
//
// Prints one line, "<seconds> <files> <bytes>": the time from the first
// folder to the last file closed; making the payload in memory before it
// is not counted.
#include <windows.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "framework/ScopedHandle.h"
#include "tools/bench/BenchClock.h"
#include "tools/bench/BenchPayload.h"

namespace {

constexpr DWORD kBlock = 64 * 1024;

struct File {
  std::string path;  // below the root
  std::size_t size = 0;
  CPayloadGenerator::Bytes data;  // the bytes, or their zlib stream when deflated
  bool deflated = false;
};

bool Write(const std::string& path, const std::uint8_t* data, std::size_t size) {
  CHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  bool ok = true;
  for (std::size_t at = 0; ok && at < size;) {
    const DWORD block = static_cast<DWORD>(std::min<std::size_t>(kBlock, size - at));
    DWORD written = 0;
    ok = ::WriteFile(file.get(), data + at, block, &written, nullptr) && written == block;
    at += block;
  }
  // Closing belongs to making a file, and is timed with it.
  return ::CloseHandle(file.release()) && ok;
}

}  // namespace

int main(int argc, char** argv) {
  const bool inflate = argc == 4 && std::strcmp(argv[3], "--inflate") == 0;
  if (argc != 3 && !inflate) {
    std::fprintf(stderr, "usage: bench_floor big|medium|many|one|hugefiles|hugedata FOLDER [--inflate]\n");
    return 2;
  }
  const std::string root = argv[2];
  std::vector<std::string> folders;  // parents before their subfolders
  std::set<std::string> known;
  std::vector<File> files;
  const bool exists = ForEachPayloadFile(argv[1], [&](const CPayloadFile& payload) {
    for (std::size_t end = 0; end != std::string::npos;) {
      end = payload.folder.find('\\', end + 1);
      const std::string folder = payload.folder.substr(0, end);
      if (known.insert(folder).second) folders.push_back(root + "\\" + folder);
    }
    File file{payload.folder + "\\" + payload.name, payload.data.size(), payload.data, false};
    if (inflate) {
      uLongf size = compressBound(static_cast<uLong>(file.size));
      CPayloadGenerator::Bytes stream(size);
      if (compress2(stream.data(), &size, file.data.data(), static_cast<uLong>(file.size), Z_DEFAULT_COMPRESSION) ==
              Z_OK &&
          size < file.size) {
        stream.resize(size);
        file.data = std::move(stream);
        file.deflated = true;
      }
    }
    files.push_back(std::move(file));
  });
  if (!exists) {
    std::fprintf(stderr, "bench_floor: no payload %s\n", argv[1]);
    return 2;
  }
  // Folder by folder, as the kits list the files and the installers make
  // them.
  std::sort(files.begin(), files.end(), [](const File& a, const File& b) { return a.path < b.path; });

  CPayloadGenerator::Bytes inflated;
  std::size_t bytes = 0;
  const double start = Now();
  if (!::CreateDirectoryA(root.c_str(), nullptr)) {
    std::fprintf(stderr, "bench_floor: cannot create %s (it must not exist)\n", root.c_str());
    return 1;
  }
  for (const std::string& folder : folders) ::CreateDirectoryA(folder.c_str(), nullptr);
  for (const File& file : files) {
    const std::uint8_t* data = file.data.data();
    if (file.deflated) {
      inflated.resize(file.size);
      uLongf size = static_cast<uLongf>(file.size);
      if (uncompress(inflated.data(), &size, file.data.data(), static_cast<uLong>(file.data.size())) != Z_OK ||
          size != file.size) {
        std::fprintf(stderr, "bench_floor: cannot inflate %s\n", file.path.c_str());
        return 1;
      }
      data = inflated.data();
    }
    if (!Write(root + "\\" + file.path, data, file.size)) {
      std::fprintf(stderr, "bench_floor: cannot write %s\n", file.path.c_str());
      return 1;
    }
    bytes += file.size;
  }
  std::printf("%.3f %zu %zu\n", Now() - start, files.size(), bytes);
  return 0;
}
