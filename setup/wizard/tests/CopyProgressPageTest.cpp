// The copy page over a real distribution: the files of the selected groups
// are installed, the gauge runs over all their bytes, the destination field
// shows the last file whole, the billboards end closed, and a file the copy
// cannot install ends the run on the failure page after the question.
#include "WizardTestSupport.h"
#include "setup/profile/InstallModel.h"
#include "setup/resources/ResourceIds.h"
#include "setup/archive/tests/ArchiveBytes.h"
#include "setup/wizard/BillboardSequence.h"
#include "setup/wizard/CopyProgressPage.h"
#include "setup/wizard/Gauge.h"
#include "setup/wizard/SetupState.h"
#include "setup/wizard/Wizard.h"
#include "tests/support/TestFiles.h"

namespace {

class CopyProgressPageTest : public WizardTest {
protected:
  // A profile whose program group holds files (one line each); the
  // distribution lies in the scratch folder.
  void WriteDistribution(const std::string& files) {
    app_->sourceDir = CPathName(scratch_);
    const std::string text = "[destinations]\r\n0=Veltrane|-1|" + scratch_ + "Veltrane\r\n1=Data|0|\r\n" +
                             "[groups]\r\nprogram=Program files|The program|1|1|1\r\n" +
                             "[PMGroup]\r\nPMGroup=Veltrane\r\n[targets]\r\nreadme.txt=0|0|0|Read Me|||\r\n" +
                             "[diskettes]\r\n1=Veltrane Disk 1|\r\n[program]\r\n" + files;
    ASSERT_TRUE(WriteFileBytes(app_->profilePath.GetPath(), text));
  }

  // A value of the install log; empty when it is not there.
  std::string LogValue(const char* section, const char* key) const {
    char value[256] = {};
    ::GetPrivateProfileStringA(section, key, "", value, sizeof value, app_->logPath.c_str());
    return value;
  }

  // Loads the profile as the Reading page does and runs the copy page.
  void Copy() {
    app_->model->Load(app_->profilePath);
    app_->model->destinations.Resolve();
    app_->model->groups.SelectBySetupType(2);
    wizard().ShowPage(IDD_COPY_PROGRESS, false);
    Settle();
  }

  CCopyProgressPage& CopyPage() { return *static_cast<CCopyProgressPage*>(Page(IDD_COPY_PROGRESS)); }
};

}  // namespace

TEST_F(CopyProgressPageTest, InstallsTheSelectedFilesAndShowsTheirProgressToTheEnd) {
  const std::string big(300000, 'b');
  ASSERT_TRUE(WriteFileBytes(scratch_ + "readme.txt", "Read me!\r\n"));
  archive_bytes::Member member{"big.bin", big};
  member.destination = 1;
  ASSERT_TRUE(WriteFileBytes(scratch_ + "data.ar1", archive_bytes::Archive({member})));
  ASSERT_TRUE(WriteFileBytes(scratch_ + "empty.txt", ""));
  WriteDistribution("readme.txt=10|0|1|1|0|\r\ndata.ar1=300000|1|1|1|-1|\r\nempty.txt=0|0|1|1|0|\r\n");
  Copy();

  ASSERT_EQ(IDD_FINISHED, CurrentPageId());
  EXPECT_TRUE(app_->installSucceeded);
  EXPECT_EQ("Read me!\r\n", ReadFileBytes(scratch_ + "Veltrane\\readme.txt"));
  EXPECT_TRUE(ReadFileBytes(scratch_ + "Veltrane\\Data\\big.bin") == big);
  EXPECT_EQ((std::vector<std::string>{"Data", "empty.txt", "readme.txt"}), ListFolder(scratch_ + "Veltrane"));

  // The gauge ran from 1 over every byte and ended full; the last file, an
  // empty one, shows whole.
  CCopyProgressPage& page = CopyPage();
  ASSERT_NE(nullptr, page.GetGauge());
  EXPECT_EQ(1u, page.GetGauge()->GetMinimum());
  EXPECT_EQ(300010u, page.GetGauge()->GetMaximum());
  EXPECT_EQ(300010u, page.GetGauge()->GetPos());
  EXPECT_EQ(300010u, page.GetCompletedBytes());
  EXPECT_EQ("empty.txt (100%)", ControlText(IDD_COPY_PROGRESS, IDC_DESTINATION_FILE));
  EXPECT_EQ("empty.txt", ControlText(IDD_COPY_PROGRESS, IDC_SOURCE_FILE));
  // The billboards went to the last picture and were closed at the end.
  EXPECT_EQ(2, page.GetBillboards().GetCurrentIndex());
  EXPECT_EQ(nullptr, page.GetBillboards().GetCurrentWindow());
  // The program item learnt its path; the data model is in the log.
  EXPECT_EQ(scratch_ + "Veltrane\\readme.txt", app_->model->targets.Find("readme.txt")->programPath.GetPath());
  EXPECT_EQ(1, app_->system.shortcutCreations);
}

