// The "Select Folder" dialog through real windows: its OK rule, the shell
// namespace tree, and the directory page's Browse button.
#include <cstring>
#include <algorithm>
#include <memory>
#include <vector>

#include "WizardTestSupport.h"
#include "setup/resources/ResourceIds.h"
#include "setup/wizard/FolderTreeDialog.h"
#include "setup/wizard/Wizard.h"
#include "tests/support/TestFiles.h"

namespace {

constexpr char kQuestion[] = "The destination folder: \n\n%s\ndoes not exist.  Do you want to create it?";
constexpr char kEmptyPath[] = "The path can not be empty.  Please enter a path.";

std::string Question(const std::string& path) {
  std::string text = kQuestion;
  text.replace(text.find("%s"), 2, path);
  return text;
}

bool DirectoryExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string WithoutTrailingSlash(std::string path) {
  if (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

bool SamePath(const std::string& a, const std::string& b) {
  return _stricmp(WithoutTrailingSlash(a).c_str(), WithoutTrailingSlash(b).c_str()) == 0;
}

// Whether folder is a proper ancestor of path.
bool IsAncestor(const std::string& folder, const std::string& path) {
  std::string prefix = folder;
  if (prefix.back() != '\\') prefix += '\\';
  return path.size() > prefix.size() && _strnicmp(prefix.c_str(), path.c_str(), prefix.size()) == 0;
}

class FolderTreeDialogTest : public WizardTest {
protected:
  void TearDown() override {
    dialog_.reset();
    WizardTest::TearDown();
  }

  // A modeless dialog on path, by default verifying, editable and asking.
  void Open(const std::string& path, int verify = 1, int editable = 1) {
    dialog_ = std::make_unique<CFolderTreeDialog>();
    dialog_->SetOptions(path, {.verify = verify != 0, .editable = editable != 0, .ask = true});
    ASSERT_TRUE(dialog_->Create(IDD_FOLDER_TREE));
    Settle();
  }
  HWND Item(int id) const { return ::GetDlgItem(dialog_->m_hWnd, id); }
  bool IsOpen() const { return dialog_->m_hWnd && ::IsWindow(dialog_->m_hWnd); }
  void TypePath(const std::string& text) {
    ::SendMessageA(Item(IDC_FOLDER_PATH), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  void PressOK() {
    ::SendMessageA(dialog_->m_hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(Item(IDOK)));
    Settle();
  }

  HTREEITEM Next(HTREEITEM item, UINT code) {
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageA(Item(IDC_FOLDER_TREE), TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
  }
  void Expand(HTREEITEM item) {
    ::SendMessageA(Item(IDC_FOLDER_TREE), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
  }
  // Selects item as a click does; returns the path the edit shows then.
  std::string Select(HTREEITEM item) {
    ::SendMessageA(Item(IDC_FOLDER_TREE), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    return TextOf(Item(IDC_FOLDER_PATH));
  }
  TVITEMA ItemInfo(HTREEITEM item, char* text, int size) {
    TVITEMA info{};
    info.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_CHILDREN;
    info.hItem = item;
    info.pszText = text;
    info.cchTextMax = size;
    ::SendMessageA(Item(IDC_FOLDER_TREE), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&info));
    return info;
  }

  // Walks the tree the way a user looks for target: opens the folders on
  // its way and the virtual folders near the desktop (My Computer).
  HTREEITEM Find(HTREEITEM parent, const std::string& target, int virtualDepth = 0) {
    HTREEITEM item = parent == TVI_ROOT ? Next(nullptr, TVGN_ROOT) : Next(parent, TVGN_CHILD);
    for (; item; item = Next(item, TVGN_NEXT)) {
      const std::string path = Select(item);
      if (path.empty()) {
        if (virtualDepth >= 1) continue;
        Expand(item);
        if (HTREEITEM found = Find(item, target, virtualDepth + 1)) return found;
      } else if (SamePath(path, target)) {
        return item;
      } else if (IsAncestor(path, target)) {
        Expand(item);
        return Find(item, target, virtualDepth);
      }
    }
    return nullptr;
  }

  std::unique_ptr<CFolderTreeDialog> dialog_;
};

TEST_F(FolderTreeDialogTest, EmptyPathIsRefusedBeforeAnyDialogShows) {
  CScriptedUser user;
  std::string path;
  CFolderTreeDialog dialog;
  EXPECT_FALSE(dialog.ChooseFolder(path, {.verify = true, .editable = true, .ask = true}));
  const auto seen = user.Seen();
  ASSERT_EQ(1u, seen.size()) << "the message only, no dialog";
  EXPECT_EQ("Veltrane Setup", seen[0].caption);
  EXPECT_EQ(kEmptyPath, seen[0].text);
  EXPECT_TRUE(path.empty());
}

TEST_F(FolderTreeDialogTest, MissingFolderAcceptedWithYesIsChosenButNotLeftCreated) {
  const std::string target = scratch_ + "New\\Product";
  std::string path = target;
  CScriptedUser user({IDOK, IDYES});
  CFolderTreeDialog dialog;
  EXPECT_TRUE(dialog.ChooseFolder(path, {.verify = true, .editable = true, .ask = true}));
  const auto seen = user.Seen();
  ASSERT_EQ(2u, seen.size());
  EXPECT_EQ("Select Folder", seen[0].caption);
  EXPECT_EQ(target, seen[0].controls.at(IDC_FOLDER_PATH)) << "starts with the given path";
  EXPECT_EQ(Question(target), seen[1].text);
  EXPECT_EQ(target, path);
  EXPECT_FALSE(DirectoryExists(target));

  // Cancel leaves the caller's path alone.
  CScriptedUser canceller;
  std::string other = scratch_;
  EXPECT_FALSE(dialog.ChooseFolder(other, {.verify = true, .editable = true, .ask = true}));
  EXPECT_EQ(scratch_, other);
}

TEST_F(FolderTreeDialogTest, OkStaysOpenOnNoEmptyOrUncreatablePaths) {
  const std::string target = scratch_ + "Missing";
  Open(target);
  ASSERT_TRUE(IsOpen());
  EXPECT_EQ("Select Folder", TextOf(dialog_->m_hWnd));
  EXPECT_EQ(target, TextOf(Item(IDC_FOLDER_PATH)));
  EXPECT_TRUE(::GetWindowLongA(Item(IDC_FOLDER_PATH), GWL_STYLE) & WS_VISIBLE) << "editable";
  std::vector<std::string> texts;
  for (HWND child = ::GetWindow(dialog_->m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    texts.push_back(TextOf(child));
  }
  for (const char* text : {"Enter or select a destination folder.", "&Path:", "&Folders:", "OK", "Cancel"}) {
    EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), text)) << text;
  }
  char cls[32] = {};
  ::GetClassNameA(Item(IDC_FOLDER_TREE), cls, sizeof cls);
  EXPECT_STREQ("SysTreeView32", cls);

  {
    CScriptedUser user({IDNO});
    PressOK();
    ASSERT_EQ(1u, user.Seen().size());
    EXPECT_EQ(Question(target), user.Seen()[0].text);
  }
  EXPECT_TRUE(IsOpen());
  EXPECT_FALSE(DirectoryExists(target));

  TypePath("");
  {
    CScriptedUser user;
    PressOK();
    ASSERT_EQ(1u, user.Seen().size());
    EXPECT_EQ(kEmptyPath, user.Seen()[0].text);
  }
  EXPECT_TRUE(IsOpen());

  // Below a file nothing can be created.
  const std::string file = scratch_ + "file";
  ASSERT_TRUE(WriteFileBytes(file, ""));
  TypePath(file + "\\sub");
  {
    CScriptedUser user({IDYES});
    PressOK();
    const auto seen = user.Seen();
    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ("Cannot Create Directory", seen[1].text);
  }
  EXPECT_TRUE(IsOpen());

  // An existing folder closes it without a question.
  TypePath(scratch_);
  {
    CScriptedUser user;
    PressOK();
    EXPECT_TRUE(user.Seen().empty());
  }
  EXPECT_FALSE(IsOpen());
  EXPECT_EQ(scratch_, dialog_->GetPath());
}

TEST_F(FolderTreeDialogTest, TreeLeadsFromTheDesktopToAFolderAndShowsItsPath) {
  const std::string tree = scratch_ + "Tree";
  const std::string leaf = tree + "\\Leaf";
  ASSERT_TRUE(::CreateDirectoryA(tree.c_str(), nullptr));
  ASSERT_TRUE(::CreateDirectoryA(leaf.c_str(), nullptr));
  Open(scratch_);
  ASSERT_NE(nullptr, Next(nullptr, TVGN_ROOT)) << "the desktop's folders";

  HTREEITEM treeItem = Find(TVI_ROOT, tree);
  ASSERT_NE(nullptr, treeItem) << "no way from the desktop to " << tree;
  EXPECT_TRUE(SamePath(tree, TextOf(Item(IDC_FOLDER_PATH))));
  char text[260];
  EXPECT_EQ(1, ItemInfo(treeItem, text, sizeof text).cChildren);
  EXPECT_STREQ("Tree", text);

  Expand(treeItem);
  HTREEITEM leafItem = Next(treeItem, TVGN_CHILD);
  ASSERT_NE(nullptr, leafItem);
  EXPECT_EQ(nullptr, Next(leafItem, TVGN_NEXT)) << "folders only, one level";
  EXPECT_TRUE(SamePath(leaf, Select(leafItem)));
  ItemInfo(leafItem, text, sizeof text);
  EXPECT_STREQ("Leaf", text);

  // Opening a folder without sub-folders takes its expand button away.
  Expand(leafItem);
  EXPECT_EQ(nullptr, Next(leafItem, TVGN_CHILD));
  EXPECT_EQ(0, ItemInfo(leafItem, text, sizeof text).cChildren);

  // The selected folder is the choice.
  {
    CScriptedUser user;
    PressOK();
    EXPECT_TRUE(user.Seen().empty());
  }
  EXPECT_TRUE(SamePath(leaf, dialog_->GetPath()));
}

TEST_F(FolderTreeDialogTest, VirtualFolderLeavesNoPathAndOkRefusesIt) {
  Open(scratch_);
  HTREEITEM item = Next(nullptr, TVGN_ROOT);
  while (item && !Select(item).empty()) item = Next(item, TVGN_NEXT);
  ASSERT_NE(nullptr, item) << "the desktop shows no virtual folder (My Computer)";
  EXPECT_EQ("", TextOf(Item(IDC_FOLDER_PATH)));
  CScriptedUser user;
  PressOK();
  ASSERT_EQ(1u, user.Seen().size());
  EXPECT_EQ(kEmptyPath, user.Seen()[0].text);
  EXPECT_TRUE(IsOpen());
}

TEST_F(FolderTreeDialogTest, WithoutVerifyAMissingFolderIsTakenAsItIs) {
  const std::string target = scratch_ + "Missing";
  Open(target, 0);
  CScriptedUser user;
  PressOK();
  EXPECT_TRUE(user.Seen().empty());
  EXPECT_FALSE(IsOpen());
  EXPECT_EQ(target, dialog_->GetPath());
  EXPECT_FALSE(DirectoryExists(target));

  Open(target, 1, 0);
  EXPECT_FALSE(::GetWindowLongA(Item(IDC_FOLDER_PATH), GWL_STYLE) & WS_VISIBLE) << "not editable";
}

TEST_F(FolderTreeDialogTest, DirectoryPageBrowseConfirmsTheChosenFolder) {
  WriteProfile();
  wizard().ShowPage(IDD_WELCOME, false);
  Settle();
  Click(IDD_WELCOME, IDC_NEXT);
  Click(IDD_AGREEMENT, IDC_NEXT);
  ASSERT_EQ(IDD_DIRECTORY, CurrentPageId());
  const std::string target = scratch_ + "Browsed\\Product";
  Type(IDD_DIRECTORY, IDC_DIRECTORY, target);
  {
    CScriptedUser user;  // Cancel: nothing changes
    Click(IDD_DIRECTORY, IDC_BROWSE);
    ASSERT_EQ(1u, user.Seen().size());
    EXPECT_EQ("Select Folder", user.Seen()[0].caption);
  }
  EXPECT_EQ(target, ControlText(IDD_DIRECTORY, IDC_DIRECTORY));
  {
    CScriptedUser user({IDOK, IDYES});
    Click(IDD_DIRECTORY, IDC_BROWSE);
    const auto seen = user.Seen();
    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ(target, seen[0].controls.at(IDC_FOLDER_PATH));
    EXPECT_EQ(Question(target), seen[1].text);
  }
  EXPECT_EQ(target, ControlText(IDD_DIRECTORY, IDC_DIRECTORY));
  EXPECT_FALSE(DirectoryExists(target));
  {
    CScriptedUser user;
    Click(IDD_DIRECTORY, IDC_NEXT);
    EXPECT_TRUE(user.Seen().empty()) << "the browsed folder is not questioned again";
  }
  EXPECT_EQ(IDD_START_MENU_FOLDER, CurrentPageId());
}

}  // namespace
