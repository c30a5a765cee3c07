// The "Change Folder" dialog: the common Save As dialog as a folder picker,
// driven through its real window.
#include <windows.h>
#include <dlgs.h>

#include <atomic>
#include <thread>

#include "WizardTestSupport.h"
#include "setup/resources/ResourceIds.h"
#include "setup/wizard/ChangeFolderDialog.h"

namespace {

// The dialog with this caption once it shows; null when the test's thread
// is done without it.
HWND WaitForDialog(const char* caption, const std::atomic<bool>& done) {
  while (!done) {
    HWND found = ::FindWindowA("#32770", caption);
    if (found && ::IsWindowVisible(found)) return found;
    ::Sleep(5);
  }
  return nullptr;
}

class ChangeFolderDialogTest : public WizardTest {};

TEST_F(ChangeFolderDialogTest, NearestExistingDirectoryClimbsToAnExistingAncestor) {
  const std::string scratch = scratch_.substr(0, scratch_.size() - 1);
  const struct {
    std::string path;
    std::string nearest;
  } rows[] = {
      {scratch_, scratch},
      {scratch, scratch},
      {scratch_ + "Missing\\Deeper", scratch},
      {"C:\\No Such Folder Here\\x", "C:\\"},
      {"C:\\", "C:\\"},
      {"NoSuchRelativeFolder", ""},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.nearest, CChangeFolderDialog::NearestExistingDirectory(row.path)) << row.path;
  }
}

TEST_F(ChangeFolderDialogTest, EmptyPathIsRefusedBeforeAnyDialogShows) {
  CScriptedUser user;
  std::string path;
  CChangeFolderDialog dialog;
  dialog.ChooseFolder(path, {});
  ASSERT_EQ(1u, user.Seen().size());
  EXPECT_EQ("The path can not be empty.  Please enter a path.", user.Seen()[0].text);
}

TEST_F(ChangeFolderDialogTest, OpensOnTheNearestExistingParentAndShowsTheGivenPath) {
  const std::string missing = scratch_ + "Missing\\Deeper";
  std::string path = missing;
  CScriptedUser user({IDOK});
  CChangeFolderDialog dialog;
  dialog.ChooseFolder(path, {});
  const auto seen = user.Seen();
  ASSERT_EQ(1u, seen.size());
  EXPECT_EQ("Change Folder", seen[0].caption);
  EXPECT_EQ(missing, seen[0].controls.at(IDC_FOLDER_TEXT));
  EXPECT_EQ(0, _stricmp(scratch_.substr(0, scratch_.size() - 1).c_str(), seen[0].controls.at(stc1).c_str()))
      << seen[0].controls.at(stc1);
  EXPECT_EQ(missing, path);
}

TEST_F(ChangeFolderDialogTest, AMissingFolderAcceptedWithYesIsCreatedAndStays) {
  const std::string target = scratch_ + "Made";
  std::string path = target;
  CScriptedUser user({IDOK, IDYES});
  CChangeFolderDialog dialog;
  dialog.ChooseFolder(path, {.verify = true, .editable = true, .ask = true});
  const auto seen = user.Seen();
  ASSERT_EQ(2u, seen.size());
  EXPECT_EQ("The destination folder: \n\n" + target + "\ndoes not exist.  Do you want to create it?", seen[1].text);
  EXPECT_EQ(target, path);
  const DWORD attributes = ::GetFileAttributesA(target.c_str());
  EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
}

TEST_F(ChangeFolderDialogTest, TheDirectoryOpenedInTheListIsTheChoice) {
  ASSERT_TRUE(::CreateDirectoryA((scratch_ + "Sub").c_str(), nullptr));
  std::string path = scratch_;
  std::string shownPath;
  std::atomic<bool> done{false};
  std::thread user([&] {
    HWND dialog = WaitForDialog("Change Folder", done);
    if (!dialog) return;
    HWND list = ::GetDlgItem(dialog, lst2);
    const int index = static_cast<int>(::SendMessageA(list, LB_FINDSTRING, static_cast<WPARAM>(-1),
                                                      reinterpret_cast<LPARAM>("[sub]")));
    ::SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(lst2, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
    for (int tries = 0; tries < 200; ++tries) {
      char text[MAX_PATH] = {};
      ::GetDlgItemTextA(dialog, IDC_FOLDER_PATH, text, MAX_PATH);
      shownPath = text;
      if (shownPath.size() > 4 && _stricmp(shownPath.c_str() + shownPath.size() - 4, "\\sub") == 0) break;
      ::Sleep(5);
    }
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  CChangeFolderDialog dialog;
  dialog.ChooseFolder(path, {.verify = true, .editable = true, .ask = true});
  done = true;
  user.join();
  EXPECT_EQ(0, _stricmp((scratch_ + "Sub").c_str(), shownPath.c_str())) << shownPath;
  EXPECT_EQ(0, _stricmp((scratch_ + "Sub").c_str(), path.c_str())) << path;
}

}  // namespace
