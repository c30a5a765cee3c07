// archive_bench: how much the archive classes cost over zlib alone, on one
// set of data of mixed compressibility (64 MiB in 200 files of varied sizes:
// about half text, a quarter structured binary records, a quarter random
// bytes):
//  - extraction through CArchiveReader and CInflateCodec to files, against
//    zlib's uncompress of the same streams in memory plus writing the same
//    files (budget: 1.25 times);
//  - extraction in memory (reader, codec and checksum, the output dropped),
//    against raw zlib inflate of the same streams from memory, one call per
//    stream: the codec's limit (target: at least 0.8 of its throughput);
//  - what the kit's seal costs the setup program: the SHA-256 of the
//    payload from memory (a plain file is digested as it is copied) and the
//    walk over the archive's entry headers, each against the extraction;
//  - building a kit with mkkit's builder, against zlib's compress2 at the
//    same level plus writing the streams (budget: 1.2 times).
// Both sides read their input from the same files. Each figure is the
// best of a few runs. Exit code 1 when a ratio misses its budget.
#include <windows.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "framework/StdioFile.h"
#include "setup/archive/ArchiveReader.h"
#include "setup/archive/Crc.h"
#include "setup/archive/PartHeaders.h"
#include "setup/archive/Sha256.h"
#include "tools/bench/BenchClock.h"
#include "tools/bench/BenchFolder.h"
#include "tools/bench/PayloadGenerator.h"
#include "tools/mkkit/KitBuilder.h"
#include "tools/mkkit/KitDescription.h"

