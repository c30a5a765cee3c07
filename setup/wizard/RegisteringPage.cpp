#include "setup/wizard/RegisteringPage.h"

#include "setup/wizard/SetupState.h"
#include "setup/profile/InstallModel.h"
#include "setup/system/StatusMif.h"
#include "setup/system/SystemActions.h"
#include "framework/JoinText.h"

int CRegisteringPage::FinalPage(bool installSucceeded, bool rebootNeeded) {
  if (!installSucceeded) return kFailedPage;
  return rebootNeeded ? IDD_RESTART : IDD_FINISHED;
}

std::string CRegisteringPage::UninstallCommand(const CSetupState& app) {
  const CPathName directory = app.model->destinations.GetPath(app.runFromSource ? 1 : 0);
  const std::string program = directory.GetPath() + CPathName::GetProgramPath().GetFileName();
  // Unquoted, "C:\Program Files\..." would be started as C:\Program.exe
  // whenever such a file exists.
  const bool quoted = program.find(' ') != std::string::npos;
  // The removal of a product the kit names finds its log by its key.
  const std::string product = app.product.named ? " /P:" + app.product.key : std::string();
  const std::string_view quote = quoted ? "\"" : "";
  return JoinText({quote, program, quote, " /U", product});
}

CUninstallEntry CRegisteringPage::UninstallEntry(const CSetupState& app) {
  const std::string command = UninstallCommand(app);
  const CPathName program = ProductProgram(app);
  SYSTEMTIME today;
  ::GetLocalTime(&today);
  return CUninstallEntry{
      .keyName = app.productKeyName,
      .displayName = app.product.DisplayName(),
      .uninstallCommand = command,
      .quietUninstallCommand = command + " /S",
      .displayVersion = app.product.version,
      .publisher = app.product.publisher,
      .installLocation = app.model->destinations.GetPath(app.runFromSource ? 1 : 0).GetDirectory(),
      .displayIcon = program.GetPath(),
      .estimatedSize = app.installedKiB,
      .installDate = UninstallEntryDate(today),
      .urlInfoAbout = app.product.url,
  };
}

CPathName CRegisteringPage::ProductProgram(const CSetupState& app) {
  CPathName program = app.model->destinations.GetPath(0);
  program.SetFileName(app.programFile);
  return program;
}

int CRegisteringPage::DoPageWork() {
  CSetupState& app = State();
  const CPathName program = ProductProgram(app);
  const CUninstallEntry entry = UninstallEntry(app);
  try {
    // A silent installation keeps the keys as they were, to be put back
    // when it is rolled back.
    if (app.transaction.IsActive()) {
      for (const CRegistryKeyName& key : app.System().ProductRegistryKeys(program, entry, app.product)) {
        app.transaction.RegistryKeyChanging(key.root, key.path);
      }
    }
  } catch (...) {
    app.verboseLog.Write("Registry: the product's keys cannot be kept to be put back: they are not written.");
    app.RecordFailure(FailureCause::error);
    SetNextPageId(kFailedPage);
    return GetNextPageId();
  }
  app.System().RegisterProduct(program, entry, app.model->targets, app.product, app.verboseLog);
  SetNextPageId(FinalPage(app.installSucceeded, app.rebootNeeded));
  return GetNextPageId();
}
