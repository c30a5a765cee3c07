// The wizard's walks, forwards and back, through real page windows: the
// skip rules, the previous-page links, Cancel, the page runner's failure
// path and batch mode, and the exit code each way of ending gives.
#include <algorithm>

#include "WizardTestSupport.h"
#include "framework/Resources.h"
#include "setup/profile/InstallModel.h"
#include "setup/resources/ResourceIds.h"
#include "setup/profile/InstallModel.h"
#include "setup/wizard/ButtonBar.h"
#include "setup/wizard/CopyProgressPage.h"
#include "setup/wizard/DirectoryPage.h"
#include "setup/wizard/InstallConditionsPage.h"
#include "setup/wizard/Wizard.h"
#include "setup/wizard/WizardPage.h"
#include "setup/wizard/WizardStep.h"
#include "tests/support/TestFiles.h"

namespace {

class NavigationTest : public WizardTest {
protected:
  // Ends the run as the program does once its main window is gone; returns
  // the exit code.
  int EndRun() { return app_->ExitInstance(); }
};

TEST_F(NavigationTest, BackFromTheAgreementSkipsTheReadingPageAndBackFromTheDirectoryLandsOnTheAgreement) {
  WriteProfile();
  CScriptedUser user;
  wizard().ShowPage(IDD_WELCOME, false);
  Settle();
  ASSERT_EQ(IDD_WELCOME, CurrentPageId());
  EXPECT_FALSE(::IsWindowEnabled(Control(IDD_WELCOME, IDC_BACK))) << "the first page has nowhere to go back to";
  EXPECT_TRUE(::IsWindowEnabled(Control(IDD_WELCOME, IDC_NEXT)));
  EXPECT_FALSE(::IsWindowVisible(Control(IDD_WELCOME, IDHELP)));

  Click(IDD_WELCOME, IDC_NEXT);  // the reading page works and moves on by itself
  ASSERT_EQ(IDD_AGREEMENT, CurrentPageId());
  EXPECT_FALSE(Page(IDD_READING_SETUP)->IsWindowVisible());
  EXPECT_EQ(IDD_READING_SETUP, Page(IDD_AGREEMENT)->GetPreviousPageId());

  Click(IDD_AGREEMENT, IDC_BACK);
  EXPECT_EQ(IDD_WELCOME, CurrentPageId());
  Click(IDD_WELCOME, IDC_NEXT);
  EXPECT_EQ(IDD_AGREEMENT, CurrentPageId()) << "the setup information is read once";

  Click(IDD_AGREEMENT, IDC_NEXT);  // conditions met: 1537 is passed over
  ASSERT_EQ(IDD_DIRECTORY, CurrentPageId());
  EXPECT_EQ(0, Page(IDD_INSTALL_CONDITIONS)->GetPreviousPageId()) << "a skipped page records no previous page";
  EXPECT_EQ(IDD_AGREEMENT, Page(IDD_DIRECTORY)->GetPreviousPageId());
  Click(IDD_DIRECTORY, IDC_BACK);
  EXPECT_EQ(IDD_AGREEMENT, CurrentPageId());
  EXPECT_TRUE(user.Seen().empty());
  EXPECT_TRUE(app_->installSucceeded);
}

TEST_F(NavigationTest, UnmetConditionsEndOnTheFailurePageUnlessIgnored) {
  app_->system.majorVersion = 3;
  WriteProfile();
  CScriptedUser user;
  wizard().ShowPage(IDD_WELCOME, false);
  Settle();
  Click(IDD_WELCOME, IDC_NEXT);
  Click(IDD_AGREEMENT, IDC_NEXT);
  ASSERT_EQ(IDD_INSTALL_CONDITIONS, CurrentPageId());
  EXPECT_EQ("- " + LoadResourceString(IDS_NEEDS_WINDOWS_4) + "\r\n", ControlText(IDD_INSTALL_CONDITIONS, IDC_CONDITIONS));
  EXPECT_FALSE(::IsWindowVisible(Control(IDD_INSTALL_CONDITIONS, IDOK))) << "&Continue is never shown";

  Click(IDD_INSTALL_CONDITIONS, IDC_BACK);
  EXPECT_EQ(IDD_AGREEMENT, CurrentPageId());
  Click(IDD_AGREEMENT, IDC_NEXT);
  ASSERT_EQ(IDD_INSTALL_CONDITIONS, CurrentPageId());
  EXPECT_EQ("- " + LoadResourceString(IDS_NEEDS_WINDOWS_4) + "\r\n", Page(IDD_INSTALL_CONDITIONS) ?
            static_cast<CInstallConditionsPage*>(Page(IDD_INSTALL_CONDITIONS))->GetConditionsText() : "")
      << "the list is not repeated on a second arrival";

  Click(IDD_INSTALL_CONDITIONS, IDC_NEXT);
  EXPECT_EQ(IDD_FAILED, CurrentPageId());
  EXPECT_FALSE(app_->installSucceeded) << "ending on the failure page is a failed installation";
  EXPECT_EQ(LoadResourceString(IDS_NOT_INSTALLED), ControlText(IDD_FAILED, IDC_PAGE_TEXT));
  EXPECT_TRUE(user.Seen().empty());
  Click(IDD_FAILED, IDOK);
  EXPECT_EQ(1603, EndRun()) << "unmet requirements are no choice of the user";
}

TEST_F(NavigationTest, IgnoringConditionsGoesOnToTheDirectoryAndBackReturnsToTheConditions) {
  app_->system.majorVersion = 3;
  app_->ignoreConditions = true;
  WriteProfile();
  wizard().ShowPage(IDD_WELCOME, false);
  Settle();
  Click(IDD_WELCOME, IDC_NEXT);
  Click(IDD_AGREEMENT, IDC_NEXT);
  ASSERT_EQ(IDD_INSTALL_CONDITIONS, CurrentPageId());
  Click(IDD_INSTALL_CONDITIONS, IDC_NEXT);
  ASSERT_EQ(IDD_DIRECTORY, CurrentPageId());
  EXPECT_TRUE(app_->installSucceeded);
  Click(IDD_DIRECTORY, IDC_BACK);
  EXPECT_EQ(IDD_INSTALL_CONDITIONS, CurrentPageId());
}

TEST_F(NavigationTest, CancelAsksAndNoStaysYesFails) {
  WriteProfile();
  wizard().ShowPage(IDD_WELCOME, false);
  Settle();
  Click(IDD_WELCOME, IDC_NEXT);
  ASSERT_EQ(IDD_AGREEMENT, CurrentPageId());
  {
    CScriptedUser user({IDNO});
    Click(IDD_AGREEMENT, IDCANCEL);  // reads "&No" here
    ASSERT_EQ(1u, user.Seen().size());
    EXPECT_EQ("Veltrane Setup", user.Seen()[0].caption);
    EXPECT_EQ(LoadResourceString(IDS_CONFIRM_EXIT), user.Seen()[0].text);
  }
  EXPECT_EQ(IDD_AGREEMENT, CurrentPageId());
  EXPECT_TRUE(app_->installSucceeded);
  {
    CScriptedUser user({IDYES});
    PressEscape(IDD_AGREEMENT);
    EXPECT_EQ(1u, user.Seen().size());
  }
  EXPECT_EQ(IDD_FAILED, CurrentPageId());
  EXPECT_FALSE(app_->installSucceeded);
  EXPECT_EQ(FailureCause::user, app_->failureCause);
  Click(IDD_FAILED, IDOK);
  EXPECT_TRUE(app_->MainWindowGone());
  EXPECT_EQ(1602, EndRun());
}

TEST_F(NavigationTest, CancelOnAFinalPageEndsWithoutAQuestion) {
  for (const int finalPage : {IDD_FAILED, IDD_FINISHED, IDD_REMOVED, IDD_RESTART}) {
    SCOPED_TRACE(finalPage);
    TearDown();
    SetUp();
    CScriptedUser user;
    wizard().ShowPage(finalPage, false);
    Settle();
    ASSERT_EQ(finalPage, CurrentPageId());
    PressEscape(finalPage);
    EXPECT_TRUE(app_->MainWindowGone()) << "the program ends";
    EXPECT_TRUE(user.Seen().empty());
    EXPECT_TRUE(app_->installSucceeded) << "Cancel here is no cancellation";
  }
}

TEST_F(NavigationTest, RemoveWalkAndCancelOnTheRemoveConfirmationWithoutAQuestion) {
  WriteProfile();  // read as the install log
  app_->removeMode = true;
  {
    CScriptedUser user;
    wizard().ShowPage(IDD_REMOVE_CONFIRM, false);
    Settle();
    ASSERT_EQ(IDD_REMOVE_CONFIRM, CurrentPageId());
    EXPECT_FALSE(::IsWindowEnabled(Control(IDD_REMOVE_CONFIRM, IDC_BACK)));
    PressEscape(IDD_REMOVE_CONFIRM);
    EXPECT_EQ(IDD_FAILED, CurrentPageId());
    EXPECT_FALSE(app_->installSucceeded);
    EXPECT_EQ(LoadResourceString(IDS_NOT_REMOVED), ControlText(IDD_FAILED, IDC_PAGE_TEXT));
    EXPECT_TRUE(user.Seen().empty());
    Click(IDD_FAILED, IDOK);
    EXPECT_EQ(1602, EndRun()) << "the user kept the product";
  }
  TearDown();
  SetUp();
  // The removal reads the install log, as the program does in remove mode.
  app_->profilePath = app_->logPath;
  // Files removed in quick succession: the page may skip one, never the last.
  WriteProfile(true, "[program]\r\nreadme.txt=0|1|0\r\nveltapp.exe=0|1|0\r\n[samples]\r\n");
  const std::string installed = scratch_ + "Veltrane\\veltapp.exe";
  ASSERT_TRUE(::CreateDirectoryA((scratch_ + "Veltrane").c_str(), nullptr));
  ASSERT_TRUE(WriteFileBytes(installed, "program"));
  ASSERT_TRUE(WriteFileBytes(scratch_ + "Veltrane\\readme.txt", "text"));
  app_->removeMode = true;
  CScriptedUser user;
  wizard().ShowPage(IDD_REMOVE_CONFIRM, false);
  Settle();
  Click(IDD_REMOVE_CONFIRM, IDC_NEXT);  // reads the log, removes, unregisters
  ASSERT_EQ(IDD_REMOVED, CurrentPageId());
  EXPECT_EQ(IDD_REMOVING_FILES, Page(IDD_READING_SETUP)->GetNextPageId());
  EXPECT_EQ(installed, ControlText(IDD_REMOVING_FILES, IDC_REMOVING_FILE)) << "the file removed last";
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA((scratch_ + "Veltrane").c_str())) << "file and directory";
  EXPECT_EQ(1, app_->system.shortcutRemovals);
  EXPECT_EQ(1, app_->system.unregistrations);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(app_->logPath.c_str())) << "the log is in the Recycle Bin";
  Click(IDD_REMOVED, IDOK);
  EXPECT_TRUE(app_->MainWindowGone());
  EXPECT_TRUE(app_->installSucceeded);
  EXPECT_TRUE(user.Seen().empty());
  EXPECT_EQ(0, EndRun());
}

