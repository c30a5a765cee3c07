// CStartMenuFolderPage (162): the Start Menu folder of the product's
// shortcuts, a folder below the user's Programs folder. Next makes sure the
// folder exists or can be made and stores it as the application's
// programFolder.
#pragma once

#include <string>

#include "setup/resources/ResourceIds.h"
#include "setup/wizard/WizardPage.h"

class CStartMenuFolderPage : public CWizardPage {
public:
  CStartMenuFolderPage() : CWizardPage(IDD_START_MENU_FOLDER) {}

  // The user's Programs folder of the Start Menu; empty when the shell
  // cannot tell.
  static std::string ProgramsFolder();
  // A folder text that stays below the Programs folder: not empty, not
  // rooted, no drive, no "." or ".." component.
  static bool IsFolderBelowPrograms(const std::string& folder);
  // The folder text of a folder chosen in the shell's browser: its path
  // below programs; empty when it is programs itself or lies outside.
  static std::string RelativeToPrograms(const std::string& chosen, const std::string& programs);

  const std::string& GetFolder() const { return folder_; }

  // The folder the command line gives, or the model's.
  void Prepare() override;

protected:
  void OnOK() override;
  BOOL OnCommand(UINT id, UINT code, HWND control) override;
  void DoDataExchange(CDataExchange& dx) override;

private:
  void OnBrowse();

  std::string folder_;  // edit 1001
};
