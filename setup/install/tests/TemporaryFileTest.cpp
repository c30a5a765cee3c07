// Temporary files are new files: a name that someone else takes, even
// between the look and the creation, is left alone and another is used.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/StdioFile.h"
#include "setup/install/ReplaceRule.h"
#include "setup/paths/TemporaryFile.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestFiles.h"

namespace {

class TemporaryFileTest : public ::testing::Test {
protected:
  // Creates the file as the copy engine does, after another hand has put a
  // file of its own at the first `planted` names it is given.
  bool CreateAfterPlanting(const CPathName& name) {
    tried.push_back(name.GetFileName());
    if (static_cast<int>(tried.size()) <= planted) {
      EXPECT_TRUE(WriteFileBytes(name.GetPath(), "planted"));
      EXPECT_TRUE(SetModificationTime(name.GetPath(), 900000000));
    }
    return file.CreateNewBinary(name.GetPath());
  }
  void ExpectPlantedFilesUntouched(std::size_t count) {
    ASSERT_GE(tried.size(), count);
    for (std::size_t i = 0; i < count; ++i) {
      EXPECT_EQ("planted", ReadFileBytes(dir / tried[i])) << tried[i];
      EXPECT_EQ(900000000u, ReadModificationTime(CPathName(dir / tried[i]))) << tried[i];
    }
  }

  TempDir dir;
  CStdioFile file;
  int planted = 0;
  std::vector<std::string> tried;
};

}  // namespace

TEST_F(TemporaryFileTest, ANameTakenBeforeTheCreationLeadsToAnotherName) {
  planted = 2;
  CPathName path(dir / "veltapp.exe");
  ASSERT_TRUE(CreateTemporaryFile(path, [this](const CPathName& name) { return CreateAfterPlanting(name); }));
  file.Write("new", 3);
  file.Close();

  ASSERT_EQ(3u, tried.size());
  EXPECT_EQ(tried[2], path.GetFileName());
  EXPECT_EQ("exe", path.GetExtension());
  EXPECT_EQ("new", ReadFileBytes(path.GetPath()));
  ExpectPlantedFilesUntouched(2);
}

TEST_F(TemporaryFileTest, WhenEveryNameIsTakenNothingIsMadeAndNoPlantedFileIsTouched) {
  planted = 3;
  CPathName path(dir / "veltapp.exe");
  EXPECT_FALSE(CreateTemporaryFile(path, [this](const CPathName& name) { return CreateAfterPlanting(name); }, 3));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(3u, ListFolder(dir.path()).size());
  ExpectPlantedFilesUntouched(3);
}

TEST_F(TemporaryFileTest, AFolderThatCannotTakeTheFileThrowsItsErrorAtOnce) {
  CPathName path(dir / "missing\\veltapp.exe");
  try {
    CreateTemporaryFile(path, [this](const CPathName& name) { return CreateAfterPlanting(name); });
    ADD_FAILURE() << "no exception";
  } catch (const CFileException& e) {
    EXPECT_EQ(CFileException::badPath, e.m_cause);
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, e.m_lOsError);
    EXPECT_EQ(path.GetPath(), e.m_strFileName);
  }
  EXPECT_EQ(1u, tried.size()) << "no other name would help";
}
