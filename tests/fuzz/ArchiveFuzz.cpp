// The archive reader on damaged archives of a kit that mkkit built: the
// part header, every entry header, every member's data through its codec
// (inflate or stored) and the checksum, and the change to the next part,
// extracted to files as the setup program extracts them. Without the seal
// a damaged archive must end in a typed error or extract what its headers
// say; with the seal, nothing that differs from the sealed bytes may be
// taken at all.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "SeedKit.h"
#include "framework/ScopedHandle.h"
#include "setup/archive/KitSealException.h"
#include "setup/archive/KitSealFile.h"
#include "setup/archive/MediaReader.h"
#include "setup/archive/MultiFileException.h"
#include "setup/archive/ZLibException.h"
#include "FuzzTarget.h"
#include "tests/support/TempDir.h"

namespace {

using fuzz::Bytes;

// Puts bytes into an existing file without truncating it to nothing first:
// the targets rewrite their input thousands of times.
void Overwrite(const std::string& path, const Bytes& bytes) {
  CHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) throw std::runtime_error("cannot write " + path);
  DWORD written = 0;
  if (!bytes.empty()) ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::SetEndOfFile(file.get());
}

// The archives of the seed kit: for each, its parts in order with the
// folder each lies in.
struct ArchiveParts {
  std::vector<std::string> folders;
  std::vector<std::string> names;
};

ArchiveParts PartsOf(const SeedKit& kit, const std::string& firstPart) {
  ArchiveParts parts;
  std::string name = firstPart;
  for (const std::string& folder : ListFolder(kit.Out(""))) {
    if (folder.rfind("DISK", 0) != 0) continue;
    if (::GetFileAttributesA(kit.Out(folder + "\\" + name).c_str()) == INVALID_FILE_ATTRIBUTES) continue;
    parts.folders.push_back(folder);
    parts.names.push_back(name);
    name.back() = static_cast<char>(name.back() + 1);
  }
  return parts;
}

// A copy of the kit's media in a folder of its own, whose part files the
// mutants replace, and the folder the members are extracted into. Nothing
// may appear anywhere else in it.
class ArchiveSandbox {
public:
  explicit ArchiveSandbox(const SeedKit& kit) : kit_(kit) {
    for (const char* folder : {"DISK01", "DISK02", "DISK03", "out"}) ::CreateDirectoryA((box_ / folder).c_str(), nullptr);
    for (const std::string& folder : ListFolder(kit.Out(""))) {
      if (folder.rfind("DISK", 0) != 0) continue;
      for (const std::string& file : ListFolder(kit.Out(folder))) {
        ::CopyFileA(kit.Out(folder + "\\" + file).c_str(), (box_ / (folder + "\\" + file)).c_str(), FALSE);
      }
    }
    layout_ = Layout();
  }

  // Restores every file a mutant may have replaced.
  void Restore(const std::string& folder, const std::string& name) {
    Overwrite(box_ / (folder + "\\" + name), kit_.BytesOf(folder + "\\" + name));
  }
  void Put(const std::string& folder, const std::string& name, const Bytes& bytes) {
    Overwrite(box_ / (folder + "\\" + name), bytes);
  }

  // Extracts every member of the archive whose first part is name, as the
  // setup program does: members not installed are passed over, each other
  // one goes to a file of out. With sealed, the media carry the kit's seal.
  fuzz::Outcome Extract(const std::string& name, bool sealed) {
    try {
      CSourceMedia media(CPathName(box_ / "DISK01\\"));
      if (sealed) media.SetSeal(ReadKitSealBeside(CPathName(box_ / "DISK01\\_setupx.ini")));
      CMediaReader reader(media, name, 1);
      reader.OpenArchive(reader.GetSourcePath());
      auto member = reader.CreateMemberFile();
      for (int n = 0; reader.NextEntry(*member); ++n) {
        const CEntryHeader& header = member->GetHeader();
        if (header.GetDestination() == -1) continue;
        const std::string out = box_ / ("out\\" + std::to_string(n));
        member->SetOutputPath(CPathName(out));
        reader.Extract(*member);
        // Never more than the header allows: a stored member copies its
        // stored bytes, a deflated one stops at its size.
        const std::uint64_t size = ReadFileBytes(out).size();
        fuzz::Check(size <= (header.GetMethod() == 2 ? header.GetCompressedSize() : header.GetSize()),
                    "member " + std::to_string(n) + " extracted to " + std::to_string(size) + " bytes");
      }
      return fuzz::Outcome::taken;
    } catch (const CMultiFileException&) {
    } catch (const CZLibException&) {
    } catch (const CKitSealException&) {
    } catch (const CFileException&) {
    } catch (const CUserException&) {
    }
    return fuzz::Outcome::refused;
  }

