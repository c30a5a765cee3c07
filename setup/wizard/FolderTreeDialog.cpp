#include "setup/wizard/FolderTreeDialog.h"

#include <cstring>
#include <algorithm>
#include <memory>

#include "framework/ComPtr.h"
#include "setup/resources/ResourceIds.h"
#include "setup/wizard/ValidateFolder.h"

namespace {

constexpr int kTextBufferSize = 260;  // TVITEM text buffer

// Frees a block of the shell allocator.
struct ShellFree {
  IMalloc* malloc;
  void operator()(void* block) const noexcept { malloc->Free(block); }
};
using ShellIdList = std::unique_ptr<ITEMIDLIST, ShellFree>;

// Bytes of an item-id list without its terminating zero.
std::size_t IdListSize(LPCITEMIDLIST list) {
  std::size_t size = 0;
  if (!list) return 0;
  for (auto* item = reinterpret_cast<const BYTE*>(list);;) {
    USHORT cb;
    std::memcpy(&cb, item + size, sizeof cb);
    if (cb == 0) return size;
    size += cb;
  }
}

// first followed by second (either may be null), allocated with malloc;
// null when out of memory.
LPITEMIDLIST CombineIdLists(IMalloc* malloc, LPCITEMIDLIST first, LPCITEMIDLIST second) {
  const std::size_t firstSize = IdListSize(first);
  const std::size_t secondSize = IdListSize(second);
  auto* block = static_cast<BYTE*>(malloc->Alloc(static_cast<SIZE_T>(firstSize + secondSize + sizeof(USHORT))));
  if (!block) return nullptr;
  if (firstSize) std::memcpy(block, first, firstSize);
  if (secondSize) std::memcpy(block + firstSize, second, secondSize);
  std::memset(block + firstSize + secondSize, 0, sizeof(USHORT));
  return reinterpret_cast<LPITEMIDLIST>(block);
}

// Cuts text to at most max bytes without splitting a double-byte character.
void CutText(std::string& text, std::size_t max) {
  if (text.size() <= max) return;
  std::size_t end = 0;
  while (end < text.size()) {
    const std::size_t next = static_cast<std::size_t>(::CharNextA(text.c_str() + end) - text.c_str());
    if (next > max || next == end) break;
    end = next;
  }
  text.resize(end);
}

// The item's display name, cut to CFolderTreeDialog::kMaxDisplayName
// characters; empty when the folder gives none. A wide name is freed with
// the shell allocator that made it.
std::string DisplayName(IMalloc* malloc, IShellFolder* folder, LPCITEMIDLIST item) {
  STRRET name{};
  if (FAILED(folder->GetDisplayNameOf(item, SHGDN_NORMAL, &name))) return {};
  std::string text;
  switch (name.uType) {
    case STRRET_WSTR:
      if (name.pOleStr) {
        const int size = ::WideCharToMultiByte(CP_ACP, 0, name.pOleStr, -1, nullptr, 0, nullptr, nullptr);
        if (size > 0) {
          text.resize(static_cast<std::size_t>(size));
          ::WideCharToMultiByte(CP_ACP, 0, name.pOleStr, -1, text.data(), size, nullptr, nullptr);
          text.resize(std::strlen(text.c_str()));
        }
        malloc->Free(name.pOleStr);
      }
      break;
    case STRRET_OFFSET: {
      const char* start = reinterpret_cast<const char*>(item) + name.uOffset;
      text.assign(start, strnlen(start, CFolderTreeDialog::kMaxDisplayName));
      break;
    }
    case STRRET_CSTR:
      text.assign(name.cStr, strnlen(name.cStr, sizeof name.cStr));
      break;
    default:
      break;
  }
  CutText(text, CFolderTreeDialog::kMaxDisplayName);
  return text;
}

int SystemIconIndex(LPCITEMIDLIST absolute, UINT extraFlags) {
  SHFILEINFOA info{};
  ::SHGetFileInfoA(reinterpret_cast<LPCSTR>(absolute), 0, &info, sizeof info,
                   SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | extraFlags);
  return info.iIcon;
}

}  // namespace

CFolderTreeDialog::CFolderTreeDialog(CWnd* parent) : CDialog(IDD_FOLDER_TREE, parent) {
  CTreeCtrl::RegisterControlClass();
}

bool CFolderTreeDialog::ChooseFolder(std::string& path, CFolderChoice choice) {
  if (path.empty()) {
    ShowEmptyPathMessage();
    return false;
  }
  SetOptions(path, choice);
  if (DoModal() != IDOK) return false;
  path = path_;
  return true;
}

