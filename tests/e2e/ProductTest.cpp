// A second product beside Veltrane on one machine: a kit whose [product]
// names Korvel Atlas, built by the real kit builder, installed and removed
// by the real setup program, silently and through its pages, while
// Veltrane stays installed. Each product keeps its own texts, log and
// registry entries, and the removal of one leaves the other as it was.
#include "SetupFixture.h"

using namespace setup_e2e;

namespace {

const char kKorvelUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KorvelAtlas";
const char kKorvelAppPathKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\atlas.exe";
const char kKorvelTitle[] = "Korvel Atlas Setup";
const char kKorvelGroup[] = "Korvel Atlas Test";
const char kLicence[] = "KORVEL ATLAS LICENCE\r\n\r\nYou may use Korvel Atlas on one computer.\r\n";

class ProductTest : public FreshMachineSetupTest {
protected:
  void SetUp() override {
    FreshMachineSetupTest::SetUp();
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKorvelAppPathKey);
    veltrane = BuildKit(velt, SmallProduct(), "diskettes", 1457664, "Veltrane Pair") + "\\disk1\\_setupx.exe";
    ::CreateDirectoryA((korvel / "product").c_str(), nullptr);
    WriteFileBytes(korvel / "product\\license.txt", kLicence);
    const std::vector<ProductFile> files = {{"atlas.exe", "Program", 0, "atlas.ar1", Noise(30000, 3)},
                                            {"atlas.dat", "Data", 1, "", Text(3000, "map\r\n")}};
    atlas = BuildKit(korvel, files, "diskettes", 1457664, "Korvel Atlas",
                     "[kit]\r\npmgroup=" + std::string(kKorvelGroup) +
                         "\r\n[product]\r\nname=Korvel Atlas\r\nversion=3.2\r\npublisher=Korvel Maps Ltd\r\n"
                         "program=atlas.exe\r\nlicence=product\\license.txt\r\nurl=https://korvel.example/atlas\r\n") +
            "\\disk1\\_setupx.exe";
  }
  void TearDown() override {
    ClearTheInstallation(veltraneDir);
    RemoveTree(atlasDir);
    RemoveTree(pagesDir);
    for (const std::string& file : {korvelLog, korvelJournal}) ::DeleteFileA(file.c_str());
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKorvelAppPathKey);
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKorvelUninstallKey);
    FreshMachineSetupTest::TearDown();
  }

  // Runs program with arguments to its end; its exit code.
  void RunSilently(const std::string& program, const std::string& arguments) {
    Start(arguments, program);
    ExpectExitCode(0, 120000);
  }
  // What Veltrane's installation is on the machine: its log, its entry, a file.
  std::vector<std::string> VeltraneState() const {
    return {ReadFileBytes(logPath), ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName").value_or("(none)"),
            ReadString(HKEY_LOCAL_MACHINE, kAppPathKey, nullptr).value_or("(none)"),
            ReadFileBytes(veltraneDir + "\\veltapp.exe").substr(0, 64)};
  }
  void ExpectKorvelGone(const std::string& dir) const {
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(korvelLog.c_str())) << "its log is recycled";
    EXPECT_FALSE(testreg::KeyExists(HKEY_LOCAL_MACHINE, kKorvelUninstallKey));
    EXPECT_FALSE(testreg::KeyExists(HKEY_LOCAL_MACHINE, kKorvelAppPathKey));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA((dir + "\\atlas.exe").c_str()));
  }
  // A message box of Korvel's run, answered with id.
  void AnswerKorvel(const std::string& text, int id) {
    HWND box = WaitFor({kKorvelTitle, text.c_str()});
    ASSERT_NE(nullptr, box) << "no message box \"" << text << "\"; windows: " << DescribeWindows();
    ui::AnswerDialog(box, id);
  }

  TempDir velt, korvel;
  std::string veltrane, atlas;
  const std::string veltraneDir = velt / "Veltrane Pair";
  const std::string atlasDir = korvel / "Korvel Atlas";
  const std::string pagesDir = korvel / "Korvel Atlas Pages";
  const std::string korvelLog = WindowsDirectory() + "\\KorvelAtlas.log";
  const std::string korvelJournal = WindowsDirectory() + "\\KorvelAtlas.jnl";
  FileGuard korvelLogGuard{korvelLog};
  ShortcutGuard veltraneShortcut{kKitProgramGroup, "Veltrane Kit Test.lnk"};
  ShortcutGuard korvelShortcut{kKorvelGroup, "Veltrane Kit Test.lnk"};
};

}  // namespace

