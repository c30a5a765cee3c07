#include "setup/wizard/UnregisteringPage.h"

int CUnregisteringPage::DoPageWork() {
  // The registry entries and the install log are removed here once the
  // registry layer and the removal are in.
  return GetNextPageId();
}
