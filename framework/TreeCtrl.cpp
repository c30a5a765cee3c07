#include "framework/TreeCtrl.h"

void CTreeCtrl::RegisterControlClass() {
  INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_TREEVIEW_CLASSES};
  ::InitCommonControlsEx(&init);
}
