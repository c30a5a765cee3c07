// CDirectoryPage (104): the installation directory. It proposes the
// product's folder under the system's program files directory (or on the
// first fixed drive), asks before a missing directory is created (in batch
// mode it takes the answer Yes without asking), and on Next makes the
// directory destination 0. Passed over when the product runs from the
// distribution.
#pragma once

#include <string>

#include "setup/resources/ResourceIds.h"
#include "setup/wizard/WizardPage.h"

class CDirectoryPage : public CWizardPage {
public:
  CDirectoryPage() : CWizardPage(IDD_DIRECTORY) {}

  // The directory proposed for a product folder name: the folder under the
  // program files directory of the registry, or else in the root of the
  // first fixed drive; empty when neither can be had.
  static std::string DefaultDirectory(const std::string& folderName);

  const std::string& GetDirectory() const { return directory_; }

  // The directory the command line gives, or the proposed one.
  void Prepare() override;

protected:
  void OnOK() override;
  BOOL OnCommand(UINT id, UINT code, HWND control) override;
  void DoDataExchange(CDataExchange& dx) override;

private:
  // Bro&wse...: lets the user pick a folder; a folder picked there counts
  // as confirmed and is not questioned again.
  void OnBrowse();
  // The directory must exist, or the user agrees to create it (batch mode
  // agrees by itself) and it can be created. True when the page may go on.
  bool ConfirmDirectory();
  // Whether the selected files fit on the directory's drive; shows why not.
  bool HasEnoughSpace(const std::string& directory);

  std::string directory_;           // edit 1001
  bool directoryConfirmed_ = false;
  std::string confirmedDirectory_;  // the text that was confirmed
};
