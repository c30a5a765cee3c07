// The pages' own behaviour: defaults, validation, messages and what they
// store into the application, through real page windows.
#include <climits>
#include <iterator>

#include "WizardTestSupport.h"
#include "framework/Resources.h"
#include "setup/profile/InstallModel.h"
#include "setup/resources/ResourceIds.h"
#include "setup/system/AppPath.h"
#include "setup/system/KeyTree.h"
#include "setup/system/UninstallEntry.h"
#include "setup/system/WindowsSystemActions.h"
#include "setup/wizard/InsufficientDiskSpaceDialog.h"
#include "setup/wizard/AgreementPage.h"
#include "setup/wizard/CopyProgressPage.h"
#include "setup/wizard/DirectoryPage.h"
#include "setup/wizard/InstallConditionsPage.h"
#include "setup/wizard/RegisteringPage.h"
#include "setup/wizard/StartMenuFolderPage.h"
#include "setup/wizard/UserInfoPage.h"
#include "setup/wizard/Wizard.h"
#include "setup/wizard/WizardPage.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestRegistry.h"

namespace {

bool DirectoryExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

class PagesTest : public WizardTest {
protected:
  // Walks from the welcome page to page id the way the user does (the
  // profile read, conditions met).
  void WalkTo(int id) {
    WriteProfile();
    wizard().ShowPage(IDD_WELCOME, false);
    Settle();
    Click(IDD_WELCOME, IDC_NEXT);
    if (id == IDD_AGREEMENT) return;
    Click(IDD_AGREEMENT, IDC_NEXT);
    ASSERT_EQ(IDD_DIRECTORY, CurrentPageId());
    if (id == IDD_DIRECTORY) return;
    Type(IDD_DIRECTORY, IDC_DIRECTORY, scratch_ + "Product");
    ASSERT_TRUE(::CreateDirectoryA((scratch_ + "Product").c_str(), nullptr));
    Click(IDD_DIRECTORY, IDC_NEXT);
    ASSERT_EQ(IDD_START_MENU_FOLDER, CurrentPageId());
  }
};

TEST_F(PagesTest, AgreementPageAsksYesOrNoAndShowsTheAgreement) {
  WalkTo(IDD_AGREEMENT);
  ASSERT_EQ(IDD_AGREEMENT, CurrentPageId());
  EXPECT_EQ("License Agreement", TextOf(Page(IDD_AGREEMENT)->m_hWnd));
  EXPECT_EQ("&Yes", ControlText(IDD_AGREEMENT, IDC_NEXT));
  EXPECT_EQ("&No", ControlText(IDD_AGREEMENT, IDCANCEL));
  EXPECT_EQ(CAgreementPage::AgreementText(LoadRcData(IDR_AGREEMENT)), ControlText(IDD_AGREEMENT, IDC_PAGE_TEXT));

  // The reader starts at the top, with nothing selected, also on coming
  // back to the page.
  const HWND text = Control(IDD_AGREEMENT, IDC_PAGE_TEXT);
  const auto expectTopWithoutSelection = [&](const char* when) {
    DWORD start = 1, end = 1;
    ::SendMessageA(text, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(0u, start) << when;
    EXPECT_EQ(0u, end) << when;
    EXPECT_EQ(0, ::SendMessageA(text, EM_GETFIRSTVISIBLELINE, 0, 0)) << when;
  };
  expectTopWithoutSelection("first arrival");
  Click(IDD_AGREEMENT, IDC_BACK);
  Click(IDD_WELCOME, IDC_NEXT);
  ASSERT_EQ(IDD_AGREEMENT, CurrentPageId());
  expectTopWithoutSelection("second arrival");
}

TEST_F(PagesTest, AgreementTextEndsAtItsNulAndGetsCrLfLineEnds) {
  using namespace std::string_view_literals;
  const struct {
    std::string_view resource;
    const char* text;
  } rows[] = {
      {"One\nTwo\n\0garbage"sv, "One\r\nTwo\r\n"},
      {"One\r\nTwo"sv, "One\r\nTwo"},   // no NUL: the resource's end ends it
      {"\nA\r\n\nB"sv, "\r\nA\r\n\r\nB"},
      {""sv, ""},
  };
  for (const auto& row : rows) EXPECT_EQ(row.text, CAgreementPage::AgreementText(row.resource)) << row.text;
}

TEST_F(PagesTest, DirectoryPageProposesTheProductFolderUnderProgramFiles) {
  WalkTo(IDD_DIRECTORY);
  const std::optional<std::string> programFiles =
      testreg::ReadString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir");
  ASSERT_TRUE(programFiles.has_value());
  EXPECT_EQ(*programFiles + "\\Veltrane", ControlText(IDD_DIRECTORY, IDC_DIRECTORY));
}

TEST_F(PagesTest, DirectoryPageAsksBeforeCreatingAndNoKeepsThePage) {
  WalkTo(IDD_DIRECTORY);
  const std::string target = scratch_ + "New\\Product";
  Type(IDD_DIRECTORY, IDC_DIRECTORY, target);
  {
    CScriptedUser user({IDNO, IDOK});
    Click(IDD_DIRECTORY, IDC_NEXT);
    const auto seen = user.Seen();
    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ("The destination folder: \n\n" + target + "\ndoes not exist.  Do you want to create it?", seen[0].text);
    EXPECT_EQ("Cannot Create Directory", seen[1].text);
  }
  EXPECT_EQ(IDD_DIRECTORY, CurrentPageId());
  EXPECT_FALSE(DirectoryExists(target));
  {
    CScriptedUser user({IDYES});
    Click(IDD_DIRECTORY, IDC_NEXT);
    EXPECT_EQ(1u, user.Seen().size());
  }
  EXPECT_EQ(IDD_START_MENU_FOLDER, CurrentPageId());
  EXPECT_FALSE(DirectoryExists(target)) << "made only to see that it can be made";
  EXPECT_EQ(target + "\\", app_->model->destinations.GetPath(0).GetPath());
  EXPECT_EQ(target + "\\Data\\", app_->model->destinations.GetPath(1).GetPath()) << "resolved again";

  // Back and on again with the same directory: no second question.
  Click(IDD_START_MENU_FOLDER, IDC_BACK);
  {
    CScriptedUser user;
    Click(IDD_DIRECTORY, IDC_NEXT);
    EXPECT_TRUE(user.Seen().empty());
  }
  EXPECT_EQ(IDD_START_MENU_FOLDER, CurrentPageId());

  // Another missing directory is questioned again.
  Click(IDD_START_MENU_FOLDER, IDC_BACK);
  Type(IDD_DIRECTORY, IDC_DIRECTORY, scratch_ + "Other");
  {
    CScriptedUser user({IDNO, IDOK});
    Click(IDD_DIRECTORY, IDC_NEXT);
    EXPECT_EQ(2u, user.Seen().size());
  }
  EXPECT_EQ(IDD_DIRECTORY, CurrentPageId());
}

TEST_F(PagesTest, DirectoryPageRefusesAnEmptyOrUncreatableDirectory) {
  WalkTo(IDD_DIRECTORY);
  Type(IDD_DIRECTORY, IDC_DIRECTORY, "");
  {
    CScriptedUser user({IDOK});
    Click(IDD_DIRECTORY, IDC_NEXT);
    ASSERT_EQ(1u, user.Seen().size());
    EXPECT_EQ("Cannot Create Directory", user.Seen()[0].text);
  }
  EXPECT_EQ(IDD_DIRECTORY, CurrentPageId());

  // Below a file: the directory cannot be made.
  ASSERT_TRUE(WriteFileBytes(scratch_ + "file", ""));
  Type(IDD_DIRECTORY, IDC_DIRECTORY, scratch_ + "file\\sub");
  {
    CScriptedUser user({IDYES, IDOK});
    Click(IDD_DIRECTORY, IDC_NEXT);
    ASSERT_EQ(2u, user.Seen().size());
    EXPECT_EQ("Cannot Create Directory", user.Seen()[1].text);
  }
  EXPECT_EQ(IDD_DIRECTORY, CurrentPageId());
}

TEST_F(PagesTest, DiskSpaceCheckRefusesOnlyAKnownShortfallAndSaysSo) {
  const CPathName directory(std::string("C:\\Program Files\\Veltrane\\"));
  {
    CScriptedUser user;
    EXPECT_TRUE(CheckDiskSpace(directory, 5000, -1)) << "unknown free space";
    EXPECT_TRUE(CheckDiskSpace(directory, 5000, 0)) << "a reported 0";
    EXPECT_TRUE(CheckDiskSpace(directory, 3000000000LL, INT_MAX)) << "2 GB or more free: the figure is capped";
    EXPECT_TRUE(CheckDiskSpace(directory, 5000, 5000));
    EXPECT_TRUE(CheckDiskSpace(directory, 0, 1));
    EXPECT_TRUE(CheckDiskSpace(directory, nullptr)) << "nothing to install";
    EXPECT_TRUE(user.Seen().empty());
  }
  for (int answer : {IDOK, IDCANCEL}) {
    CScriptedUser user({answer});
    EXPECT_FALSE(CheckDiskSpace(directory, 3000000000LL, 4999));
    const auto seen = user.Seen();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("Insufficient Disk Space", seen[0].caption);
    auto controls = seen[0].controls;
    EXPECT_EQ("There does not appear to be sufficient disk space available on drive C to install Veltrane.",
              controls[IDC_DISK_SPACE_MESSAGE]);
    EXPECT_EQ("3000000000", controls[IDC_SPACE_REQUIRED]) << "beyond 32 bits, written out in full";
    EXPECT_EQ("4999", controls[IDC_SPACE_AVAILABLE]);
  }
}

TEST_F(PagesTest, DiskSpaceCheckCountsTheSelectedFilesInTheDrivesClusters) {
  WalkTo(IDD_DIRECTORY);
  // A selected group's file that fits, then one that no drive here has room
  // for but the capped free-space figure lets pass.
  auto files = std::make_unique<CFileList>();
  auto entry = std::make_unique<CFileEntry>("small.dat");
  entry->size = 1;
  entry->group = app_->model->groups.Find("program");
  ASSERT_NE(nullptr, entry->group);
  entry->group->selected = 1;
  files->Insert(std::move(entry));
  const CPathName directory(scratch_);
  const int free = directory.FreeSpace();
  {
    CScriptedUser user;
    EXPECT_TRUE(CheckDiskSpace(directory, files.get()));
    EXPECT_TRUE(user.Seen().empty());
  }
  if (free > 0 && free < INT_MAX) {
    // A drive with less than 2 GB free: a file of 2 GB does not fit.
    auto big = std::make_unique<CFileEntry>("big.dat");
    big->size = INT32_MAX;
    big->group = app_->model->groups.Find("program");
    files->Insert(std::move(big));
    CScriptedUser user({IDOK});
    EXPECT_FALSE(CheckDiskSpace(directory, files.get()));
    EXPECT_EQ(1u, user.Seen().size());
  }
}

TEST_F(PagesTest, ReadingPageLoadsTheFileListFromTheProfileOrTheInstallLog) {
  // Install: the files of both groups, whether selected or not.
  WriteProfile(true, "[program]\r\nveltapp.exe=120000|0|0|1|0|\r\nveltapp.hlp=40000|0|0|2|0|\r\n"
                     "[samples]\r\nsample.dat=100|0|0|1|1|\r\n");
  wizard().ShowPage(IDD_WELCOME, false);
  Settle();
  Click(IDD_WELCOME, IDC_NEXT);
  ASSERT_EQ(IDD_AGREEMENT, CurrentPageId());
  ASSERT_EQ(3u, app_->model->files.size());
  EXPECT_EQ(2, (*std::prev(app_->model->files.end()))->GetDisketteNumber()) << "in diskette order";

  // Remove: the install log's group sections hold shorter records.
  TearDown();
  SetUp();
  WriteProfile(true, "[program]\r\nveltapp.exe=0|1|0\r\nveltapp.hlp=0|1|1\r\n[samples]\r\n");
  // As the application does in remove mode: the profile is the install log.
  app_->removeMode = true;
  app_->logPath = app_->profilePath;
  CScriptedUser user;
  wizard().ShowPage(IDD_READING_SETUP, false);
  Settle();
  EXPECT_EQ(2u, app_->model->files.size());
  EXPECT_TRUE(user.Seen().empty()) << "no error";
}

TEST_F(PagesTest, StartMenuFolderPageChecksTheFolderAndStoresIt) {
  WalkTo(IDD_START_MENU_FOLDER);
  EXPECT_EQ("Veltrane", ControlText(IDD_START_MENU_FOLDER, IDC_DIRECTORY)) << "the profile's program group";
  const std::string programs = CStartMenuFolderPage::ProgramsFolder();
  ASSERT_FALSE(programs.empty());

  CScriptedUser user({IDOK});
  Type(IDD_START_MENU_FOLDER, IDC_DIRECTORY, "");
  Click(IDD_START_MENU_FOLDER, IDC_NEXT);
  EXPECT_EQ(IDD_START_MENU_FOLDER, CurrentPageId()) << "an empty folder does nothing";

  Type(IDD_START_MENU_FOLDER, IDC_DIRECTORY, "..\\..\\Escaped");
  Click(IDD_START_MENU_FOLDER, IDC_NEXT);
  EXPECT_EQ(IDD_START_MENU_FOLDER, CurrentPageId());
  ASSERT_EQ(1u, user.Seen().size());
  EXPECT_EQ("Can't create Start Menu item.", user.Seen()[0].text);

  const std::string folder = "Wizard Test " + std::to_string(::GetCurrentProcessId()) + "\\Tools";
  Type(IDD_START_MENU_FOLDER, IDC_DIRECTORY, folder);
  Click(IDD_START_MENU_FOLDER, IDC_NEXT);
  EXPECT_EQ(IDD_USER_INFO, CurrentPageId());
  EXPECT_EQ(folder, app_->model->programFolder);
  EXPECT_FALSE(DirectoryExists(programs + "\\" + folder)) << "made only to see that it can be made";
  ::RemoveDirectoryA((programs + "\\Wizard Test " + std::to_string(::GetCurrentProcessId())).c_str());
}

TEST_F(PagesTest, StartMenuFolderRulesForTypedAndBrowsedFolders) {
  EXPECT_TRUE(CStartMenuFolderPage::IsFolderBelowPrograms("Veltrane"));
  EXPECT_TRUE(CStartMenuFolderPage::IsFolderBelowPrograms("A\\B"));
  EXPECT_TRUE(CStartMenuFolderPage::IsFolderBelowPrograms("Veltrane 2.0"));
  for (const char* bad : {"", "\\Windows", "C:\\Windows", "C:Windows", "..", "A\\..\\..\\B", ".\\A", "/x"}) {
    EXPECT_FALSE(CStartMenuFolderPage::IsFolderBelowPrograms(bad)) << bad;
  }
  const std::string programs = "C:\\Start Menu\\Programs";
  EXPECT_EQ("A\\B", CStartMenuFolderPage::RelativeToPrograms("C:\\Start Menu\\Programs\\A\\B", programs));
  EXPECT_EQ("Tools", CStartMenuFolderPage::RelativeToPrograms("c:\\start menu\\programs\\Tools", programs));
  EXPECT_EQ("", CStartMenuFolderPage::RelativeToPrograms(programs, programs)) << "Programs itself";
  EXPECT_EQ("", CStartMenuFolderPage::RelativeToPrograms("C:\\Start Menu\\Programs2\\A", programs));
  EXPECT_EQ("", CStartMenuFolderPage::RelativeToPrograms("D:\\Other", programs));
}

TEST_F(PagesTest, UserInfoPageEnablesNextOnlyWithANameAndStoresNameAndCompany) {
  WalkTo(IDD_START_MENU_FOLDER);
  Click(IDD_START_MENU_FOLDER, IDC_NEXT);
  ASSERT_EQ(IDD_USER_INFO, CurrentPageId());
  auto* page = static_cast<CUserInfoPage*>(Page(IDD_USER_INFO));
  EXPECT_EQ(page->GetName(), ControlText(IDD_USER_INFO, IDC_USER_NAME)) << "the registered owner is proposed";

  Type(IDD_USER_INFO, IDC_USER_NAME, "");
  EXPECT_FALSE(::IsWindowEnabled(Control(IDD_USER_INFO, IDC_NEXT)));
  Type(IDD_USER_INFO, IDC_USER_NAME, "A");
  EXPECT_TRUE(::IsWindowEnabled(Control(IDD_USER_INFO, IDC_NEXT)));
  Type(IDD_USER_INFO, IDC_USER_NAME, "Ada Lovelace");
  Type(IDD_USER_INFO, IDC_COMPANY, "Analytical Engines");
  Click(IDD_USER_INFO, IDC_NEXT);
  EXPECT_EQ(IDD_READY_TO_COPY, CurrentPageId());
  EXPECT_EQ("Ada Lovelace", app_->userInfo.name);
  EXPECT_EQ("Analytical Engines", app_->userInfo.company);
}

TEST_F(PagesTest, UserInfoPageOpensWithTheRegisteredOwnerAndOrganization) {
  const char kWindowsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
  const testreg::ScopedStringValue owner(HKEY_LOCAL_MACHINE, kWindowsKey, "RegisteredOwner", "Ada Lovelace");
  const testreg::ScopedStringValue organization(HKEY_LOCAL_MACHINE, kWindowsKey, "RegisteredOrganization",
                                                "Analytical Engines");
  WalkTo(IDD_START_MENU_FOLDER);
  Click(IDD_START_MENU_FOLDER, IDC_NEXT);
  ASSERT_EQ(IDD_USER_INFO, CurrentPageId());
  EXPECT_EQ("Ada Lovelace", ControlText(IDD_USER_INFO, IDC_USER_NAME));
  EXPECT_EQ("Analytical Engines", ControlText(IDD_USER_INFO, IDC_COMPANY));
  Click(IDD_USER_INFO, IDC_NEXT);
  EXPECT_EQ("Analytical Engines", app_->userInfo.company);
}

TEST_F(PagesTest, ReadyToCopyCreatesTheInstallationDirectoryAndTheWalkEndsFinished) {
  WalkTo(IDD_START_MENU_FOLDER);
  Click(IDD_START_MENU_FOLDER, IDC_NEXT);
  Type(IDD_USER_INFO, IDC_USER_NAME, "Ada");
  Click(IDD_USER_INFO, IDC_NEXT);
  ASSERT_EQ(IDD_READY_TO_COPY, CurrentPageId());
  EXPECT_EQ("&Copy", ControlText(IDD_READY_TO_COPY, IDC_NEXT));
  ::RemoveDirectoryA((scratch_ + "Product").c_str());
  Click(IDD_READY_TO_COPY, IDC_NEXT);
  EXPECT_TRUE(DirectoryExists(scratch_ + "Product"));
  ASSERT_EQ(IDD_FINISHED, CurrentPageId()) << "copied, registered";
  EXPECT_TRUE(app_->installSucceeded);
  char group[64] = {};
  ::GetPrivateProfileStringA("PMGroup", "PMGroup", "", group, sizeof group, app_->logPath.c_str());
  EXPECT_STREQ("Veltrane", group) << "the data model is in the install log";
  Click(IDD_FINISHED, IDOK);
  EXPECT_TRUE(app_->MainWindowGone());
}

TEST_F(PagesTest, ReadyToCopyFailsWhenTheDirectoryCannotBeCreated) {
  WalkTo(IDD_START_MENU_FOLDER);
  Click(IDD_START_MENU_FOLDER, IDC_NEXT);
  Type(IDD_USER_INFO, IDC_USER_NAME, "Ada");
  Click(IDD_USER_INFO, IDC_NEXT);
  ASSERT_TRUE(WriteFileBytes(scratch_ + "file", ""));
  app_->model->destinations.SetPath(0, scratch_ + "file\\sub");
  CScriptedUser user({IDOK});
  Click(IDD_READY_TO_COPY, IDC_NEXT);
  ASSERT_EQ(1u, user.Seen().size());
  EXPECT_EQ("Cannot Create Directory", user.Seen()[0].text);
  EXPECT_EQ(IDD_FAILED, CurrentPageId());
  EXPECT_FALSE(app_->installSucceeded);
  EXPECT_EQ(FailureCause::error, app_->failureCause);
}

TEST_F(PagesTest, RegisteringEndsOnTheRestartPageOnlyWhenAFileWaitsForTheRestart) {
  const struct {
    bool succeeded, reboot;
    int expected;
    int exitCode;  // once the run has ended there
  } rows[] = {{true, false, IDD_FINISHED, 0}, {true, true, IDD_RESTART, 3010}, {false, true, IDD_FAILED, 1603}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.expected);
    TearDown();
    SetUp();
    app_->installSucceeded = row.succeeded;
    app_->rebootNeeded = row.reboot;
    wizard().ShowPage(IDD_REGISTERING, false);
    Settle();
    EXPECT_EQ(row.expected, CurrentPageId());
    EXPECT_EQ(1, app_->system.registrations) << "registered whatever the outcome";
    EXPECT_EQ(row.exitCode, app_->ExitInstance());
  }
}

namespace {

using testreg::KeyExists;
using testreg::ReadString;

// Deletes the keys a test named while the object lives; keys that existed
// before are left to their owners.
class RegistryCleanup {
public:
  RegistryCleanup(HKEY root, std::vector<std::string> paths) : root_(root) {
    for (auto& path : paths) {
      if (!KeyExists(root, path)) paths_.push_back(std::move(path));
    }
  }
  ~RegistryCleanup() {
    for (const auto& path : paths_) DeleteKeyTree(root_, path.c_str());
  }
  RegistryCleanup(const RegistryCleanup&) = delete;
  RegistryCleanup& operator=(const RegistryCleanup&) = delete;

private:
  HKEY root_;
  std::vector<std::string> paths_;
};

}  // namespace

TEST_F(PagesTest, RegistrationWritesTheInstalledProgramsEntriesAndRemovalDeletesThem) {
  const std::string id = std::to_string(::GetCurrentProcessId());
  CProductIdentity product = CProductIdentity::Builtin();
  product.program = "velttest" + id + ".exe";
  product.key = "VeltTest" + id;
  app_->SetProduct(product);
  const std::string host = "Software\\Tarvo\\Tarvo for Windows\\8.0";
  const RegistryCleanup machine(HKEY_LOCAL_MACHINE, {AppPathKey(app_->programFile), UninstallKey(app_->productKeyName)});
  const RegistryCleanup user(HKEY_CURRENT_USER, {"Software\\Tarvo"});
  ASSERT_TRUE(::WritePrivateProfileStringA("targets", app_->programFile.c_str(), "0|0|0|Velt Test|||",
                                           app_->profilePath.c_str()));
  std::string folder;
  app_->model->targets.Load(app_->profilePath, folder);
  app_->model->destinations.SetPath(0, scratch_ + "Program Files");
  app_->model->destinations.SetPath(1, scratch_ + "Dist");
  HKEY created = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyA(HKEY_CURRENT_USER, host.c_str(), &created));
  ::RegCloseKey(created);

