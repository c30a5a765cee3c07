// CTreeCtrl: a thin wrapper over the tree-view control (SysTreeView32),
// usually bound to a dialog's control with SubclassDlgItem.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/Wnd.h"

class CTreeCtrl : public CWnd {
public:
  // Registers the tree-view window class; call before a dialog whose
  // template holds a tree is created. Safe to call more than once. False
  // when the common controls could not be loaded from the system directory.
  static bool RegisterControlClass();

  HIMAGELIST SetImageList(HIMAGELIST list, int type = TVSIL_NORMAL) {
    return reinterpret_cast<HIMAGELIST>(SendMessage(TVM_SETIMAGELIST, static_cast<WPARAM>(type),
                                                    reinterpret_cast<LPARAM>(list)));
  }
  HTREEITEM InsertItem(const TVINSERTSTRUCTA& insert) {
    return reinterpret_cast<HTREEITEM>(SendMessage(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
  }
  bool DeleteItem(HTREEITEM item) { return SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item)) != 0; }
  bool DeleteAllItems() { return DeleteItem(TVI_ROOT); }
  bool GetItem(TVITEMA& item) { return SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) != 0; }
  bool SetItem(const TVITEMA& item) { return SendMessage(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)) != 0; }
  bool Expand(HTREEITEM item, UINT action = TVE_EXPAND) {
    return SendMessage(TVM_EXPAND, action, reinterpret_cast<LPARAM>(item)) != 0;
  }
  bool SelectItem(HTREEITEM item) { return SendMessage(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) != 0; }
  // TVGN_ROOT, TVGN_CHILD, TVGN_NEXT, TVGN_CARET, ... relative to item.
  HTREEITEM GetNextItem(HTREEITEM item, UINT code) {
    return reinterpret_cast<HTREEITEM>(SendMessage(TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
  }
  // Sorts the children of sort.hParent with sort.lpfnCompare.
  bool SortChildrenCB(const TVSORTCB& sort) {
    return SendMessage(TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort)) != 0;
  }
};