TEST_F(ProductTest, TwoProductsInstallAndGoEachOnItsOwn) {
  RunSilently(veltrane, "/S /T:\"" + veltraneDir + "\"");
  RunSilently(atlas, "/S /T:\"" + atlasDir + "\"");
  const std::vector<std::string> veltraneInstalled = VeltraneState();
  EXPECT_EQ("Veltrane", veltraneInstalled[1]);

  // Korvel's own entries, named by its key, with its values.
  const std::string atlasSetup = "\"" + atlasDir + "\\_setupx.exe\"";
  const struct {
    const char* key;
    const char* name;
    std::string expected;
  } values[] = {
      {kKorvelUninstallKey, "DisplayName", "Korvel Atlas"},
      {kKorvelUninstallKey, "DisplayVersion", "3.2"},
      {kKorvelUninstallKey, "Publisher", "Korvel Maps Ltd"},
      {kKorvelUninstallKey, "URLInfoAbout", "https://korvel.example/atlas"},
      {kKorvelUninstallKey, "DisplayIcon", atlasDir + "\\atlas.exe"},
      {kKorvelUninstallKey, "UninstallString", atlasSetup + " /U /P:KorvelAtlas"},
      {kKorvelUninstallKey, "QuietUninstallString", atlasSetup + " /U /P:KorvelAtlas /S"},
      {kKorvelAppPathKey, nullptr, atlasDir + "\\atlas.exe"},
  };
  for (const auto& v : values) {
    EXPECT_EQ(v.expected, ReadString(HKEY_LOCAL_MACHINE, v.key, v.name).value_or("(none)")) << v.name;
  }
  EXPECT_EQ("Korvel Atlas", ReadString(korvelLog, "Product", "name").value_or("(none)")) << "the log names its product";
  EXPECT_TRUE(ReadString(korvelLog, "Program", "atlas.exe").has_value());
  EXPECT_FALSE(ReadString(logPath, "Program", "atlas.exe").has_value()) << "Veltrane's log records none of it";

  // Korvel goes by the command its entry holds; Veltrane stays as it was.
  setup = ui::Process::StartCommand(
      ReadString(HKEY_LOCAL_MACHINE, kKorvelUninstallKey, "QuietUninstallString").value_or(""), WindowsDirectory());
  ASSERT_TRUE(setup.started());
  ExpectExitCode(0, 120000);
  ExpectKorvelGone(atlasDir);
  EXPECT_EQ(veltraneInstalled, VeltraneState()) << "Veltrane is untouched";

  // Through the pages: every text names Korvel Atlas, the licence is its own.
  Start({}, atlas);
  const auto expect = [&](const char* caption, const std::string& text) {
    HWND page = Expect({caption, text.c_str()}, 30000);
    return page;
  };
  HWND page = expect("Welcome", "Welcome to Korvel Atlas.");
  ASSERT_NE(nullptr, page);
  EXPECT_EQ(kKorvelTitle, ui::WindowText(MainWindow()));
  Press(page, "&Next >");
  ASSERT_NE(nullptr, page = expect("License Agreement", "To install Korvel Atlas, you must accept this agreement."));
  ASSERT_TRUE(ui::WaitUntil([&] { return ui::WindowText(::GetDlgItem(page, 1026)) == kLicence; }, 10000))
      << ui::WindowText(::GetDlgItem(page, 1026));
  Press(page, "&Yes");
  ASSERT_NE(nullptr, page = expect("Select Directory", "Setup will install Korvel Atlas in the following directory."));
  Type(page, 1001, pagesDir);
  Press(page, "&Next >");
  AnswerKorvel("The destination folder: \n\n" + pagesDir + "\ndoes not exist.  Do you want to create it?", IDYES);
  ASSERT_NE(nullptr, page = expect("Select Start Menu Folder", ""));
  EXPECT_EQ(kKorvelGroup, ui::WindowText(::GetDlgItem(page, 1001)));
  Press(page, "&Next >");
  ASSERT_NE(nullptr, page = expect("User Information", ""));
  Type(page, 1030, "Ada Lovelace");
  Press(page, "&Next >");
  ASSERT_NE(nullptr, page = expect(kKorvelTitle, "This Setup program will now copy Korvel Atlas to your computer."));
  Press(page, "&Copy");
  ASSERT_NE(nullptr, page = expect(kKorvelTitle, "Thank you for choosing Korvel Atlas."));
  Press(page, "Finished");
  ExpectExitCode(0);
  EXPECT_EQ(veltraneInstalled, VeltraneState()) << "Veltrane is untouched";

  Start("/U /P:KorvelAtlas", pagesDir + "\\_setupx.exe");
  ASSERT_NE(nullptr, page = expect("Removing Korvel Atlas", "You have chosen to remove Korvel Atlas."));
  Press(page, "&Next >");
  ASSERT_NE(nullptr, page = expect(kKorvelTitle, "Korvel Atlas has been removed from your computer."));
  Press(page, "&OK");
  ExpectExitCode(0);
  ExpectKorvelGone(pagesDir);
  EXPECT_EQ(veltraneInstalled, VeltraneState()) << "Veltrane is untouched";

  // Veltrane goes on its own too, by its own command.
  RunSilently(veltraneDir + "\\_setupx.exe", "/U /S");
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(logPath.c_str()));
  EXPECT_FALSE(testreg::KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
}
