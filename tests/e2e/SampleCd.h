// The sample CD as `make kit` builds it: the sample product's kit for a CD,
// with the CD's menu in its root, built by the real kit builder from the
// one description examples/product/kit.ini, from the programs beside the
// test and the menu folder the build draws (sample-cd-menu).
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/support/TempDir.h"
#include "tests/support/UiDriver.h"

// Runs mkkit.exe with arguments; its exit code (nothing when it hung).
inline std::optional<DWORD> RunKitBuilder(const std::string& arguments) {
  ui::Process mkkit = ui::Process::Start(ui::ProgramBesideTest("mkkit.exe"), arguments);
  EXPECT_TRUE(mkkit.started()) << "mkkit.exe is built beside the test";
  return mkkit.WaitForExit(120000);
}

// Builds the sample kit for media into work\<folder> with the extra options
// (say, a capacity) and returns that folder.
inline std::string BuildSampleKit(const TempDir& work, const std::string& media, const std::string& folder,
                                  const std::string& options = {}) {
  const std::string bin = ui::ProgramBesideTest("");
  const std::string out = work / folder;
  EXPECT_EQ(std::optional<DWORD>(0),
            RunKitBuilder("--media=" + media + " " + options + " --quiet -D \"bin=" + bin.substr(0, bin.size() - 1) +
                          "\" -D \"cdmenu=" + bin + "..\\sample-cd-menu\" \"" + VELT_SAMPLE_KIT + "\" \"" + out + "\""))
      << "mkkit builds the sample kit for " << media << " " << options;
  return out;
}

// Builds the sample CD into work\cd and returns that folder.
inline std::string BuildSampleCd(const TempDir& work) { return BuildSampleKit(work, "cd", "cd"); }
