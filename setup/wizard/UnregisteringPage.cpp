#include "setup/wizard/UnregisteringPage.h"

#include "setup/app/SetupApp.h"
#include "setup/profile/DestinationTable.h"
#include "setup/system/AppPath.h"
#include "setup/system/HostMenuEntry.h"
#include "setup/system/KeyTree.h"
#include "setup/system/ProductKey.h"
#include "setup/system/UninstallEntry.h"

CUnregisteringPage::UnregisterAction CUnregisteringPage::unregisterAction = &CUnregisteringPage::UnregisterProduct;

void CUnregisteringPage::UnregisterProduct(const CSetupApp& app) {
  CPathName program = app.destinations->GetPath(0);
  program.SetFileName(app.programFile);
  UnregisterAppPath(program);
  UnregisterUninstallEntry(app.productKeyName);
  UnregisterHostMenuEntry(HKEY_CURRENT_USER);
  UnregisterHostMenuEntry(HKEY_LOCAL_MACHINE);
  DeleteProductKey(HKEY_CURRENT_USER);
  DeleteProductKey(HKEY_LOCAL_MACHINE);
  DeleteKeyTree(HKEY_CLASSES_ROOT, kDocumentExtensionKey);
  DeleteKeyTree(HKEY_CLASSES_ROOT, kDocumentTypeKey);
}

int CUnregisteringPage::DoPageWork() {
  unregisterAction(GetSetupApp());
  // The install log is removed here once the removal of the log is in.
  return GetNextPageId();
}
