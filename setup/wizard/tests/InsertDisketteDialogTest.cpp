// The application's source media asking for diskettes with the Insert
// Diskette dialog, answered by a scripted user.
#include "WizardTestSupport.h"
#include "setup/profile/InstallModel.h"
#include "setup/resources/ResourceIds.h"
#include "setup/archive/SourceMedia.h"
#include "tests/support/TestFiles.h"

namespace {

void Press(HWND box, int id) { ::SendMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

class InsertDisketteTest : public WizardTest {
protected:
  void SetUp() override {
    WizardTest::SetUp();
    WriteProfile();  // diskette 1 is labelled "Veltrane Disk 1"
    app_->model->diskettes.Load(app_->profilePath);
    for (const char* d : {"DISK01", "DISK03", "elsewhere"}) ::CreateDirectoryA((scratch_ + d).c_str(), nullptr);
    ASSERT_TRUE(WriteFileBytes(scratch_ + "DISK03\\three.cab", ""));
    ASSERT_TRUE(WriteFileBytes(scratch_ + "elsewhere\\four.cab", ""));
    app_->sourceDir = CPathName(scratch_ + "DISK01\\");
    drive_ = scratch_.substr(0, 1);
  }

  std::string drive_;
};

}  // namespace

TEST_F(InsertDisketteTest, TriesTheNumberedSiblingThenAsksByLabelOrNumber) {
  {
    CScriptedUser user({IDCANCEL, IDCANCEL});
    EXPECT_TRUE(app_->sourceMedia->LocateSourceFile("three.cab", 3));
    EXPECT_TRUE(user.Seen().empty()) << "found in DISK03 without asking";
    EXPECT_EQ(scratch_ + "DISK03\\", app_->sourceDir.GetPath());

    // DISK01 is tried for diskette 1, then the user is asked.
    EXPECT_FALSE(app_->sourceMedia->LocateSourceFile("one.cab", 1)) << "cancelled";
    EXPECT_FALSE(app_->sourceMedia->LocateSourceFile("two.cab", 2));
    const auto seen = user.Seen();
    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ("Insert Diskette", seen[0].caption);
    auto labelled = seen[0].controls;
    EXPECT_EQ("Please insert the diskette labelled 'Veltrane Disk 1' in drive " + drive_ + ":",
              labelled[IDC_DISKETTE_PROMPT]);
    EXPECT_EQ(scratch_ + "DISK03", labelled[IDC_DISKETTE_DIRECTORY]);
    auto numbered = seen[1].controls;
    EXPECT_EQ("Please insert diskette 2 in drive " + drive_ + ":", numbered[IDC_DISKETTE_PROMPT]);
    EXPECT_EQ("Setup cannot find the file '" + scratch_ +
                  "DISK03\\two.cab' on the drive and directory specified below. Please insert the specified "
                  "diskette in this drive. If the files can be found in a different location, type the "
                  "location below or pick with Browse.",
              numbered[IDC_DISKETTE_EXPLANATION]);
  }
  // Cancel leaves the source directory where the sibling rule put it.
  EXPECT_EQ(scratch_ + "DISK03\\", app_->sourceDir.GetPath());
}

TEST_F(InsertDisketteTest, OkClosesOnlyWhereTheFileIsAndSkipFileDoesNothing) {
  struct Observed {
    bool skipWhileFolded = true, skipUnfolded = false, openAfterSkip = false, openAfterWrongOk = false;
    bool browseWhileFolded = true, icon = false;
  } observed;
  const std::string elsewhere = scratch_ + "elsewhere";
  CScriptedUser user({IDOK}, [&](HWND box) {
    HWND skip = ::GetDlgItem(box, IDC_SKIP_FILE);
    observed.icon = ::SendDlgItemMessageA(box, IDI_PAGE_DISK, STM_GETICON, 0, 0) != 0;
    observed.skipWhileFolded = ::IsWindowEnabled(skip);
    observed.browseWhileFolded = ::IsWindowEnabled(::GetDlgItem(box, IDC_DISKETTE_BROWSE));
    Press(box, IDC_MORE);
    observed.skipUnfolded = ::IsWindowEnabled(skip);
    Press(box, IDC_SKIP_FILE);
    observed.openAfterSkip = ::IsWindowVisible(box);
    ::SetDlgItemTextA(box, IDC_DISKETTE_DIRECTORY, (scratch_ + "DISK01").c_str());
    Press(box, IDOK);
    observed.openAfterWrongOk = ::IsWindowVisible(box);
    ::SetDlgItemTextA(box, IDC_DISKETTE_DIRECTORY, elsewhere.c_str());  // then the scripted OK
  });
  EXPECT_TRUE(app_->sourceMedia->LocateSourceFile("four.cab", 4));
  EXPECT_EQ(1u, user.Seen().size());
  EXPECT_TRUE(observed.icon) << "the diskette icon";
  EXPECT_FALSE(observed.skipWhileFolded);
  EXPECT_FALSE(observed.browseWhileFolded);
  EXPECT_TRUE(observed.skipUnfolded);
  EXPECT_TRUE(observed.openAfterSkip);
  EXPECT_TRUE(observed.openAfterWrongOk) << "the file is not in DISK01";
  EXPECT_EQ(elsewhere + "\\", app_->sourceDir.GetPath()) << "later files are looked for there first";
  EXPECT_TRUE(app_->sourceMedia->LocateSourceFile("four.cab", 1));
  EXPECT_EQ(1u, user.Seen().size());
}