  CWindowsSystemActions system;
  const CPathName installed = CRegisteringPage::ProductProgram(*app_);
  system.RegisterProduct(installed, CRegisteringPage::UninstallEntry(*app_), app_->model->targets, app_->product,
                         NoVerboseLog());
  const std::string program = scratch_ + "Program Files\\" + app_->programFile;
  std::string found;
  EXPECT_TRUE(LookupAppPath(app_->programFile, found));
  EXPECT_EQ(program, found);
  // A program path with a blank is quoted, so that no C:\Program.exe can
  // stand in for it; one without stays as it is.
  EXPECT_EQ("\"" + scratch_ + "Program Files\\setup_wizard_tests.exe\" /U",
            ReadString(HKEY_LOCAL_MACHINE, UninstallKey(app_->productKeyName), "UninstallString"));
  // The host's menu entry is named by the product's key ("Veltrane" for Veltrane).
  EXPECT_EQ("\"" + program + "\" -delete",
            ReadString(HKEY_CURRENT_USER, host + "\\OtherApps\\" + product.key + "\\Launch", nullptr));
  app_->runFromSource = true;
  EXPECT_EQ(scratch_ + "Dist\\setup_wizard_tests.exe /U", CRegisteringPage::UninstallCommand(*app_));

  system.UnregisterProduct(installed, app_->product, NoVerboseLog());
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, AppPathKey(app_->programFile)));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, UninstallKey(app_->productKeyName)));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, host + "\\OtherApps\\" + product.key));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, host)) << "the host product stays";
}