TEST_F(NavigationTest, TheRemovingPageCannotBeLeftWhileItWorks) {
  app_->profilePath = app_->logPath;
  WriteProfile(true, "[program]\r\nveltapp.exe=0|1|0\r\n[samples]\r\n");
  app_->removeMode = true;
  app_->model->destinations.Load(app_->logPath);
  app_->model->destinations.Resolve();
  app_->model->groups.Load(app_->logPath);
  CScriptedUser user;
  // Esc and Enter pressed while it removes the file: they wait behind the
  // page's work in the queue, and the work lets them through.
  wizard().ShowPage(IDD_REMOVING_FILES, false);
  CWizardPage* removing = Page(IDD_REMOVING_FILES);
  ASSERT_NE(nullptr, removing);
  ::PostMessageA(removing->m_hWnd, WM_COMMAND, IDCANCEL, 0);
  ::PostMessageA(removing->m_hWnd, WM_COMMAND, IDOK, 0);
  Settle();
  EXPECT_EQ(IDD_REMOVED, CurrentPageId());
  EXPECT_TRUE(app_->installSucceeded);
  EXPECT_TRUE(user.Seen().empty()) << "no question";
  EXPECT_FALSE(::IsWindowVisible(Control(IDD_REMOVING_FILES, IDCANCEL))) << "no Cancel button";
}

