#include "framework/TreeCtrl.h"

#include "framework/SystemLibrary.h"

bool CTreeCtrl::RegisterControlClass() {
  // The common controls are loaded by their full path in the system
  // directory and stay loaded for the run: their window classes live in
  // the library.
  static const CSystemLibrary comctl("comctl32.dll");
  // InitCommonControlsEx came with version 4.70 of the common controls; the
  // first Windows 95 has InitCommonControls only, which registers the tree
  // view with the other classes of its time.
  using InitCommonControlsExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  using InitCommonControlsFn = void(WINAPI*)();
  const INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_TREEVIEW_CLASSES};
  if (const auto initEx = comctl.Find<InitCommonControlsExFn>("InitCommonControlsEx"); initEx && initEx(&init)) {
    return true;
  }
  const auto initOld = comctl.Find<InitCommonControlsFn>("InitCommonControls");
  if (!initOld) return false;
  initOld();
  return true;
}