TEST_F(PagesTest, RestartPageRestartsOrEnds) {
  app_->system.restartSucceeds = false;  // Windows refuses
  wizard().ShowPage(IDD_RESTART, false);
  Settle();
  Click(IDD_RESTART, IDC_RESTART);
  EXPECT_EQ(1, app_->system.restarts);
  EXPECT_EQ(IDD_RESTART, CurrentPageId()) << "the page stays for another attempt";
  Click(IDD_RESTART, IDC_DONT_RESTART);
  EXPECT_TRUE(app_->MainWindowGone());
}

TEST_F(PagesTest, RunFromSourcePointsTheShortcutsIntoTheDistribution) {
  WriteProfile();
  app_->runFromSource = true;
  wizard().ShowPage(IDD_WELCOME, false);
  Settle();
  Click(IDD_WELCOME, IDC_NEXT);
  const CPathName setupDirectory(SpecialDirectory::setup);
  EXPECT_EQ(setupDirectory.GetPath(), app_->model->destinations.GetPath(0).GetPath());
  CCopyProgressPage::PointTargetsIntoSource(*app_);
  EXPECT_EQ(setupDirectory.GetPath() + "veltapp.exe", app_->model->targets.Find("veltapp.exe")->programPath.GetPath());
  EXPECT_EQ(setupDirectory.GetPath() + "Data\\readme.txt", app_->model->targets.Find("readme.txt")->programPath.GetPath());
}