void CFolderTreeDialog::SetOptions(const std::string& path, CFolderChoice choice) {
  path_ = path;
  verify_ = choice.verify ? 1 : 0;
  editable_ = choice.editable ? 1 : 0;
  ask_ = choice.ask ? 1 : 0;
}

void CFolderTreeDialog::DoDataExchange(CDataExchange& dx) {
  CDialog::DoDataExchange(dx);
  DDX_Text(dx, IDC_FOLDER_PATH, path_);
}

BOOL CFolderTreeDialog::OnInitDialog() {
  tree_.SubclassDlgItem(IDC_FOLDER_TREE, this);
  CDialog::OnInitDialog();
  ::ShowWindow(GetDlgItem(IDC_FOLDER_PATH), editable_ ? SW_SHOW : SW_HIDE);
  CenterWindow();
  UpdateData(false);

  // The small icons of the system image list, which the shell shares: the
  // tree only borrows it.
  SHFILEINFOA info{};
  const auto images = reinterpret_cast<HIMAGELIST>(
      ::SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  tree_.SetImageList(images, TVSIL_NORMAL);
  FillTree();
  return TRUE;
}

void CFolderTreeDialog::OnOK() {
  UpdateData(true);
  // An empty path is never a choice, whether or not the folder is verified.
  if (path_.empty()) {
    ShowEmptyPathMessage();
    return;
  }
  if (verify_ && !ValidateFolder(path_, ask_ != 0, true)) return;
  CDialog::OnOK();
}

void CFolderTreeDialog::OnDestroy() {
  // Frees every item's data now, while the notifications still reach us.
  if (tree_.m_hWnd) tree_.DeleteAllItems();
  CDialog::OnDestroy();
}

void CFolderTreeDialog::FillTree() {
  CComPtr<IShellFolder> desktop;
  if (FAILED(::SHGetDesktopFolder(&desktop)) || !desktop) return;
  tree_.DeleteAllItems();
  HTREEITEM first = InsertChildren(desktop.get(), nullptr, TVI_ROOT);
  desktop.Release();
  SortChildren(TVI_ROOT);
  if (first) tree_.Expand(first, TVE_EXPAND);
}

HTREEITEM CFolderTreeDialog::InsertChildren(IShellFolder* folder, LPCITEMIDLIST parentAbsolute,
                                            HTREEITEM parentItem) {
  HTREEITEM first = nullptr;
  int shown = 0;
  CComPtr<IMalloc> malloc;
  CComPtr<IEnumIDList> items;
  if (SUCCEEDED(::SHGetMalloc(&malloc)) && malloc &&
      folder->EnumObjects(m_hWnd, SHCONTF_FOLDERS, &items) == S_OK && items) {
    LPITEMIDLIST next = nullptr;
    ULONG fetched = 0;
    while (items->Next(1, &next, &fetched) == S_OK && next) {
      const ShellIdList item(next, ShellFree{malloc.get()});
      next = nullptr;

      LPCITEMIDLIST one = item.get();
      SFGAOF attributes = SFGAO_HASSUBFOLDER | SFGAO_FOLDER | SFGAO_FILESYSTEM;
      if (FAILED(folder->GetAttributesOf(1, &one, &attributes))) continue;
      const bool hasSubfolders = (attributes & SFGAO_HASSUBFOLDER) != 0;
      if (!(attributes & SFGAO_FOLDER) || !(hasSubfolders || (attributes & SFGAO_FILESYSTEM))) continue;

      char text[kTextBufferSize] = {};
      const std::string name = DisplayName(malloc.get(), folder, item.get());
      std::memcpy(text, name.data(), std::min(name.size(), sizeof text - 1));

      std::unique_ptr<ItemData, void (*)(ItemData*) noexcept> data(
          static_cast<ItemData*>(malloc->Alloc(sizeof(ItemData))), &FreeItemData);
      if (!data) continue;
      *data = ItemData{nullptr, nullptr, nullptr};
      data->relative = CombineIdLists(malloc.get(), nullptr, item.get());
      data->absolute = CombineIdLists(malloc.get(), parentAbsolute, item.get());
      if (!data->relative || !data->absolute) continue;
      data->parentFolder = folder;
      folder->AddRef();

      TVINSERTSTRUCTA insert{};
      insert.hParent = parentItem;
      insert.hInsertAfter = TVI_FIRST;
      insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
      insert.item.pszText = text;
      insert.item.cchTextMax = kTextBufferSize;
      insert.item.iImage = SystemIconIndex(data->absolute, 0);
      insert.item.iSelectedImage = SystemIconIndex(data->absolute, SHGFI_OPENICON);
      insert.item.lParam = reinterpret_cast<LPARAM>(data.get());
      if (hasSubfolders) {
        insert.item.mask |= TVIF_CHILDREN;
        insert.item.cChildren = 1;
      }
      HTREEITEM inserted = tree_.InsertItem(insert);
      if (!inserted) continue;
      data.release();  // the tree owns it now: freed at TVN_DELETEITEM
      if (!first) first = inserted;
      ++shown;
    }
  }
  if (shown == 0 && parentItem && parentItem != TVI_ROOT) {
    TVITEMA noChildren{};
    noChildren.mask = TVIF_HANDLE | TVIF_CHILDREN;
    noChildren.hItem = parentItem;
    noChildren.cChildren = 0;
    tree_.SetItem(noChildren);
  }
  return first;
}

void CFolderTreeDialog::SortChildren(HTREEITEM parentItem) {
  TVSORTCB sort{};
  sort.hParent = parentItem;
  sort.lpfnCompare = &CompareItems;
  sort.lParam = 0;
  tree_.SortChildrenCB(sort);
}

int CALLBACK CFolderTreeDialog::CompareItems(LPARAM first, LPARAM second, LPARAM) noexcept {
  try {
    const auto* a = reinterpret_cast<const ItemData*>(first);
    const auto* b = reinterpret_cast<const ItemData*>(second);
    if (!a || !b || !a->parentFolder) return 0;
    const HRESULT result = a->parentFolder->CompareIDs(0, a->relative, b->relative);
    if (FAILED(result)) return 0;
    return static_cast<short>(HRESULT_CODE(result));
  } catch (...) {
    return 0;  // an item that cannot be compared sorts as equal
  }
}

void CFolderTreeDialog::FreeItemData(ItemData* data) noexcept {
  if (!data) return;
  if (data->parentFolder) data->parentFolder->Release();
  CComPtr<IMalloc> malloc;
  if (FAILED(::SHGetMalloc(&malloc)) || !malloc) return;
  if (data->relative) malloc->Free(data->relative);
  if (data->absolute) malloc->Free(data->absolute);
  malloc->Free(data);
}

BOOL CFolderTreeDialog::OnNotify(NMHDR* header, LRESULT* result) {
  if (!header || header->idFrom != IDC_FOLDER_TREE) return CDialog::OnNotify(header, result);
  const auto& info = *reinterpret_cast<const NMTREEVIEWA*>(header);  // A and W share the layout used here
  switch (header->code) {
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW:
      OnItemExpanding(info);
      *result = FALSE;  // let it expand
      return TRUE;
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW:
      OnSelectionChanged(info);
      *result = 0;
      return TRUE;
    case TVN_DELETEITEMA:
    case TVN_DELETEITEMW:
      FreeItemData(reinterpret_cast<ItemData*>(info.itemOld.lParam));
      *result = 0;
      return TRUE;
    default:
      return CDialog::OnNotify(header, result);
  }
}

CComPtr<IShellFolder> CFolderTreeDialog::BindItemFolder(const ItemData& data) {
  CComPtr<IShellFolder> folder;
  if (FAILED(data.parentFolder->BindToObject(data.relative, nullptr, IID_IShellFolder,
                                             reinterpret_cast<void**>(&folder)))) {
    return {};
  }
  return folder;
}

void CFolderTreeDialog::OnItemExpanding(const NMTREEVIEWA& info) {
  TVITEMA item{};
  item.mask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM;
  item.hItem = info.itemNew.hItem;
  item.stateMask = TVIS_EXPANDEDONCE;
  if (!tree_.GetItem(item) || (item.state & TVIS_EXPANDEDONCE)) return;
  const auto* data = reinterpret_cast<const ItemData*>(item.lParam);
  if (!data) return;
  const CComPtr<IShellFolder> folder = BindItemFolder(*data);
  if (!folder) return;
  InsertChildren(folder.get(), data->absolute, item.hItem);
  SortChildren(item.hItem);
}

void CFolderTreeDialog::OnSelectionChanged(const NMTREEVIEWA& info) {
  const auto* data = reinterpret_cast<const ItemData*>(info.itemNew.lParam);
  if (!data) return;
  const CComPtr<IShellFolder> folder = BindItemFolder(*data);
  if (!folder) return;
  char path[MAX_PATH] = {};
  path_ = ::SHGetPathFromIDListA(data->absolute, path) ? path : "";
  SetDlgItemText(IDC_FOLDER_PATH, path_);
}
