// The fuzz engine itself: mutants are made again from their seed and
// number alone, and the loop reports what the targets rely on it for.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/FuzzRun.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestFiles.h"

namespace {

using fuzz::Bytes;

const fuzz::Corpus kCorpus{{fuzz::ToBytes("[groups]\r\nMain=Main files||1|1|1\r\n"), fuzz::ToBytes(std::string(64, 'a'))},
                           {"=", "|", "\r\n"},
                           true};

TEST(FuzzEngineTest, AMutantIsMadeAgainFromItsSeedAndNumberAlone) {
  const fuzz::CMutator mutator(kCorpus, 42, 4096);
  std::vector<Bytes> forward;
  for (std::uint64_t n = 0; n < 500; ++n) forward.push_back(mutator.Make(n));
  const fuzz::CMutator again(kCorpus, 42, 4096);
  int unchanged = 0;
  for (std::uint64_t n = 500; n-- > 0;) {
    std::string recipe;
    EXPECT_EQ(forward[n], again.Make(n, &recipe)) << "mutant " << n;
    EXPECT_FALSE(recipe.empty());
    EXPECT_LE(forward[n].size(), 4096u);
    unchanged += forward[n] == kCorpus.inputs[0] || forward[n] == kCorpus.inputs[1];
  }
  EXPECT_LT(unchanged, 25) << "nearly every mutant differs from its input";
  const fuzz::CMutator other(kCorpus, 43, 4096);
  int same = 0;
  for (std::uint64_t n = 0; n < 100; ++n) same += other.Make(n) == forward[n];
  EXPECT_LT(same, 10) << "another seed gives other mutants";
}

class FuzzRunTest : public ::testing::Test {
protected:
  void SetUp() override { ::SetEnvironmentVariableA("FUZZ_FAILURES", (dir / "failures").c_str()); }
  void TearDown() override { ::SetEnvironmentVariableA("FUZZ_FAILURES", nullptr); }

  fuzz::Options Options(std::uint64_t iterations) const {
    fuzz::Options options;
    options.reader = "test";
    options.iterations = iterations;
    options.seed = 5;
    return options;
  }

  TempDir dir;
};

TEST_F(FuzzRunTest, AFailingMutantIsReportedBySeedAndNumberAndWrittenToAFile) {
  const fuzz::Result result = fuzz::Run(
      kCorpus,
      [](const Bytes& input) {
        fuzz::Check(std::count(input.begin(), input.end(), '|') <= 4, "more than four bars");
        return fuzz::Outcome::taken;
      },
      Options(2000));
  ASSERT_FALSE(result.failures.empty());
  const std::string& line = result.failures[0];
  const std::size_t at = line.find("seed 5 mutant ");
  ASSERT_NE(std::string::npos, at) << line;
  const std::uint64_t n = std::stoull(line.substr(at + 14));
  EXPECT_NE(std::string::npos, line.find("wrong result: more than four bars")) << line;
  EXPECT_EQ(fuzz::ToText(fuzz::CMutator(kCorpus, 5).Make(n)), ReadFileBytes(dir / ("failures\\test-5-" + std::to_string(n) + ".bin")));
}

TEST_F(FuzzRunTest, AValidInputRefusedAnUntypedErrorAndAReplayedFailureEachFailTheRun) {
  const auto refuseTheFirst = [](const Bytes& input) {
    return input.size() == kCorpus.inputs[0].size() ? fuzz::Outcome::refused : fuzz::Outcome::taken;
  };
  EXPECT_FALSE(fuzz::Run(kCorpus, refuseTheFirst, Options(10)).failures.empty()) << "a valid input refused";

  const auto throwsUntyped = [](const Bytes&) -> fuzz::Outcome { throw std::runtime_error("out of range"); };
  EXPECT_NE(std::string::npos, fuzz::Replay("row", kCorpus.inputs[0], throwsUntyped).find("out of range"));

  fuzz::Options options = Options(10);
  options.regressions = dir / "rows";
  ::CreateDirectoryA(options.regressions.c_str(), nullptr);
  WriteFileBytes(options.regressions + "\\once.bin", "boom");
  const fuzz::Result result = fuzz::Run(
      kCorpus,
      [](const Bytes& input) {
        fuzz::Check(fuzz::ToText(input) != "boom", "the input that once failed");
        return fuzz::Outcome::taken;
      },
      options);
  ASSERT_EQ(1u, result.failures.size());
  EXPECT_NE(std::string::npos, result.failures[0].find("regression once.bin")) << result.failures[0];
  EXPECT_EQ(1u, result.regressions);
}

TEST_F(FuzzRunTest, MemoryThatGrowsFromInputToInputFailsTheRun) {
  std::vector<void*> kept;
  const fuzz::Result result = fuzz::Run(
      kCorpus,
      [&](const Bytes&) {
        kept.push_back(::VirtualAlloc(nullptr, 64 << 10, MEM_COMMIT, PAGE_READWRITE));
        return fuzz::Outcome::taken;
      },
      Options(1000));
  for (void* block : kept) ::VirtualFree(block, 0, MEM_RELEASE);
  ASSERT_EQ(1u, result.failures.size());
  EXPECT_NE(std::string::npos, result.failures[0].find("private memory grew")) << result.failures[0];
}

}  // namespace
