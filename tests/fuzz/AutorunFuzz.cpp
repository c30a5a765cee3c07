// The two readers of a CD's autorun.inf on damaged copies of the one mkkit
// wrote: mkkit's check of what the menu names, and the menu itself (its
// window and buttons made from the file, and the registry condition of an
// AutoPlay start). Each takes the file or refuses it with its own answer;
// the menu reports a button without a command and opens no window, and
// nothing escapes its window procedures.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "../../cdlaunch/tests/TestLaunchApp.h"
#include "SeedKit.h"
#include "cdlaunch/AutoPlayFrame.h"
#include "framework/ScopedHandle.h"
#include "tests/support/BmpBuilder.h"
#include "tests/support/DrainMessages.h"
#include "FuzzTarget.h"
#include "tools/mkkit/AutorunCheck.h"

namespace {

using fuzz::Bytes;

const std::vector<std::string> kAutorunTokens = {
    "[autorun]\r\n", "[Application Info]\r\n", "[Commands]\r\n", "[Registry]\r\n", "Bitmap=", "Command=",
    "PlaySound=", "Caption=", "CenterButtons=", "Key=", "Value=", "QuitProgram", "Browse the CD-ROM", "=", "\r\n", "\n",
    "\r", "[", "]", ";", "\\\\server\\share\\x.bmp", "CON", "COM1.bmp", "..\\..\\", "HKEY_LOCAL_MACHINE\\", ",",
    std::string(300, 'x'), "\x1A"};

fuzz::Corpus AutorunCorpus(const SeedKit& kit) { return {{kit.BytesOf("autorun.inf")}, kAutorunTokens, true}; }

TEST(AutorunFuzz, MkkitsCheckTakesOrNamesAProblemInDamagedFiles) {
  SeedKit kit;
  ASSERT_TRUE(kit.built);
  const fuzz::Options options = TargetOptions("autorun.check", 3000);
  const fuzz::Result result = fuzz::Run(
      AutorunCorpus(kit),
      [&](const Bytes& input) {
        int checked = 0;
        const std::string problem = FindAutorunProblem(
            fuzz::ToText(input),
            [&](const std::string& path, bool anyExtension) {
              WIN32_FIND_DATAA found;
              const CFindHandle find(::FindFirstFileA(kit.Out(path + (anyExtension ? ".*" : "")).c_str(), &found));
              return find.valid();
            },
            &checked);
        return problem.empty() ? fuzz::Outcome::taken : fuzz::Outcome::refused;
      },
      options);
  EXPECT_TRUE(result.failures.empty()) << ::testing::PrintToString(result.failures);
}

// The menu in this process, reading damaged files from a CD folder that
// holds the pictures it names.
TEST(AutorunFuzz, TheMenuOpensOrRefusesDamagedFiles) {
  SeedKit kit;
  ASSERT_TRUE(kit.built);
  TempDir cd;
  BmpBuilder::Solid8(40, 30, 7).Write(cd / "menu.bmp");
  BmpBuilder::Solid8(20, 10, 3).Write(cd / "go1.bmp");
  BmpBuilder::Solid8(20, 10, 4).Write(cd / "go2.bmp");
  char saved[MAX_PATH];
  ::GetCurrentDirectoryA(MAX_PATH, saved);
  LaunchApp().modulePath = cd / "cdlaunch.exe";
  // A window with its buttons for each input: fewer of them.
  const fuzz::Options options = TargetOptions("autorun.menu", 400);
  const fuzz::Result result = fuzz::Run(
      AutorunCorpus(kit),
      [&](const Bytes& input) {
        WriteFileBytes(cd / "autorun.inf", input);
        LaunchApp().messages.clear();
        LaunchApp().exceptions.clear();
        LaunchApp().CheckRegistryCondition();
        bool opened = false;
        {
          CAutoPlayFrame frame;
          opened = frame.Create();
          DrainMessages();
        }
        DrainMessages();
        fuzz::Check(LaunchApp().exceptions.empty(),
                    "an exception escaped the menu's window: " + (LaunchApp().exceptions.empty() ? "" : LaunchApp().exceptions[0]));
        return opened ? fuzz::Outcome::taken : fuzz::Outcome::refused;
      },
      options);
  ::SetCurrentDirectoryA(saved);
  LaunchApp().modulePath.clear();
  EXPECT_TRUE(result.failures.empty()) << ::testing::PrintToString(result.failures);
  EXPECT_GT(result.taken, 0u);
}

}  // namespace
