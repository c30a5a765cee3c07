#include "setup/wizard/DirectoryPage.h"

#include <cstring>

#include "framework/WinApp.h"
#include "setup/wizard/SetupState.h"
#include "setup/errors/ErrorReport.h"
#include "setup/profile/InstallModel.h"
#include "setup/paths/DriveEnumerator.h"
#include "setup/wizard/FolderTreeDialog.h"
#include "setup/wizard/InsufficientDiskSpaceDialog.h"
#include "setup/wizard/RegistryString.h"
#include "framework/JoinText.h"

namespace {

// The directory named by text as a path that ends with '\'; empty for an
// empty text.
CPathName AsDirectory(const std::string& text) {
  CPathName path;
  path.SetDirectory(text);
  return path;
}

}  // namespace

std::string CDirectoryPage::DefaultDirectory(const std::string& folderName) {
  CPathName path;
  std::string programFiles;
  if (ReadRegistryString(HKEY_LOCAL_MACHINE, kWindowsCurrentVersionKey, "ProgramFilesDir", programFiles) &&
      !programFiles.empty()) {
    path.SetDirectory(programFiles);
  } else {
    CDriveEnumerator drives;
    if (!drives.FindType(DRIVE_FIXED)) return {};
    const char root[] = {drives.Letter(), ':', '\\', '\0'};
    path.SetDirectory(root);
  }
  path.AppendDirectory(folderName);
  return path.GetDirectory();
}

void CDirectoryPage::DoDataExchange(CDataExchange& dx) {
  CWizardPage::DoDataExchange(dx);
  DDX_Text(dx, IDC_DIRECTORY, directory_);
}

void CDirectoryPage::Prepare() {
  const CSetupState& app = State();
  directory_ = app.choices.directory ? *app.choices.directory
                                     : DefaultDirectory(app.model ? app.model->destinations.GetName(0) : std::string());
}

BOOL CDirectoryPage::OnCommand(UINT id, UINT code, HWND control) {
  if (id == IDC_BROWSE && code == BN_CLICKED) {
    OnBrowse();
    return TRUE;
  }
  return CWizardPage::OnCommand(id, code, control);
}

void CDirectoryPage::OnBrowse() {
  UpdateData(true);
  std::string chosen = directory_;
  CFolderTreeDialog dialog(this);
  if (!dialog.ChooseFolder(chosen, {.verify = true, .editable = true, .ask = true})) return;
  directory_ = chosen;
  UpdateData(false);
  // The dialog has made sure that it exists or can be created.
  directoryConfirmed_ = true;
  confirmedDirectory_ = directory_;
}

bool CDirectoryPage::ConfirmDirectory() {
  if (directory_.empty()) return false;  // nothing that could be created
  const CPathName path = AsDirectory(directory_);
  if (directoryConfirmed_ && directory_ == confirmedDirectory_) return true;
  if (path.DirectoryExists()) return true;

  // An unattended run takes the question's default answer, Yes, without
  // waiting for anybody to give it.
  if (State().batchMode) {
    State().verboseLog.Write("Question not asked (unattended run): create the directory \"%s\"? Answer: Yes",
                             directory_.c_str());
  } else {
    CMessageBuffer question;
    FormatMessageId(question, IDS_CREATE_DIRECTORY_QUESTION, directory_.c_str());
    if (AfxMessageBox(question.text, MB_YESNO | MB_ICONEXCLAMATION) != IDYES) return false;
  }
  if (!path.CreateDirectory(true)) return false;
  directoryConfirmed_ = true;
  confirmedDirectory_ = directory_;
  // Only a check that it can be made: the directory is created for real
  // when the copying starts.
  path.RemoveDirectory();
  return true;
}

bool CDirectoryPage::HasEnoughSpace(const std::string& directory) {
  return CheckDiskSpace(AsDirectory(directory), &State().model->files, &State().product);
}

void CDirectoryPage::OnOK() {
  UpdateData(true);
  if (!ConfirmDirectory()) {
    NoteRefusal(JoinText({"the installation directory \"", directory_, "\" does not exist and cannot be created"}));
    AfxMessageBox(IDS_CANNOT_CREATE_DIRECTORY, MB_OK);
    return;
  }
  if (!HasEnoughSpace(directory_)) {
    NoteRefusal(JoinText({"the files do not fit on the drive of \"", directory_, "\""}));
    return;
  }
  CSetupState& app = State();
  app.model->destinations.SetPath(0, directory_);
  app.model->destinations.Resolve();
  GoNext();
}
