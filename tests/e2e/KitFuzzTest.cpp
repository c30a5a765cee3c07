// Damaged kits by the hundred, installed as a deployment installs them:
// the kit builder's kit (a CD folder with two archives, a plain file, the
// profile and the seal), one of its files replaced by a mutant of the fuzz
// engine, the real setup program started with /S and a verbose log. Each
// run must end by itself, with 1603 and a line of the verbose log that
// names the damage, or with 0 and every file of the product identical to
// its source where the profile puts it; nothing may be written anywhere
// else. The kit with its seal and the kit without (as an older kit builder
// or another writer makes them) each take their share of the mutants.
//
// Between runs the machine is put back: the installation directory, the
// install log and its journal, the registry entries and the shortcut go.
#include <algorithm>
#include <map>
#include <ostream>

#include "SetupFixture.h"
#include "tests/support/FuzzRun.h"

using namespace setup_e2e;

namespace {

// Lines of the verbose log that tell why a run failed; one of them must
// name the damaged file (or, for the profile, the profile itself).
const char* const kDamageWords[] = {"damaged", "seal", "Incomplete or missing profile", "Cannot install files from",
                                    "not an archive", "did not go on", "does not exist", "cannot be"};

bool NamesTheDamage(const std::string& log, const std::string& file) {
  std::size_t at = 0;
  while (at < log.size()) {
    const std::size_t end = std::min(log.find('\n', at), log.size());
    const std::string line = log.substr(at, end - at);
    at = end + 1;
    if (line.find(" started. Command line:") != std::string::npos || line.find("Mode: install") != std::string::npos) continue;
    bool damage = false;
    for (const char* word : kDamageWords) damage = damage || line.find(word) != std::string::npos;
    if (damage && line.find(file) != std::string::npos) return true;
  }
  return false;
}

class KitFuzzTest : public FreshMachineSetupTest, public ::testing::WithParamInterface<bool> {
protected:
  void SetUp() override {
    FreshMachineSetupTest::SetUp();
    kitDir = BuildKit(work, product, "cd", 2000000) + "\\DISK01";
    if (!GetParam()) {
      ASSERT_TRUE(::DeleteFileA((kitDir + "\\_kitseal.sha").c_str()));
    }
    for (const std::string& name : ListFolder(kitDir)) original[name] = ReadFileBytes(kitDir + "\\" + name);
  }

  // Puts the machine back as it was before the run.
  void Reset() {
    ClearTheInstallation(target);
    ShortcutGuard shortcut{kKitProgramGroup, "Veltrane Kit Test.lnk"};
    for (const std::string& stray : Strays()) ::DeleteFileA(stray.c_str());
  }

  // Files of the product where no profile of the kit puts them: in the
  // Windows and System directories.
  std::vector<std::string> Strays() const {
    std::vector<std::string> found;
    for (const std::string& folder : {WindowsDirectory(), WindowsSystemDirectory()}) {
      for (const ProductFile& file : product) {
        const std::string path = folder + "\\" + file.name;
        if (::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) found.push_back(path);
      }
    }
    return found;
  }

  // What is wrong with the outcome of one run; empty when it is sound.
  std::string Judge(const std::optional<DWORD>& code, const std::string& file) {
    if (!code) return "the run did not end";
    const std::string log = ReadFileBytes(verboseLog);
    std::string wrong;
    if (*code == 1603) {
      if (!NamesTheDamage(log, file)) wrong = "1603 without a log line naming " + file;
    } else if (*code == 0) {
      for (const ProductFile& f : product) {
        const std::string where = target + (f.destination == 1 ? "\\Data\\" : "\\") + f.name;
        const std::string bytes = ReadFileBytes(where);
        if (bytes == f.bytes || Undetectable(f, file, bytes)) continue;
        wrong += "exit 0, but " + where + " is missing or differs; ";
      }
    } else {
      wrong = "exit code " + std::to_string(*code);
    }
    for (const std::string& stray : Strays()) wrong += stray + " was written; ";
    for (const std::string& folder : {target, target + "\\Data"}) {
      for (const std::string& name : ListFolder(folder)) {
        // Names compare as the file system compares them.
        const auto same = [&](const std::string& other) { return ::lstrcmpiA(name.c_str(), other.c_str()) == 0; };
        const bool expected = same("Data") || same("_setupx.exe") ||
                              ::lstrcmpiA((folder + "\\" + name).c_str(), movedMember_.c_str()) == 0 ||
                              std::any_of(product.begin(), product.end(), [&](const ProductFile& f) { return same(f.name); });
        if (!expected) wrong += folder + "\\" + name + " was left; ";
      }
    }
    if (ListFolder(kitDir).size() != original.size()) wrong += "something was written into the kit; ";
    return wrong;
  }