TEST_F(NavigationTest, AProfileWithoutDestinationsIsReportedAndEndsOnTheFailurePage) {
  WriteProfile(false);
  CScriptedUser user({IDOK});
  wizard().ShowPage(IDD_WELCOME, false);
  Settle();
  Click(IDD_WELCOME, IDC_NEXT);
  ASSERT_EQ(1u, user.Seen().size());
  EXPECT_EQ("Warning", user.Seen()[0].caption);
  EXPECT_EQ("9.0 (CInstallProfileException)", user.Seen()[0].information);
  EXPECT_EQ(IDD_FAILED, CurrentPageId());
  EXPECT_FALSE(app_->installSucceeded);
  EXPECT_TRUE(app_->handled.empty()) << "the page runner handles it";
  EXPECT_EQ(FailureCause::error, app_->failureCause);
  Click(IDD_FAILED, IDOK);
  EXPECT_EQ(1603, EndRun());
}

TEST_F(NavigationTest, ADisketteNotGivenDuringTheCopyEndsTheRunAsTheUsersChoice) {
  // A file that lies on a second diskette, which nobody inserts.
  WriteProfile(true, "[program]\r\nlater.txt=5|0|1|2|0|\r\n[samples]\r\n");
  app_->sourceDir = CPathName(scratch_);
  app_->runFromSource = false;
  wizard().ShowPage(IDD_WELCOME, false);
  Settle();
  Click(IDD_WELCOME, IDC_NEXT);
  Click(IDD_AGREEMENT, IDC_NEXT);
  Type(IDD_DIRECTORY, IDC_DIRECTORY, scratch_ + "Product");
  ASSERT_TRUE(::CreateDirectoryA((scratch_ + "Product").c_str(), nullptr));
  Click(IDD_DIRECTORY, IDC_NEXT);
  Click(IDD_START_MENU_FOLDER, IDC_NEXT);
  Type(IDD_USER_INFO, IDC_USER_NAME, "Ada");
  Click(IDD_USER_INFO, IDC_NEXT);
  ASSERT_EQ(IDD_READY_TO_COPY, CurrentPageId());
  {
    CScriptedUser user;  // cancels the Insert Diskette dialog
    Click(IDD_READY_TO_COPY, IDC_NEXT);
    // (The billboard shown over the copy counts as a box to the user too.)
    const auto seen = user.Seen();
    EXPECT_EQ(1, std::count_if(seen.begin(), seen.end(),
                               [](const SeenBox& box) { return box.caption == "Insert Diskette"; }));
  }
  ASSERT_EQ(IDD_FAILED, CurrentPageId());
  EXPECT_EQ(CopyStop::userCancelled, static_cast<CCopyProgressPage*>(Page(IDD_COPY_PROGRESS))->GetCopyStop());
  EXPECT_EQ(FailureCause::user, app_->failureCause);
  Click(IDD_FAILED, IDOK);
  EXPECT_EQ(1602, EndRun());
}

