#include "setup/wizard/ValidateFolder.h"

#include "framework/WinApp.h"
#include "setup/errors/ErrorReport.h"
#include "setup/resources/ResourceIds.h"
#include "setup/paths/PathName.h"

void ShowEmptyPathMessage() { AfxMessageBox(IDS_EMPTY_PATH, MB_OK); }

bool ValidateFolder(const std::string& path, bool ask, bool removeCreated) {
  if (path.empty()) {
    ShowEmptyPathMessage();
    return false;
  }
  CPathName directory;
  directory.SetDirectory(path);
  if (directory.DirectoryExists()) return true;
  if (ask) {
    CMessageBuffer question;
    FormatMessageId(question, IDS_CREATE_DIRECTORY_QUESTION, path.c_str());
    if (AfxMessageBox(question.text, MB_YESNO | MB_ICONEXCLAMATION) != IDYES) return false;
  }
  if (!directory.CreateDirectory(true)) {
    AfxMessageBox(IDS_CANNOT_CREATE_DIRECTORY, MB_OK);
    return false;
  }
  if (removeCreated) directory.RemoveDirectory();
  return true;
}
