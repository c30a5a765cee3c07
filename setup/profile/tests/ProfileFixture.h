// Test fixture for the data model: INI files written as a user would write
// them, each under a name of its own in the test's own folder.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "setup/paths/PathName.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TempDir.h"

class ProfileFixture : public ::testing::Test {
protected:
  // A new file holding text (lines ending in CR LF).
  CPathName Profile(const std::string& text) {
    std::string bytes;
    for (char c : text) {
      if (c == '\n') bytes += '\r';
      bytes += c;
    }
    const std::string path = dir / ("profile" + std::to_string(++count_) + ".ini");
    EXPECT_TRUE(WriteFileBytes(path, bytes));
    return CPathName(path);
  }
  // A name for a file that does not exist yet.
  CPathName NewFile(const std::string& name) { return CPathName(dir / (std::to_string(++count_) + name)); }
  // The file's text with CR LF read as LF.
  static std::string Text(const CPathName& file) {
    std::string text;
    for (char c : ReadFileBytes(file.GetPath())) {
      if (c != '\r') text += c;
    }
    return text;
  }

  TempDir dir;

private:
  int count_ = 0;
};