TEST_F(NavigationTest, BatchModeWalksByItselfToTheEnd) {
  WriteProfile();
  app_->batchMode = true;
  app_->runFromSource = true;  // no directory to confirm, no user name needed
  CScriptedUser user;
  wizard().ShowPage(IDD_WELCOME, false);
  Settle();
  EXPECT_TRUE(app_->MainWindowGone());
  EXPECT_TRUE(user.Seen().empty());
  EXPECT_TRUE(app_->installSucceeded);
  EXPECT_EQ(1, app_->system.shortcutCreations) << "the copy page creates the shortcuts once, also from the source";
  const std::string source = CPathName(SpecialDirectory::setup).GetPath();
  EXPECT_EQ("Veltrane", app_->system.shortcutGroup);
  EXPECT_EQ(source, app_->system.shortcutDirectory);
  EXPECT_EQ(1, app_->system.registrations);
  EXPECT_EQ(source + "veltapp.exe", app_->system.registeredProgram);
  EXPECT_EQ("Veltrane", app_->system.productKeyName);
  for (const int id : {IDD_WELCOME, IDD_AGREEMENT, IDD_START_MENU_FOLDER, IDD_READY_TO_COPY, IDD_COPY_PROGRESS,
                       IDD_REGISTERING, IDD_FINISHED}) {
    EXPECT_NE(nullptr, Page(id)) << id << " was walked";
  }
  ASSERT_NE(nullptr, Page(IDD_DIRECTORY));
  EXPECT_EQ(nullptr, Page(IDD_DIRECTORY)->m_hWnd) << "passed over";
  EXPECT_EQ(nullptr, Page(IDD_FAILED));
  EXPECT_EQ(0, EndRun());
}

