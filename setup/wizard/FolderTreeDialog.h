// CFolderTreeDialog ("Select Folder", 156): the user types a destination
// folder or picks one in a tree of the shell namespace, which starts at
// the desktop and fills each folder's level when it is first expanded.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <string>

#include "setup/wizard/FolderChoice.h"
#include "framework/ComPtr.h"
#include "framework/Dialog.h"
#include "framework/TreeCtrl.h"

class CFolderTreeDialog : public CDialog {
public:
  explicit CFolderTreeDialog(CWnd* parent = nullptr);

  // Lets the user choose a folder, starting from path. An empty path is
  // refused with a message before any dialog shows. verify: on OK the
  // folder must exist or be creatable (it is not left created); editable:
  // the path can be typed; ask: ask before a missing folder is created.
  // True on OK, with path set to the chosen folder.
  bool ChooseFolder(std::string& path, CFolderChoice choice);

  // The options and starting path of the next dialog, for a dialog that is
  // created modeless rather than run by ChooseFolder.
  void SetOptions(const std::string& path, CFolderChoice choice);
  const std::string& GetPath() const { return path_; }

  // Text of display names is cut to this many characters.
  static constexpr std::size_t kMaxDisplayName = 256;

protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void DoDataExchange(CDataExchange& dx) override;
  BOOL OnNotify(NMHDR* header, LRESULT* result) override;
  void OnDestroy() override;

private:
  // What a tree item holds, allocated with the shell allocator and freed
  // when the item is deleted.
  struct ItemData {
    IShellFolder* parentFolder;  // a reference held
    LPITEMIDLIST relative;       // within parentFolder
    LPITEMIDLIST absolute;       // from the desktop
  };

  // The folder an item stands for; null when it cannot be bound (an item
  // that is no folder to the shell).
  static CComPtr<IShellFolder> BindItemFolder(const ItemData& data);
  // Fills the tree with the desktop's folders.
  void FillTree();
  // Inserts the folders of folder under parentItem (parentAbsolute is the
  // folder's own list from the desktop, null for the desktop). Returns the
  // first inserted item, or null; a parent that gets none loses its button.
  HTREEITEM InsertChildren(IShellFolder* folder, LPCITEMIDLIST parentAbsolute, HTREEITEM parentItem);
  void SortChildren(HTREEITEM parentItem);
  void OnItemExpanding(const NMTREEVIEWA& info);
  void OnSelectionChanged(const NMTREEVIEWA& info);
  static void FreeItemData(ItemData* data) noexcept;
  static int CALLBACK CompareItems(LPARAM first, LPARAM second, LPARAM) noexcept;

  CTreeCtrl tree_;
  std::string path_;  // edit 1002
  int verify_ = 0;
  int editable_ = 1;
  int ask_ = 0;
};
