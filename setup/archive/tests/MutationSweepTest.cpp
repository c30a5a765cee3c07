// Feeds thousands of damaged archives to the reader. Whatever the damage,
// the reader may only end with one of its typed exceptions (or succeed,
// when the damage hit nothing that is checked), never crash, hang or write
// outside the folder it extracts into.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "ArchiveBytes.h"
#include "framework/MemFile.h"
#include "framework/ScopedHandle.h"
#include "setup/archive/MediaReader.h"
#include "setup/archive/Crc.h"
#include "setup/archive/MediaFileName.h"
#include "setup/archive/MultiFileException.h"
#include "setup/archive/ZLibException.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestFiles.h"

namespace {

using archive_bytes::Bytes;
using archive_bytes::Member;

class TwoDisketteDrive : public CSourceMedia {
public:
  explicit TwoDisketteDrive(const TempDir& dir) : dir_(dir) { SetSourceDir(dir / "disk1"); }

protected:
  bool PromptForDiskette(const CPathName& expected, int n) override {
    SetSourceDir(dir_ / ("disk" + std::to_string(n)));
    return GetSourcePath(expected.GetFileName()).Exists();
  }

private:
  const TempDir& dir_;
};

// The ways a part is damaged; each iteration applies one or two.
void Damage(std::mt19937& random, Bytes& part, std::string& what) {
  if (part.empty()) return;
  auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
  // Entry header fields worth hitting hard: sizes, checksum, method,
  // destination, attributes, continued flag, name.
  static const std::size_t fields[] = {276, 280, 284, 292, 300, 302, 304, 16, 17};
  static const std::uint32_t values[] = {0, 1, 345, 346, 4095, 4096, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
  switch (random() % 5) {
    case 0: {  // flip one byte anywhere
      const std::size_t at = pick(part.size());
      part[at] ^= static_cast<std::uint8_t>(1 + random() % 255);
      what += " flip@" + std::to_string(at);
      break;
    }
    case 1: {  // cut the part short
      const std::size_t size = pick(part.size());
      part.resize(size);
      what += " cut@" + std::to_string(size);
      break;
    }
    case 2:
    case 3: {  // an extreme value in a field of the first entry header
      const std::size_t at = 8 + fields[pick(std::size(fields))];
      if (at + 4 > part.size()) break;
      archive_bytes::Put32(part, at, values[pick(std::size(values))]);
      what += " field@" + std::to_string(at);
      break;
    }
    default: {  // a burst of random bytes
      const std::size_t at = pick(part.size());
      for (std::size_t i = at; i < std::min(part.size(), at + 16); ++i) part[i] = static_cast<std::uint8_t>(random());
      what += " burst@" + std::to_string(at);
      break;
    }
  }
}


// Puts bytes into an existing file without truncating it to zero first
// (rewriting a file from nothing is slow on some file systems, and the
// sweep rewrites thousands of times).
void Overwrite(const std::string& path, const Bytes& bytes) {
  CHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(file.valid()) << path;
  DWORD written = 0;
  if (!bytes.empty()) ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::SetEndOfFile(file.get());
}

Bytes SweepArchive() {
  std::string text;
  for (int i = 0; text.size() < 3000; ++i) text += "row " + std::to_string(i * 37 % 101) + "; ";
  Member a{"a.txt", text};
  Member b{"sub\\b.bin", std::string(700, '\x5A'), 2};
  b.continued = 1;
  Member c{"c.txt", ""};
  Member d{"d.dat", "dddd", 2};
  d.destination = -1;
  Member e{"e.txt", text.substr(100, 900)};
  return archive_bytes::Archive({a, b, c, d, e});
}

// Runs f and sorts its end: true when it ran through, false on a typed
// error; anything else fails the test with what was done to the archive.
template <class F>
bool EndsTyped(F&& f, int iteration, const std::string& what) {
  try {
    f();
    return true;
  } catch (CMultiFileException&) {
  } catch (CZLibException&) {
  } catch (CFileException&) {
  } catch (CUserException&) {
  } catch (CException& e) {
    ADD_FAILURE() << "iteration " << iteration << what << ": " << e.GetRuntimeClassName();
  } catch (std::exception& e) {
    ADD_FAILURE() << "iteration " << iteration << what << ": " << e.what();
  }
  return false;
}

}  // namespace

// Walks thousands of damaged one-part archives: every entry header is read
// and every member's data goes through its codec and the checksum test,
// into memory.
TEST(MutationSweep, WalkingDamagedArchivesOnlyEverGivesTypedErrors) {
  TempDir dir;
  const Bytes good = SweepArchive();
  const std::string path = dir / "velt.ar1";
  std::mt19937 random(20240607);
  int clean = 0;
  constexpr int kIterations = 2000;
  Bytes onDisk;
  for (int i = 0; i < kIterations; ++i) {
    std::vector<Bytes> parts{good};
    std::string what;
    for (int h = 1 + static_cast<int>(random() % 2); h > 0; --h) Damage(random, parts[0], what);
    if (parts[0] != onDisk || i == 0) Overwrite(path, onDisk = parts[0]);

    clean += EndsTyped(
        [&] {
          CArchiveReader reader;
          reader.OpenArchive(CPathName(path));
          auto member = reader.CreateMemberFile();
          while (reader.NextEntry(*member, i % 2 == 1)) {
            const CEntryHeader& h = member->GetHeader();
            if (h.GetDestination() == -1) continue;
            auto codec = reader.CreateCodec(h.GetMethod(), h.GetMethodParameter());
            if (!codec) throw CMultiFileException(CMultiFileException::unknownMethod);
            CMemFile sink;
            codec->TransferSized(reader, sink, h.GetCompressedSize(), h.GetSize());
            // Never more than the header allows: a stored member copies its
            // stored bytes, a deflated one stops at its size.
            ASSERT_LE(sink.GetLength(), h.GetMethod() == 2 ? h.GetCompressedSize() : h.GetSize());
            const auto& data = sink.GetData();
            if (h.GetChecksum() != 0 && h.GetChecksum() != Crc(0, data.data(), data.size()))
              throw CMultiFileException(CMultiFileException::crcMismatch);
          }
        },
        i, what);
  }
  EXPECT_LT(clean, kIterations / 2);  // the damage mostly lands somewhere checked
  EXPECT_EQ(std::vector<std::string>{"velt.ar1"}, ListFolder(dir.path()));
}

// Extracts hundreds of damaged two-part archives to files, the way the
// setup program does, with the diskette change in between.
TEST(MutationSweep, ExtractingDamagedSplitArchivesOnlyEverGivesTypedErrors) {
  TempDir dir;
  const std::string out = dir / "out";
  for (const char* d : {"out", "disk1", "disk2"}) ::CreateDirectoryA((dir / d).c_str(), nullptr);
  const Bytes archive = SweepArchive();
  // Cut inside b, whose data starts after a's header, data and b's header.
  const std::size_t aData = archive_bytes::LoadU32(archive.data() + 8 + 280);
  const std::vector<Bytes> good = archive_bytes::Split(archive, {346 + aData + 346 + 300});

  std::mt19937 random(19960101);
  constexpr int kIterations = 200;
  std::vector<Bytes> onDisk(2);
  for (int i = 0; i < kIterations; ++i) {
    std::vector<Bytes> parts = good;
    std::string what;
    for (int h = 1 + static_cast<int>(random() % 2); h > 0; --h) Damage(random, parts[random() % 2], what);
    for (int p = 0; p < 2; ++p) {
      if (parts[p] != onDisk[p] || i == 0) {
        Overwrite(dir / ("disk" + std::to_string(p + 1) + "\\velt.ar" + std::to_string(p + 1)), onDisk[p] = parts[p]);
      }
    }
    // Fresh output names each time: truncating last round's files is slow.
    const std::string prefix = std::to_string(i) + "_";
    EndsTyped(
        [&] {
          TwoDisketteDrive drive(dir);
          CMediaReader entry(drive, "velt.ar1", 1);
          entry.OpenArchive(entry.GetSourcePath());
          auto member = entry.CreateMemberFile();
          while (entry.NextEntry(*member)) {
            if (member->GetHeader().GetDestination() == -1) continue;
            member->SetOutputPath(CPathName(out + "\\" + prefix + FileNamePart(member->GetMemberName())));
            entry.Extract(*member);
          }
        },
        i, what);
  }
  EXPECT_EQ((std::vector<std::string>{"disk1", "disk2", "out"}), ListFolder(dir.path()));
  EXPECT_EQ(std::vector<std::string>{"velt.ar1"}, ListFolder(dir / "disk1"));
  EXPECT_EQ(std::vector<std::string>{"velt.ar2"}, ListFolder(dir / "disk2"));
}