// The product's folder under the program files directory, named for this
// test program so that it is missing; removed again when the object goes.
struct MissingDefaultDirectory {
  std::string name = "VeltNav" + std::to_string(::GetCurrentProcessId());
  std::string path = CDirectoryPage::DefaultDirectory(name);
  ~MissingDefaultDirectory() { ::RemoveDirectoryA(path.c_str()); }
};

// Uses name for destination 0 in the test's profile.
void NameTheProductFolder(const CPathName& profilePath, const std::string& name) {
  std::string profile = ReadFileBytes(profilePath.GetPath());
  const std::string from = "0=Veltrane|";
  profile.replace(profile.find(from), from.size(), "0=" + name + "|");
  ASSERT_TRUE(WriteFileBytes(profilePath.GetPath(), profile));
}

TEST_F(NavigationTest, BatchModeCreatesAMissingDirectoryWithoutAskingAndGoesOn) {
  const MissingDefaultDirectory folder;
  ASSERT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(folder.path.c_str())) << folder.path;
  WriteProfile();
  NameTheProductFolder(app_->profilePath, folder.name);
  app_->batchMode = true;
  CScriptedUser user;
  wizard().ShowPage(IDD_WELCOME, false);
  Settle();
  EXPECT_TRUE(user.Seen().empty()) << "no question about the directory";
  EXPECT_NE(nullptr, Page(IDD_START_MENU_FOLDER)) << "the walk went past the directory page";
  EXPECT_EQ(folder.path + "\\", app_->model->destinations.GetPath(0).GetPath());
  EXPECT_TRUE(app_->installSucceeded);
}

TEST_F(NavigationTest, ASilentWalkGoesThroughTheSameStepsWithoutAnyWindow) {
  WriteProfile();
  app_->batchMode = app_->silentMode = true;
  app_->runFromSource = true;
  const std::string logFile = scratch_ + "silent.log";
  ASSERT_TRUE(app_->verboseLog.Open(logFile));
  CScriptedUser user;
  wizard().WalkUnseen(IDD_WELCOME);
  EXPECT_TRUE(wizard().HasEnded());
  EXPECT_TRUE(user.Seen().empty());
  EXPECT_TRUE(app_->installSucceeded);
  EXPECT_EQ(1, app_->system.shortcutCreations);
  EXPECT_EQ(1, app_->system.registrations);
  for (const int id : {IDD_WELCOME, IDD_READING_SETUP, IDD_AGREEMENT, IDD_START_MENU_FOLDER, IDD_READY_TO_COPY,
                       IDD_COPY_PROGRESS, IDD_REGISTERING, IDD_FINISHED}) {
    ASSERT_NE(nullptr, Page(id)) << id << " was walked";
    EXPECT_EQ(nullptr, Page(id)->m_hWnd) << id << " has no window";
  }
  EXPECT_EQ(IDD_FINISHED, wizard().GetCurrentPage()->GetPageId()) << "the page the run ends on";
  EXPECT_EQ(nullptr, Page(IDD_FAILED));
  // The log names each page by the caption its window would have had.
  const std::string log = ReadFileBytes(logFile);
  for (const char* line : {"Page 102 entered: Welcome", "Page 150 entered: License Agreement",
                           "Page 162 entered: Select Start Menu Folder", "Page 115 entered: Veltrane Setup"}) {
    EXPECT_NE(std::string::npos, log.find(line)) << line << " in:\n" << log;
  }
  EXPECT_EQ(std::string::npos, log.find("Page 104 entered")) << "passed over, as in a seen walk";
  EXPECT_EQ(0, EndRun());
}