TEST_F(PagesTest, TemplatesKeepTheirTextsAsTheyStand) {
  app_->system.majorVersion = 3;
  wizard().ShowPage(IDD_INSTALL_CONDITIONS, false);  // shown when asked directly
  wizard().ShowPage(IDD_WELCOME, false);
  wizard().ShowPage(IDD_REMOVE_CONFIRM, false);
  wizard().ShowPage(IDD_FINISHED, false);
  Settle();
  auto texts = [this](int pageId) {
    std::string all;
    for (HWND child = ::GetWindow(Page(pageId)->m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
      all += TextOf(child) + "|";
    }
    return all;
  };
  EXPECT_NE(std::string::npos, texts(IDD_INSTALL_CONDITIONS).find("|Cannot install  Veltrane.|"));
  EXPECT_NE(std::string::npos, texts(IDD_WELCOME).find("Veltrane on your computer.\n\nTo quit the Setup"));
  EXPECT_NE(std::string::npos, texts(IDD_REMOVE_CONFIRM).find("\n\nTo keep  Veltrane, choose Cancel.|"));
  EXPECT_NE(std::string::npos, texts(IDD_FINISHED).find("|Thank you for choosing Veltrane. |"));
  EXPECT_EQ("Removing Veltrane", TextOf(Page(IDD_REMOVE_CONFIRM)->m_hWnd));
  EXPECT_EQ("Finished", ControlText(IDD_FINISHED, IDOK));
}

TEST_F(PagesTest, PagesShowTheirIconsEachMadeOnceForTheRun) {
  app_->system.majorVersion = 3;
  wizard().ShowPage(IDD_INSTALL_CONDITIONS, false);
  wizard().ShowPage(IDD_WELCOME, false);
  wizard().ShowPage(IDD_REMOVE_CONFIRM, false);
  wizard().ShowPage(IDD_FINISHED, false);
  Settle();
  auto icon = [this](int pageId, int iconId) {
    return ::SendDlgItemMessageA(Page(pageId)->m_hWnd, iconId, STM_GETICON, 0, 0);
  };
  EXPECT_NE(0, icon(IDD_INSTALL_CONDITIONS, IDI_PAGE_WARNING));
  EXPECT_NE(0, icon(IDD_REMOVE_CONFIRM, IDI_PAGE_STOP));
  const LRESULT product = icon(IDD_WELCOME, IDI_PAGE_PRODUCT);
  EXPECT_NE(0, product);
  EXPECT_EQ(product, icon(IDD_FINISHED, IDI_PAGE_PRODUCT)) << "one icon for the pages that show it";
  EXPECT_NE(product, icon(IDD_INSTALL_CONDITIONS, IDI_PAGE_WARNING));
}

}  // namespace
