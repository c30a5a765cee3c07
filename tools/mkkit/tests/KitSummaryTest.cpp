// The summary of the sample product's kit (examples/product/kit.ini, built
// from the programs beside this test), checked line by line against what
// lies in the kit's folders.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "KitTestSupport.h"
#include "tests/support/UiDriver.h"

namespace {

std::uint64_t SizeOf(const std::string& path) { return ReadFileBytes(path).size(); }

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

}  // namespace

TEST(KitSummary, TheSampleKitsSummaryTellsWhatLiesInItsFolders) {
  const std::string bin = ui::ProgramBesideTest("");
  const std::map<std::string, std::string> defines{{"bin", bin.substr(0, bin.size() - 1)},
                                                   {"cdmenu", bin + "..\\sample-cd-menu"}};
  const struct {
    MediaKind media;
    std::uint64_t capacity;
  } rows[] = {
      {MediaKind::diskettes, 1457664},
      {MediaKind::diskettes, 3000000},
      {MediaKind::cd, 1457664},
      {MediaKind::flat, 1457664},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(MediaKindName(row.media)) + " of " + std::to_string(row.capacity));
    CKitDescription d;
    d.Load(VELT_SAMPLE_KIT, defines);
    d.media = row.media;
    d.capacity = row.capacity;
    TempDir out;
    KitBuildOptions options;
    options.outputDir = out / "kit";
    options.defaultLauncher = bin + "cdlaunch.exe";
    CKitBuilder builder(d, options);
    ASSERT_EQ(kExitOk, builder.Build());
    const int diskettes = builder.GetLayout()->GetDisketteCount();
    const std::string text = builder.GetSummary().Render(d, options.outputDir, true);
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(std::string("mkkit: summary of the ") + MediaKindName(row.media) + " kit in " + options.outputDir, line);
    std::getline(lines, line);  // the heads

    std::uint64_t kitBytes = 0;
    int kitFiles = 0;
    for (int n = 1; n <= diskettes; ++n) {
      const std::string folder = CKitBuilder::DisketteFolder(options.outputDir, row.media, n);
      int files = 0, parts = 0;
      std::uint64_t used = 0;
      for (const std::string& name : ListFolder(folder)) {
        const std::string path = folder + "\\" + name;
        if (::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) continue;
        ++(name.find(".ar") != std::string::npos ? parts : files);
        used += (SizeOf(path) + 511) / 512 * 512;
        kitBytes += SizeOf(path);
        ++kitFiles;
      }
      std::getline(lines, line);
      const std::vector<std::string> w = Words(line);
      ASSERT_EQ(6u, w.size()) << line;
      const std::string name = row.media == MediaKind::flat ? "."
                               : row.media == MediaKind::cd ? (n < 10 ? "DISK0" : "DISK") + std::to_string(n)
                                                            : std::to_string(n);
      EXPECT_EQ(name, w[0]) << line;
      EXPECT_EQ(std::to_string(files), w[1]) << line;
      EXPECT_EQ(std::to_string(parts), w[2]) << line;
      EXPECT_EQ(std::to_string(used), w[3]) << line;
      if (row.media == MediaKind::flat) {
        EXPECT_EQ("-", w[4]) << line;
      } else {
        EXPECT_EQ(std::to_string(row.capacity - used), w[4]) << line;
        char fill[16];
        std::snprintf(fill, sizeof fill, "%.1f%%", 100.0 * static_cast<double>(used) / static_cast<double>(row.capacity));
        EXPECT_EQ(fill, w[5]) << line;
      }
    }
    if (row.media == MediaKind::cd) {
      int files = 0;
      std::uint64_t bytes = 0;
      for (const std::string& name : ListFolder(options.outputDir)) {
        const std::string path = options.outputDir + "\\" + name;
        if (::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) continue;
        ++files;
        bytes += SizeOf(path);
      }
      kitBytes += bytes;
      kitFiles += files;
      std::getline(lines, line);
      EXPECT_EQ((std::vector<std::string>{"(root)", std::to_string(files), "0", std::to_string(bytes), "-", "-"}),
                Words(line));
    }

    // The totals: every source, every file of the kit.
    std::uint64_t input = SizeOf(bin + "_setupx.exe");
    for (const KitFile& f : d.files) input += SizeOf(f.source);
    std::getline(lines, line);
    EXPECT_EQ("  input: " + std::to_string(input) + " bytes in " + std::to_string(d.files.size() + 1) + " files; kit: " +
                  std::to_string(kitBytes) + " bytes in " + std::to_string(kitFiles) + " files",
              line.substr(0, line.find(" (")));
    std::getline(lines, line);
    EXPECT_EQ(0u, line.find("  archive members: ")) << line;
    EXPECT_NE(std::string::npos, line.find(" of 4 stored rather than deflated")) << line;

    // The list: the setup program, then every file of the description.
    std::getline(lines, line);  // the heads
    std::vector<std::string> listed;
    while (std::getline(lines, line)) {
      std::vector<std::string> w = Words(line);
      if (w.back() == "(stored)") w.pop_back();
      listed.push_back(w.back());
    }
    std::vector<std::string> expected{"_setupx.exe"};
    for (const KitFile& f : d.files) expected.push_back(f.name);
    EXPECT_EQ(expected, listed);
  }
}
