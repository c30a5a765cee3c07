// The command line: how tokens become keys and values, and which switches
// change the application's settings.
#include <gtest/gtest.h>

#include <optional>
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
      // Quotes inside a switch hold blanks together and are dropped.
      {"/T:\"C:\\Program Files\\Velt Rane\" /B", {{"T", "C:\\Program Files\\Velt Rane"}, {"B", ""}}, {}, 2},
      {"/N:\"Ada Lovelace\" /O:Engines\" Ltd.\"", {{"N", "Ada Lovelace"}, {"O", "Engines Ltd."}}, {}, 2},
      {"/L:\"C:\\my logs\\setup.log\"", {{"L", "C:\\my logs\\setup.log"}}, {"#0"}, 1},
      {"/N:\"\" /S", {{"N", ""}, {"S", ""}}, {}, 2},
      // Without a ":" right after the letter the colon of the path ends the key.
      {"/T\"C:\\a b\"", {{"TC", "\\a b"}}, {"T"}, 1},
      {"/G:\"Tools\\Velt Rane", {{"G", "Tools\\Velt Rane"}}, {"#0"}, 1},
      // Outside a switch quotes are text, as they always were.
      {"\"a b\" /U", {{"#0", "\"a"}, {"#1", "b\""}, {"U", ""}}, {}, 3},
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
    app.removeMode = app.batchMode = app.ignoreConditions = app.runFromSource = app.silentMode = false;
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

TEST_F(SetupAppFixture, SilentImpliesBatchAndTheChoicesAreKeptAsGiven) {
  struct Case {
    const char* line;
    bool silentMode, batchMode;
    std::optional<std::string> directory, programFolder, userName, company;
  } cases[] = {
      {"", false, false, {}, {}, {}, {}},
      {"/S", true, true, {}, {}, {}, {}},
      {"/s", false, false, {}, {}, {}, {}},
      {"/B", false, true, {}, {}, {}, {}},
      {"/S /T:\"C:\\Program Files\\Velt\" /G:Tools\\Velt /N:\"Ada Lovelace\" /O:", true, true,
       "C:\\Program Files\\Velt", "Tools\\Velt", "Ada Lovelace", ""},
      {"/T", false, false, "", {}, {}, {}},
      {"/t:C:\\x /TC:\\x", false, false, {}, {}, {}, {}},
  };
  for (const auto& c : cases) {
    app.batchMode = app.silentMode = false;
    app.choices = {};
    app.ApplySwitches(CCommandLineArgs(c.line));
    EXPECT_EQ(c.silentMode, app.silentMode) << "line: " << c.line;
    EXPECT_EQ(c.batchMode, app.batchMode) << "line: " << c.line;
    EXPECT_EQ(c.directory, app.choices.directory) << "line: " << c.line;
    EXPECT_EQ(c.programFolder, app.choices.programFolder) << "line: " << c.line;
    EXPECT_EQ(c.userName, app.choices.userName) << "line: " << c.line;
    EXPECT_EQ(c.company, app.choices.company) << "line: " << c.line;
  }
}
