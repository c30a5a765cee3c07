// The command line: how tokens become keys and values, and which switches
// change the application's settings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SetupAppFixture.h"
#include "setup/app/CommandLineArgs.h"

namespace {

struct Expect {
  const char* key;
  const char* value;
};

}  // namespace

TEST(CommandLineArgsTest, CutsTokensIntoKeysAndValues) {
  struct Case {
    const char* line;
    std::vector<Expect> present;
    std::vector<const char*> absent;
    std::size_t size;
  } cases[] = {
      {"", {}, {"D", "#0"}, 0},
      {"/D:C:\\kit", {{"D", "C:\\kit"}}, {"DC"}, 1},
      {"/DC:\\kit", {{"DC", "\\kit"}}, {"D"}, 1},
      {"/D\\\\server\\share\\kit", {{"D", "\\\\server\\share\\kit"}}, {}, 1},
      {"/U /B /I /C", {{"U", ""}, {"B", ""}, {"I", ""}, {"C", ""}}, {}, 4},
      {"/u", {{"u", ""}}, {"U"}, 1},
      {"/", {}, {"", "#0"}, 0},
      {"/Q", {{"Q", ""}}, {}, 1},
      {"-delete", {{"#0", "-delete"}}, {"d", "delete"}, 1},
      {"a  b", {{"#0", "a"}, {"#1", "b"}}, {"#2"}, 2},
      {"  /B  ", {{"B", ""}}, {"#0"}, 1},
      {"/Dfirst /D:second", {{"D", "second"}}, {}, 1},
      {"/Uxyz", {{"U", "xyz"}}, {}, 1},
      {"/long:a:b", {{"long", "a:b"}}, {"l"}, 1},
      {"/D:C:\\Program\tFiles", {{"D", "C:\\Program\tFiles"}}, {}, 1},
      {"/D:C:\\Program Files", {{"D", "C:\\Program"}, {"#0", "Files"}}, {}, 2},
      {"\"/D:C:\\kit\"", {{"#0", "\"/D:C:\\kit\""}}, {"D"}, 1},
  };
  for (const auto& c : cases) {
    const CCommandLineArgs args(c.line);
    EXPECT_EQ(c.size, args.size()) << "line: " << c.line;
    for (const auto& e : c.present) {
      std::string value = "untouched";
      EXPECT_TRUE(args.Get(e.key, value)) << "line: " << c.line << " key: " << e.key;
      EXPECT_EQ(e.value, value) << "line: " << c.line << " key: " << e.key;
    }
    for (const char* key : c.absent) EXPECT_FALSE(args.Has(key)) << "line: " << c.line << " key: " << key;
  }
}

TEST(CommandLineArgsTest, GetFallsBackToTheDefaultOnlyWhenOneIsGiven) {
  const CCommandLineArgs args("/B");
  std::string value = "untouched";
  EXPECT_FALSE(args.Get("D", value));
  EXPECT_EQ("untouched", value);
  EXPECT_FALSE(args.Get("D", value, "fallback"));
  EXPECT_EQ("fallback", value);
  EXPECT_TRUE(args.Get("B", value, "fallback"));
  EXPECT_EQ("", value);
}

TEST_F(SetupAppFixture, SwitchesSetTheModesAndTheSourceDirectory) {
  struct Case {
    const char* line;
    const char* directory;  // of sourceDir and profilePath afterwards
    bool removeMode, batchMode, ignoreConditions, runFromSource;
  } cases[] = {
      {"", "A:\\", false, false, false, false},
      {"/D:C:\\kit", "C:\\kit", false, false, false, false},
      {"/D:C:\\kit\\", "C:\\kit", false, false, false, false},
      {"/DC:\\kit", "A:\\", false, false, false, false},
      {"/D\\\\server\\share\\kit", "\\\\server\\share\\kit", false, false, false, false},
      {"/D", "A:\\", false, false, false, false},
      {"/D:", "A:\\", false, false, false, false},
      {"/U", "A:\\", true, false, false, false},
      {"/u", "A:\\", false, false, false, false},
      {"/B /I /C", "A:\\", false, true, true, true},
      {"/b /i /c", "A:\\", false, false, false, false},
      {"-delete", "A:\\", false, false, false, false},
      {"/ /Q", "A:\\", false, false, false, false},
      {"U B", "A:\\", false, false, false, false},
  };
  for (const auto& c : cases) {
    app.removeMode = app.batchMode = app.ignoreConditions = app.runFromSource = false;
    app.sourceDir = CPathName("A:\\");
    app.profilePath = CPathName("A:\\_setupx.ini");
    app.ApplySwitches(CCommandLineArgs(c.line));
    EXPECT_EQ(c.directory, app.sourceDir.GetDirectory()) << "line: " << c.line;
    EXPECT_EQ(c.directory, app.profilePath.GetDirectory()) << "line: " << c.line;
    EXPECT_EQ("_setupx.ini", app.profilePath.GetFileName()) << "line: " << c.line;
    EXPECT_EQ("", app.sourceDir.GetFileName()) << "line: " << c.line;
    EXPECT_EQ(c.removeMode, app.removeMode) << "line: " << c.line;
    EXPECT_EQ(c.batchMode, app.batchMode) << "line: " << c.line;
    EXPECT_EQ(c.ignoreConditions, app.ignoreConditions) << "line: " << c.line;
    EXPECT_EQ(c.runFromSource, app.runFromSource) << "line: " << c.line;
  }
}