  // Without the seal three damages cannot be told from a good kit: a plain
  // file changed but not in size (the profile gives its size), and a
  // member's name or destination changed in its header (the profile names
  // the archive, not its members): its bytes land under the header's name,
  // in the header's destination, which is what the archive says.
  bool Undetectable(const ProductFile& f, const std::string& damaged, const std::string& installed) {
    if (GetParam()) return false;
    if (f.archive.empty()) return damaged == f.name && installed.size() == f.bytes.size();
    if (damaged != f.archive || !installed.empty()) return false;
    for (const std::string& folder : {target + "\\Data", target}) {
      for (const std::string& name : ListFolder(folder)) {
        const std::string path = folder + "\\" + name;
        if (path != target + "\\Data" && ReadFileBytes(path) == f.bytes) {
          movedMember_ = path;
          return true;
        }
      }
    }
    return false;
  }

  TempDir work;
  std::string movedMember_;  // where a member's damaged header put it
  std::vector<ProductFile> product = SmallProduct();
  std::string kitDir;
  std::map<std::string, std::string> original;
  const std::string target = work / "Veltrane";
  const std::string verboseLog = work / "deploy.log";
  ShortcutGuard kitShortcut{kKitProgramGroup, "Veltrane Kit Test.lnk"};
};

TEST_P(KitFuzzTest, DamagedKitsEndIn1603NamingTheDamageOr0WithEveryFileIntact) {
  // Without the seal the profile itself is not damaged here: what a
  // damaged profile lists is what such a kit installs, and this test
  // compares with the product the kit was built from.
  std::vector<std::string> files = {"velt.ar1", "data.ar1", "readme.txt"};
  if (GetParam()) {
    files.push_back("_setupx.ini");
    files.push_back("_kitseal.sha");
  }
  fuzz::Options options;
  options.reader = GetParam() ? "kit.sealed" : "kit";
  options.iterations = 100;
  const std::uint64_t seed = fuzz::SeedFor(options);
  const std::uint64_t kits = fuzz::IterationsFor(options);
  std::map<std::string, int> outcomes;
  int wrongOutcomes = 0;
  for (std::uint64_t n = 0; n < kits; ++n) {
    const std::string& file = files[n % files.size()];
    const bool archive = file.find(".ar") != std::string::npos;
    const std::vector<std::string> tokens =
        archive ? std::vector<std::string>{"mfen", "mflh", std::string("\xFD\xFF", 2), std::string("\xFE\xFF", 2),
                                           std::string("\xFF\xFF", 2), std::string("\x01\x00", 2), "..\\..\\"}
                : std::vector<std::string>{"|", "\r\n", "=", "[", "-3", "99", "..\\"};
    const fuzz::CMutator mutator(fuzz::Corpus{{fuzz::ToBytes(original[file])}, tokens}, seed * 31 + n % files.size());
    std::string recipe;
    const fuzz::Bytes mutant = mutator.Make(n / files.size(), &recipe);
    for (const auto& [name, bytes] : original) WriteFileBytes(kitDir + "\\" + name, bytes);
    WriteFileBytes(kitDir + "\\" + file, mutant);
    ::DeleteFileA(verboseLog.c_str());
    movedMember_.clear();
    Start("/S /L:\"" + verboseLog + "\" /T:\"" + target + "\"", kitDir + "\\_setupx.exe");
    const std::optional<DWORD> code = setup.WaitForExit(60000);
    const std::string wrong = Judge(code, file);
    ++outcomes[code ? std::to_string(*code) : "no end"];
    if (!wrong.empty()) {
      ++wrongOutcomes;
      const bool text = file == "_setupx.ini" || file == "_kitseal.sha";
      ADD_FAILURE() << options.reader << " " << n << ": " << file << " (" << recipe << "): " << wrong
                    << (text ? "\nthe damaged file:\n" + fuzz::ToText(mutant) : std::string()) << "\nthe verbose log:\n"
                    << ReadFileBytes(verboseLog);
    }
    Reset();
  }
  std::ostringstream summary;
  for (const auto& [what, count] : outcomes) summary << " " << what << ": " << count << ";";
  std::fprintf(stderr, "fuzz %s: %llu damaged kits, seed %llu;%s %d wrong outcomes\n", options.reader.c_str(),
               static_cast<unsigned long long>(kits), static_cast<unsigned long long>(seed), summary.str().c_str(),
               wrongOutcomes);
}

INSTANTIATE_TEST_SUITE_P(Kits, KitFuzzTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& row) { return row.param ? "Sealed" : "WithoutASeal"; });

}  // namespace