namespace {

// Counts the texts set into the copy page's source field.
int sourceTextsSet = 0;
LRESULT CALLBACK CountSourceTexts(int code, WPARAM wParam, LPARAM lParam) {
  const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && sent->message == WM_SETTEXT && ::GetDlgCtrlID(sent->hwnd) == IDC_SOURCE_FILE) {
    ++sourceTextsSet;
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

// Hundreds of small plain files pass faster than their names can be shown:
// the source field changes at most once an update interval (and at the
// first entry), and ends on the last entry's name.
TEST_F(CopyProgressPageTest, TheSourceFieldFollowsManySmallFilesAtTheDisplaysPace) {
  constexpr int kFiles = 300;
  std::string files;
  for (int i = 0; i < kFiles; ++i) {
    const std::string name = "f" + std::to_string(i) + ".txt";
    ASSERT_TRUE(WriteFileBytes(scratch_ + name, "x"));
    files += name + "=1|0|1|1|0|\r\n";
  }
  WriteDistribution(files);
  sourceTextsSet = 0;
  HHOOK hook = ::SetWindowsHookExA(WH_CALLWNDPROC, CountSourceTexts, nullptr, ::GetCurrentThreadId());
  ASSERT_NE(nullptr, hook);
  const DWORD start = ::GetTickCount();
  Copy();
  const DWORD elapsed = ::GetTickCount() - start;
  ::UnhookWindowsHookEx(hook);

  ASSERT_EQ(IDD_FINISHED, CurrentPageId());
  EXPECT_EQ("x", ReadFileBytes(scratch_ + "Veltrane\\f299.txt"));
  EXPECT_EQ("f299.txt", ControlText(IDD_COPY_PROGRESS, IDC_SOURCE_FILE));
  EXPECT_GE(sourceTextsSet, 1);
  EXPECT_LE(sourceTextsSet, 2 + static_cast<int>(elapsed / CCopyProgressPage::kUpdateIntervalMs))
      << "in " << elapsed << " ms";
  EXPECT_LT(sourceTextsSet, kFiles);
}

TEST_F(CopyProgressPageTest, CancelOperationEndsOnTheFailurePageWithTheFilesSoFarFindable) {
  ASSERT_TRUE(WriteFileBytes(scratch_ + "readme.txt", "Read me!\r\n"));
  ASSERT_TRUE(WriteFileBytes(scratch_ + "data.ar1", "not an archive"));
  WriteDistribution("readme.txt=10|0|1|1|0|\r\ndata.ar1=300000|1|1|1|-1|\r\n");
  CScriptedUser user({IDCANCEL});
  Copy();

  ASSERT_EQ(CWizardPage::kFailedPage, CurrentPageId());
  EXPECT_FALSE(app_->installSucceeded);
  EXPECT_EQ(CopyStop::failed, CopyPage().GetCopyStop());
  // One question (the billboard beside the page is a captionless popup
  // the scripted user sees too).
  std::vector<std::string> questions;
  for (const SeenBox& box : user.Seen()) {
    if (box.caption == "Warning") questions.push_back(box.information);
  }
  EXPECT_EQ(std::vector<std::string>{"17.2 (CMultiFileException)"}, questions);
  // No shortcut was made and no program item written; the file placed
  // before stays, findable through the destinations and groups.
  EXPECT_EQ(0, app_->system.shortcutCreations);
  EXPECT_EQ("Read me!\r\n", ReadFileBytes(scratch_ + "Veltrane\\readme.txt"));
  EXPECT_EQ("0|1|0", LogValue("program", "readme.txt"));
  EXPECT_EQ("Program files|The program|1|1|1", LogValue("groups", "program"));
  EXPECT_EQ("", LogValue("targets", "readme.txt"));
}

// A window whose close records the run as failed by the user, as the
// background window does when its close question is answered Yes.
class CFailingOnClose : public CFrameWnd {
public:
  explicit CFailingOnClose(CSetupState& state) : state_(state) {}

protected:
  void OnClose() override { state_.RecordFailure(FailureCause::user); }

private:
  CSetupState& state_;
};

TEST_F(CopyProgressPageTest, AStopFromOutsideEndsTheCopyAfterTheFileWithTheCauseItRecorded) {
  ASSERT_TRUE(WriteFileBytes(scratch_ + "readme.txt", "Read me!\r\n"));
  ASSERT_TRUE(WriteFileBytes(scratch_ + "after.txt", "after"));
  WriteDistribution("readme.txt=10|0|1|1|0|\r\nafter.txt=5|0|1|1|0|\r\n");
  CFailingOnClose closing(*app_);
  ASSERT_TRUE(closing.Create(nullptr, "closing", WS_POPUP, RECT{0, 0, 10, 10}));
  // Handled by the first pump, before the copy begins.
  closing.PostMessage(WM_CLOSE);
  Copy();
  closing.DestroyWindow();

  ASSERT_EQ(CWizardPage::kFailedPage, CurrentPageId());
  EXPECT_EQ(CopyStop::requested, CopyPage().GetCopyStop());
  EXPECT_EQ(FailureCause::user, app_->failureCause) << "the copy page adds no cause of its own";
  // The file under way was finished and logged, the next one not begun; the
  // destinations and groups are logged, the program items are not.
  EXPECT_EQ((std::vector<std::string>{"readme.txt"}), ListFolder(scratch_ + "Veltrane"));
  EXPECT_EQ(0, app_->system.shortcutCreations);
  EXPECT_EQ("0|1|0", LogValue("program", "readme.txt"));
  EXPECT_NE("", LogValue("destinations", "0"));
  EXPECT_EQ("Program files|The program|1|1|1", LogValue("groups", "program"));
  EXPECT_EQ("", LogValue("targets", "readme.txt"));
}

TEST_F(CopyProgressPageTest, ThePumpBeforeEachMemberLetsMessagesThroughAtMostOnceAnUpdateInterval) {
  CCopyProgressPage page;
  constexpr UINT kProbe = WM_APP + 7;
  const auto waiting = [] {
    MSG msg;
    return ::PeekMessageA(&msg, nullptr, kProbe, kProbe, PM_NOREMOVE) != FALSE;
  };
  ::PostThreadMessageA(::GetCurrentThreadId(), kProbe, 0, 0);
  page.PumpMessages();
  EXPECT_FALSE(waiting());

  ::PostThreadMessageA(::GetCurrentThreadId(), kProbe, 0, 0);
  const DWORD before = ::GetTickCount();
  page.PumpMessages();
  // (A machine that stalled for the whole interval proves nothing.)
  if (::GetTickCount() - before < CCopyProgressPage::kUpdateIntervalMs) {
    EXPECT_TRUE(waiting());
  }

  // The page goes by GetTickCount, which a loaded machine may advance late:
  // waited for by that clock, not by Sleep alone.
  for (int i = 0; i < 500 && ::GetTickCount() - before < CCopyProgressPage::kUpdateIntervalMs; ++i) ::Sleep(10);
  page.PumpMessages();
  EXPECT_FALSE(waiting());
}