namespace {

constexpr int kFiles = 200;
constexpr std::size_t kPayloadSize = 64u << 20;
constexpr int kBuildRuns = 3;
constexpr int kExtractRuns = 5;

using Bytes = CPayloadGenerator::Bytes;

void WriteWhole(const std::string& path, const void* data, std::size_t size) {
  CStdioFile file(path, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
  file.Write(data, static_cast<UINT>(size));
  file.Close();
}

Bytes ReadWhole(const std::string& path) {
  CStdioFile file(path, CFile::modeRead | CFile::typeBinary);
  Bytes data(static_cast<std::size_t>(file.GetLength()));
  file.Read(data.data(), static_cast<UINT>(data.size()));
  return data;
}

struct Source {
  std::string name;
  std::string path;
  std::size_t size;
};

// zlib alone: read each file, compress2 at the default level, write all
// streams into one file. Returns the streams.
std::vector<Bytes> CompressBaseline(const std::vector<Source>& sources, const std::string& out) {
  std::vector<Bytes> streams;
  CStdioFile file(out, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
  for (const Source& s : sources) {
    const Bytes data = ReadWhole(s.path);
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    Bytes stream(size);
    if (compress2(stream.data(), &size, data.data(), static_cast<uLong>(data.size()), Z_DEFAULT_COMPRESSION) != Z_OK) {
      throw std::runtime_error("compress2 failed");
    }
    stream.resize(size);
    file.Write(stream.data(), static_cast<UINT>(stream.size()));
    streams.push_back(std::move(stream));
  }
  file.Close();
  return streams;
}

// zlib alone: uncompress each stream from memory and write it to its file.
void ExtractBaseline(const std::vector<Source>& sources, const std::vector<Bytes>& streams, const std::string& dir) {
  Bytes data;
  for (std::size_t i = 0; i < sources.size(); ++i) {
    data.resize(sources[i].size);
    uLongf size = static_cast<uLongf>(data.size());
    if (uncompress(data.data(), &size, streams[i].data(), static_cast<uLong>(streams[i].size())) != Z_OK) {
      throw std::runtime_error("uncompress failed");
    }
    WriteWhole(dir + "\\" + sources[i].name, data.data(), size);
  }
}

void ExtractWithReader(const std::string& archive, const std::string& dir) {
  CArchiveReader reader;
  reader.OpenArchive(CPathName(archive));
  auto member = reader.CreateMemberFile();
  while (reader.NextEntry(*member)) {
    member->SetOutputPath(CPathName(dir + "\\" + member->GetMemberName()));
    reader.Extract(*member);
  }
}

// A file that keeps only the checksum of what is written to it, so that the
// reader's and codec's own cost can be told from the file system's.
class CChecksumSink : public CFile {
public:
  bool IsOpen() const override { return true; }
  void Write(const void* data, UINT count) override { crc_ = Crc(crc_, data, count); }

private:
  std::uint32_t crc_ = 0;
};

void ExtractToMemory(const std::string& archive) {
  CArchiveReader reader;
  reader.OpenArchive(CPathName(archive));
  auto member = reader.CreateMemberFile();
  while (reader.NextEntry(*member)) {
    auto codec = reader.CreateCodec(member->GetHeader().GetMethod(), 0);
    CChecksumSink sink;
    codec->TransferSized(reader, sink, member->GetHeader().GetCompressedSize(), member->GetHeader().GetSize());
  }
}

// Raw inflate: each stream from memory into a buffer of its whole size in
// one call, nothing around it.
void InflateOnly(const std::vector<Source>& sources, const std::vector<Bytes>& streams) {
  Bytes data;
  for (std::size_t i = 0; i < sources.size(); ++i) {
    data.resize(sources[i].size);
    z_stream stream{};
    stream.next_in = const_cast<Bytef*>(streams[i].data());
    stream.avail_in = static_cast<uInt>(streams[i].size());
    stream.next_out = data.data();
    stream.avail_out = static_cast<uInt>(data.size());
    if (inflateInit(&stream) != Z_OK) throw std::runtime_error("inflateInit failed");
    const int result = inflate(&stream, Z_FINISH);
    inflateEnd(&stream);
    if (result != Z_STREAM_END) throw std::runtime_error("inflate failed");
  }
}

double MiBPerSecond(double seconds) { return static_cast<double>(kPayloadSize) / (1024.0 * 1024.0) / seconds; }

void BuildKit(const std::string& description, const std::string& out) {
  CKitDescription d;
  d.Load(description, {});
  KitBuildOptions options;
  options.outputDir = out;
  options.allowMissingSetup = true;
  CKitBuilder(d, options).Build();
}

int Run() {
  const CBenchFolder dir("veltbench");
  CPayloadGenerator payload(1996);
  std::vector<Source> sources;
  std::vector<Bytes> contents;
  std::string files = "[files.Data]\r\n";
  const std::vector<std::size_t> sizes = payload.SplitSizes(kFiles, kPayloadSize);
  for (int i = 0; i < kFiles; ++i) {
    const CPayloadGenerator::Kind kind = CPayloadGenerator::KindOf(i);
    const Bytes data = payload.Make(kind, sizes[static_cast<std::size_t>(i)]);
    const std::string name = std::string(CPayloadGenerator::KindName(kind)) + std::to_string(i) + ".dat";
    WriteWhole(dir / name, data.data(), data.size());
    sources.push_back(Source{name, dir / name, data.size()});
    contents.push_back(data);
    files += name + "=" + name + "|0|bench.ar1\r\n";
  }
  const std::string description = dir / "bench.ini";
  {
    const std::string text = "[kit]\r\nmedia=flat\r\nmethod=deflate\r\n[destinations]\r\n0=Bench||C:\\Bench\r\n"
                             "[groups]\r\nData=Data||1|1|1\r\n" + files;
    WriteWhole(description, text.data(), text.size());
  }
  std::printf("archive_bench: %.1f MiB in %zu files (about half text, a quarter structured records, a quarter random bytes)\n",
              static_cast<double>(kPayloadSize) / (1024.0 * 1024.0), sources.size());

  double build = 1e9, compress = 1e9;
  std::vector<Bytes> streams;
  for (int run = 0; run < kBuildRuns; ++run) {
    const std::string n = std::to_string(run);
    double t = Now();
    streams = CompressBaseline(sources, dir / ("zlib" + n + ".bin"));
    compress = std::min(compress, Now() - t);
    t = Now();
    BuildKit(description, dir / ("kit" + n));
    build = std::min(build, Now() - t);
  }

  const std::string archive = dir / "kit0\\bench.ar1";
  double extract = 1e9, uncompressTime = 1e9, inMemory = 1e9, inflateTime = 1e9;
  for (int run = 0; run < kExtractRuns; ++run) {
    // Each side writes into a new empty folder.
    for (const char* side : {"x", "z"}) {
      DeleteTree(dir / side);
      ::CreateDirectoryA((dir / side).c_str(), nullptr);
    }
    double t = Now();
    ExtractBaseline(sources, streams, dir / "z");
    uncompressTime = std::min(uncompressTime, Now() - t);
    t = Now();
    ExtractWithReader(archive, dir / "x");
    extract = std::min(extract, Now() - t);
    t = Now();
    ExtractToMemory(archive);
    inMemory = std::min(inMemory, Now() - t);
    t = Now();
    InflateOnly(sources, streams);
    inflateTime = std::min(inflateTime, Now() - t);
    if (run == 0) {
      for (const Source& s : sources) {
        if (ReadWhole(dir / "x\\" + s.name) != ReadWhole(s.path)) throw std::runtime_error("extraction differs: " + s.name);
      }
    }
  }

  // What the kit's seal costs the setup program: the SHA-256 of a plain
  // file as its bytes stream through (here of the whole payload, from
  // memory), and the walk over an archive part's entry headers before its
  // first member is extracted.
  double sha = 1e9, walk = 1e9;
  for (int run = 0; run < kExtractRuns; ++run) {
    double t = Now();
    CSha256 digest;
    for (const Bytes& data : contents) {
      digest.Update(data.data(), data.size());
      digest.FinishHex();
    }
    sha = std::min(sha, Now() - t);
    t = Now();
    CCountedFile part;
    part.OpenRead(CPathName(archive));
    WalkPartHeaders(part, 0);
    walk = std::min(walk, Now() - t);
  }

  const double extractRatio = extract / uncompressTime, buildRatio = build / compress;
  const double inflateShare = inflateTime / inMemory;  // throughput of extraction / throughput of inflate
  std::printf("extraction: CArchiveReader + CInflateCodec %.3f s, zlib uncompress + write %.3f s: ratio %.2f (budget 1.25) %s\n",
              extract, uncompressTime, extractRatio, extractRatio <= 1.25 ? "ok" : "OVER");
  std::printf("in memory:  reader + codec + checksum %.3f s (%.0f MiB/s), raw zlib inflate %.3f s (%.0f MiB/s)\n",
              inMemory, MiBPerSecond(inMemory), inflateTime, MiBPerSecond(inflateTime));
  std::printf("            extraction (reader + codec + checksum, in memory) / raw zlib inflate: %.2f (target at least 0.80) %s\n",
              inflateShare, inflateShare >= 0.8 ? "ok" : "UNDER");
  std::printf("seal:       SHA-256 %.3f s (%.0f MiB/s), %.2f of the extraction to files; the walk over the archive's "
              "%zu entry headers %.4f s, %.4f of it\n",
              sha, MiBPerSecond(sha), sha / extract, sources.size(), walk, walk / extract);
  std::printf("building:   mkkit builder %.3f s, zlib compress2 + write %.3f s: ratio %.2f (budget 1.20) %s\n", build,
              compress, buildRatio, buildRatio <= 1.2 ? "ok" : "OVER");
  return extractRatio <= 1.25 && inflateShare >= 0.8 && buildRatio <= 1.2 ? 0 : 1;
}

}  // namespace

int main() {
  try {
    return Run();
  } catch (CException& e) {
    std::fprintf(stderr, "archive_bench: %s\n", e.GetErrorMessage().c_str());
  } catch (std::exception& e) {
    std::fprintf(stderr, "archive_bench: %s\n", e.what());
  }
  return 2;
}
