// mkkit's reader of kit descriptions on damaged copies of a description it
// builds a kit from: the INI text alone, and the whole description with its
// checks. A damaged description is refused with mkkit's own error (bad
// input, naming a line of the file), or it describes a kit whose profile
// the setup program can take: every destination resolves, every file goes
// into a destination that exists.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "SeedKit.h"
#include "FuzzTarget.h"
#include "tools/mkkit/IniDocument.h"
#include "tools/mkkit/KitException.h"

namespace {

using fuzz::Bytes;

const std::vector<std::string> kDescriptionTokens = {
    "[kit]\r\n", "[destinations]\r\n", "[groups]\r\n", "[targets]\r\n", "[diskettes]\r\n", "[files.Main]\r\n",
    "[cd]\r\n", "[cd.buttons]\r\n", "media=", "capacity=", "cluster=", "setup=", "setupgroup=", "=", "|", "||", "\r\n",
    "\n", ";", "#", "[", "]", "${", "}", "-1", "-2", "-3", "-5", "0", "99", "65536", "4294967296", "..\\", "CON",
    std::string(300, 'x'), "\x1A"};

// What a description that was taken promises the setup program.
void CheckTaken(const CKitDescription& d) {
  for (const KitDestination& dest : d.destinations) {
    std::set<int> seen;
    const KitDestination* at = &dest;
    while (at->parent != -1 && !(at->parent >= -4 && at->parent <= -2)) {
      fuzz::Check(seen.insert(at->id).second, "destination " + std::to_string(dest.id) + " has a circle of parents");
      const KitDestination* parent = nullptr;
      for (const KitDestination& p : d.destinations) {
        if (p.id == at->parent) parent = &p;
      }
      fuzz::Check(parent != nullptr, "destination " + std::to_string(at->id) + " has an unknown parent");
      at = parent;
    }
  }
  for (const KitFile& f : d.files) {
    fuzz::Check(d.IsKnownDestination(f.destination), f.name + " goes into the unknown destination " + std::to_string(f.destination));
  }
}

template <class Read>
fuzz::Outcome TakenOrBadInput(Read&& read) {
  try {
    read();
    return fuzz::Outcome::taken;
  } catch (const CKitException& e) {
    fuzz::Check(e.GetExitCode() == kExitBadInput, "exit code " + std::to_string(e.GetExitCode()) + ": " + e.GetErrorMessage());
    return fuzz::Outcome::refused;
  }
}

class KitDescriptionFuzz : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(kit.built);
    corpus = {{fuzz::ToBytes(ReadFileBytes(kit.description))}, kDescriptionTokens, true};
  }
  SeedKit kit;
  fuzz::Corpus corpus;
};

TEST_F(KitDescriptionFuzz, DamagedTextIsReadOrRefusedWithALine) {
  const fuzz::Options options = TargetOptions("kitdescription.ini", 2000);
  const fuzz::Result result = fuzz::Run(
      corpus,
      [](const Bytes& input) {
        return TakenOrBadInput([&] {
          CIniDocument document;
          document.Parse(fuzz::ToText(input), "kit.ini");
        });
      },
      options);
  EXPECT_TRUE(result.failures.empty()) << ::testing::PrintToString(result.failures);
}

TEST_F(KitDescriptionFuzz, DamagedDescriptionsAreRefusedOrDescribeAKitTheSetupProgramCanTake) {
  const fuzz::Options options = TargetOptions("kitdescription", 3000);
  const fuzz::Result result = fuzz::Run(
      corpus,
      [&](const Bytes& input) {
        WriteFileBytes(kit.description, input);
        return TakenOrBadInput([&] {
          CKitDescription d;
          d.Load(kit.description, {});
          CheckTaken(d);
        });
      },
      options);
  EXPECT_TRUE(result.failures.empty()) << ::testing::PrintToString(result.failures);
  EXPECT_GT(result.taken, 0u);
}

}  // namespace
