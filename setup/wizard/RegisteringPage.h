// CRegisteringPage (1549): registers the installed product with Windows
// (application path, uninstall entry, the host product's menu entry)
// through the application's system actions, then
// ends the installation on the page its outcome calls for: the failure
// page, the restart page when files are replaced at the next start, or
// the finished page.
#pragma once

#include <string>

#include "setup/resources/ResourceIds.h"
#include "setup/paths/PathName.h"
#include "setup/system/UninstallEntry.h"
#include "setup/wizard/WizardPage.h"

class CSetupState;

class CRegisteringPage : public CWizardPage {
public:
  CRegisteringPage() : CWizardPage(IDD_REGISTERING) {}

  int DoPageWork() override;
  // The page that ends an installation with these outcomes.
  static int FinalPage(bool installSucceeded, bool rebootNeeded);

  // The installed product program: programFile in destination 0.
  static CPathName ProductProgram(const CSetupState& app);
  // The command that removes the product: this setup program's file name
  // in the installation directory (the distribution directory when
  // running from the source), in double quotes when it holds a blank,
  // followed by " /U" (and " /P:<key>" for a product the kit names, whose
  // removal finds its log by the key).
  static std::string UninstallCommand(const CSetupState& app);
  // The uninstall entry: the command above and the same with /S for a
  // removal with no window, the product's name, version, publisher and web
  // address, the
  // installation directory, the product program as its icon, the size of
  // the files the copy installed or kept and today's date.
  static CUninstallEntry UninstallEntry(const CSetupState& app);
};
