#include "framework/TreeCtrl.h"

void CTreeCtrl::RegisterControlClass() {
  // InitCommonControlsEx came with version 4.70 of the common controls; the
  // first Windows 95 has InitCommonControls only, which registers the tree
  // view with the other classes of its time.
  using InitCommonControlsExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  HMODULE comctl = ::GetModuleHandleA("comctl32.dll");
  const auto initEx = comctl ? reinterpret_cast<InitCommonControlsExFn>(reinterpret_cast<void (*)()>(
                                   ::GetProcAddress(comctl, "InitCommonControlsEx")))
                             : nullptr;
  const INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_TREEVIEW_CLASSES};
  if (!initEx || !initEx(&init)) ::InitCommonControls();
}