TEST_F(NavigationTest, ASilentWalkFailsWhereAPageRefusesItsInputAndEndsOnTheFailurePage) {
  WriteProfile();
  NameTheProductFolder(app_->profilePath, "Velt?rane");
  app_->batchMode = app_->silentMode = true;
  CScriptedUser user;
  wizard().WalkUnseen(IDD_WELCOME);
  EXPECT_TRUE(wizard().HasEnded());
  EXPECT_TRUE(user.Seen().empty()) << "the message is answered unseen";
  EXPECT_EQ(IDD_FAILED, wizard().GetCurrentPage()->GetPageId());
  EXPECT_EQ(nullptr, Page(IDD_DIRECTORY)->m_hWnd);
  EXPECT_EQ(1603, EndRun());
}

TEST_F(NavigationTest, BatchModeStopsWhereAPageRefusesItsInput) {
  WriteProfile();
  // A name no directory can have: the default directory cannot be made.
  NameTheProductFolder(app_->profilePath, "Velt?rane");
  app_->batchMode = true;
  CScriptedUser user({IDOK});
  wizard().ShowPage(IDD_WELCOME, false);
  Settle();
  EXPECT_EQ(IDD_DIRECTORY, wizard().GetCurrentPage()->GetPageId());
  EXPECT_FALSE(app_->MainWindowGone());
  const auto seen = user.Seen();
  ASSERT_EQ(1u, seen.size()) << "no question before the creation is tried";
  EXPECT_EQ(LoadResourceString(IDS_CANNOT_CREATE_DIRECTORY), seen[0].text);
  const RECT rc = Page(IDD_DIRECTORY)->GetWindowRect();
  EXPECT_EQ(0, rc.right - rc.left) << "pages have no visible area in batch mode";
}

TEST_F(NavigationTest, EveryStepMakesItsOwnPageAndLeadsToAStepOrTheEnd) {
  const int ids[] = {IDD_WELCOME, IDD_READING_SETUP, IDD_AGREEMENT, IDD_INSTALL_CONDITIONS, IDD_DIRECTORY,
                     IDD_START_MENU_FOLDER, IDD_USER_INFO, IDD_READY_TO_COPY, IDD_COPY_PROGRESS, IDD_REGISTERING,
                     IDD_FINISHED, IDD_RESTART, IDD_FAILED, IDD_REMOVE_CONFIRM, IDD_REMOVING_FILES,
                     IDD_UNREGISTERING, IDD_REMOVED};
  const auto leadsOn = [](int id) { return id == kEndOfProgramStep || FindWizardStep(id) != nullptr; };
  for (const int id : ids) {
    const CWizardStep* step = FindWizardStep(id);
    ASSERT_NE(nullptr, step) << id;
    EXPECT_EQ(id, step->make()->GetPageId()) << "the page made for step " << id;
    EXPECT_TRUE(leadsOn(step->next)) << id << " leads to " << step->next;
    EXPECT_TRUE(step->nextRemoving == 0 || leadsOn(step->nextRemoving)) << id;
  }
  // A removal reads the install log and goes on to remove; an installation
  // goes on to the agreement.
  app_->removeMode = true;
  EXPECT_EQ(IDD_REMOVING_FILES, wizard().CreatePage(IDD_READING_SETUP)->GetNextPageId());
  app_->removeMode = false;
  EXPECT_EQ(IDD_AGREEMENT, FindWizardStep(IDD_READING_SETUP)->FirstNext(*app_));
}

TEST_F(NavigationTest, AnUnknownPageIdIsRefusedAndTheCurrentPageStays) {
  WriteProfile();
  wizard().ShowPage(IDD_WELCOME, false);
  Settle();
  EXPECT_THROW(wizard().ShowPage(4711, false), CException);
  EXPECT_EQ(IDD_WELCOME, CurrentPageId());
  EXPECT_EQ(nullptr, wizard().CreatePage(4711));
}

}  // namespace
