#include "setup/wizard/UnregisteringPage.h"

#include <shellapi.h>

#include <algorithm>
#include <array>

#include "framework/WinApp.h"
#include "setup/wizard/SetupState.h"
#include "setup/log/EventTrail.h"
#include "setup/log/InstallLog.h"
#include "setup/system/SystemActions.h"
#include "setup/wizard/RegisteringPage.h"

int CUnregisteringPage::DoPageWork() {
  CSetupState& app = State();
  app.System().UnregisterProduct(CRegisteringPage::ProductProgram(app), app.product, app.verboseLog);
  RecycleInstallLog(app.InstallLog(), AfxGetMainWnd() ? AfxGetMainWnd()->m_hWnd : nullptr);
  return GetNextPageId();
}

void CUnregisteringPage::RecycleInstallLog(CInstallLog& log, HWND owner) {
  // What the removal added (its events, what an ended run left in the
  // journal) goes with the log.
  log.Save();
  if (log.GetPath().IsTooLong()) {
    // A cut name would name another file.
    LogEvent(log, "Could not remove the log file rc=%d ec=%d", -1, static_cast<int>(ERROR_FILENAME_EXCED_RANGE));
    return;
  }
  // The shell takes a list of names, each ended by a NUL and the list by
  // another: the zeroed buffer ends the one name twice.
  std::array<char, MAX_PATH + 2> from{};
  const std::string& path = log.GetPath().GetPath();
  std::copy(path.begin(), path.end(), from.begin());

  SHFILEOPSTRUCTA operation{};
  operation.hwnd = owner;
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.data();
  // Into the Recycle Bin, without a question or a progress window.
  operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO;
  const int rc = ::SHFileOperationA(&operation);
  if (rc != 0) {
    const DWORD error = ::GetLastError();
    LogEvent(log, "Could not remove the log file rc=%d ec=%d", rc, static_cast<int>(error));
    return;
  }
  log.Forget();
}