  // Only the media's and the extraction's folders, holding only what the
  // kit and the extractions put there.
  void CheckNothingElseWritten() const {
    fuzz::Check(ListFolder(box_.path()) == std::vector<std::string>({"DISK01", "DISK02", "DISK03", "out"}),
                "something was written beside the media");
    fuzz::Check(ListFolder(box_ / "DISK01") == layout_[0] && ListFolder(box_ / "DISK02") == layout_[1] &&
                    ListFolder(box_ / "DISK03") == layout_[2],
                "something was written into the media's folders");
    for (const std::string& name : ListFolder(box_ / "out")) {
      fuzz::Check(name.find_first_not_of("0123456789") == std::string::npos, "out\\" + name + " was written");
    }
  }

private:
  std::vector<std::vector<std::string>> Layout() const {
    return {ListFolder(box_ / "DISK01"), ListFolder(box_ / "DISK02"), ListFolder(box_ / "DISK03")};
  }

  const SeedKit& kit_;
  TempDir box_;
  std::vector<std::vector<std::string>> layout_;
};

// Bytes 4 to 7 of a part header are not read by anyone: a part that
// differs only there is the part that was sealed.
bool SameButForThePartHeadersFreeBytes(const Bytes& a, const Bytes& b) {
  if (a.size() != b.size() || a.size() < 8) return a == b;
  return std::equal(a.begin(), a.begin() + 4, b.begin()) && std::equal(a.begin() + 8, a.end(), b.begin() + 8);
}

const std::vector<std::string> kArchiveTokens = {"mflh", "mfen", std::string("\x01\x00\x5A\x01", 4),
                                                 std::string("\x02\x00\x00\x00", 4), std::string("\x04\x00\x00\x00", 4),
                                                 std::string("\xFD\xFF", 2), std::string("\xFE\xFF", 2),
                                                 std::string("\x01\x00", 2), "..\\..\\", "C:\\WINDOWS\\", "CON",
                                                 std::string("\x78\x9C", 2), std::string(346, '\0')};

class ArchiveFuzz : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(kit.built);
    main = PartsOf(kit, "main.ar1");
    data = PartsOf(kit, "data.ar1");
    ASSERT_EQ(1u, main.names.size()) << "main.ar1 fits its folder";
    ASSERT_GE(data.names.size(), 2u) << "data.ar1 goes on into the next folder";
  }

  // Mutants of part `part` of archive, the other parts as mkkit wrote them.
  fuzz::Result Run(const ArchiveParts& archive, std::size_t part, bool sealed, std::uint64_t iterations) {
    fuzz::Corpus corpus{{kit.BytesOf(archive.folders[part] + "\\" + archive.names[part])}, kArchiveTokens};
    const fuzz::Options options =
        TargetOptions("archive." + archive.names[part] + (sealed ? ".sealed" : ""), iterations);
    const Bytes original = corpus.inputs[0];
    std::uint64_t n = 0;
    fuzz::Result result = fuzz::Run(
        corpus,
        [&](const Bytes& input) {
          box.Put(archive.folders[part], archive.names[part], input);
          const fuzz::Outcome outcome = box.Extract(archive.names[0], sealed);
          if (sealed) {
            fuzz::Check(outcome == fuzz::Outcome::refused || SameButForThePartHeadersFreeBytes(input, original),
                        "a damaged part was taken");
          }
          if (++n % 64 == 0) box.CheckNothingElseWritten();
          return outcome;
        },
        options);
    box.Restore(archive.folders[part], archive.names[part]);
    box.CheckNothingElseWritten();
    return result;
  }

  SeedKit kit;
  ArchiveParts main, data;
  ArchiveSandbox box{kit};
};

TEST_F(ArchiveFuzz, DamagedArchivesEndInTypedErrorsOrWhatTheirHeadersSay) {
  const fuzz::Result result = Run(main, 0, false, 3000);
  EXPECT_TRUE(result.failures.empty()) << ::testing::PrintToString(result.failures);
  EXPECT_GT(result.refused, result.inputs / 4) << "the damage mostly lands somewhere checked";
}

TEST_F(ArchiveFuzz, DamagedContinuationPartsEndInTypedErrors) {
  const fuzz::Result result = Run(data, 1, false, 1000);
  EXPECT_TRUE(result.failures.empty()) << ::testing::PrintToString(result.failures);
}

TEST_F(ArchiveFuzz, WithTheSealNothingDamagedIsTaken) {
  for (const ArchiveParts* archive : {&main, &data}) {
    const fuzz::Result result = Run(*archive, 0, true, 500);
    EXPECT_TRUE(result.failures.empty()) << ::testing::PrintToString(result.failures);
  }
}

}  // namespace
