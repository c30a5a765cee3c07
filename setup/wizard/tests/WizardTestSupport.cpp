#include "WizardTestSupport.h"

#include <cstring>
#include <set>

#include "framework/WinApp.h"
#include "setup/profile/InstallModel.h"
#include "setup/resources/ResourceIds.h"
#include "setup/wizard/ButtonBar.h"
#include "setup/wizard/Wizard.h"
#include "setup/wizard/WizardPage.h"
#include "tests/support/DrainMessages.h"
#include "tests/support/TestFiles.h"

CWizardTestApp::CWizardTestApp()
    : CSetupApp(std::make_unique<CTestSystemActions>()), system(static_cast<CTestSystemActions&>(System())) {
  m_title = "Veltrane Setup";
  model = std::make_unique<CInstallModel>("Veltrane");
  SetProduct(CProductIdentity::Builtin());
}

CWizardTestApp::~CWizardTestApp() {
  if (mainWindow_.m_hWnd) mainWindow_.DestroyWindow();
}

LRESULT CWizardTestApp::ProcessWndProcException(CException& e, const MSG*) {
  handled.push_back(e.GetRuntimeClassName());
  return 0;
}

void CWizardTestApp::CreateMainWindow() {
  ASSERT_TRUE(mainWindow_.Create(nullptr, "Veltrane Setup", WS_POPUP | WS_VISIBLE, RECT{0, 0, 800, 600}));
  m_pMainWnd = &mainWindow_;
}

CScriptedUser::CScriptedUser(std::vector<int> answers, BoxAction beforeAnswer)
    : testThread_(::GetCurrentThreadId()),
      answers_(std::move(answers)),
      beforeAnswer_(std::move(beforeAnswer)),
      thread_([this] { Run(); }) {}

CScriptedUser::~CScriptedUser() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

std::vector<SeenBox> CScriptedUser::Seen() {
  std::lock_guard<std::mutex> lock(mutex_);
  return seen_;
}

namespace {

std::string WindowText(HWND wnd) {
  if (!wnd) return {};
  std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(wnd)) + 1, '\0');
  const int length = ::GetWindowTextA(wnd, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
  return text;
}

BOOL CALLBACK RecordControl(HWND control, LPARAM param) {
  try {
    (*reinterpret_cast<std::map<int, std::string>*>(param))[::GetDlgCtrlID(control)] = WindowText(control);
    return TRUE;
  } catch (...) {
    return FALSE;  // out of memory: what was recorded so far stays
  }
}

struct BoxSearch {
  const std::set<HWND>* answered;
  HWND found;
};

// A modal box: a dialog whose owner it has disabled (a message box, the
// error dialog) and that is no wizard page (the pages share the owner).
// Objects are looked at only while they cannot go: the pages live until
// the test ends, and a box waits for its answer (answered boxes are passed
// over before their objects are touched).
BOOL CALLBACK FindModalBox(HWND wnd, LPARAM param) {
  auto* search = reinterpret_cast<BoxSearch*>(param);
  char cls[16];
  if (search->answered->count(wnd) || !::GetClassNameA(wnd, cls, sizeof cls) || std::strcmp(cls, "#32770") != 0 ||
      !::IsWindowVisible(wnd)) {
    return TRUE;
  }
  HWND owner = ::GetWindow(wnd, GW_OWNER);
  if (!owner || ::IsWindowEnabled(owner) || dynamic_cast<CWizardPage*>(CWnd::FromHandle(wnd))) return TRUE;
  search->found = wnd;
  return FALSE;
}

}  // namespace

void CScriptedUser::Run() {
  std::size_t next = 0;
  std::set<HWND> answered;  // a box stays visible for a while after its answer
  while (!stop_) {
    BoxSearch search{&answered, nullptr};
    ::EnumThreadWindows(testThread_, &FindModalBox, reinterpret_cast<LPARAM>(&search));
    if (HWND box = search.found) {
      answered.insert(box);
      SeenBox seen{WindowText(box), WindowText(::GetDlgItem(box, 0xffff)),
                   WindowText(::GetDlgItem(box, IDC_ERROR_INFORMATION)), {}};
      ::EnumChildWindows(box, &RecordControl, reinterpret_cast<LPARAM>(&seen.controls));
      {
        std::lock_guard<std::mutex> lock(mutex_);
        seen_.push_back(seen);
      }
      if (beforeAnswer_) beforeAnswer_(box);
      const int answer = next < answers_.size() ? answers_[next++] : IDCANCEL;
      ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
    }
    ::Sleep(5);
  }
}

void WizardTest::SetUp() {
  char temp[MAX_PATH];
  ::GetTempPathA(MAX_PATH, temp);
  char folder[MAX_PATH];
  ::GetTempFileNameA(temp, "wiz", 0, folder);
  ::DeleteFileA(folder);
  ASSERT_TRUE(::CreateDirectoryA(folder, nullptr));
  scratch_ = std::string(folder) + "\\";

  app_ = std::make_unique<CWizardTestApp>();
  app_->profilePath = CPathName(scratch_ + "_setupx.ini");
  app_->logPath = CPathName(scratch_ + "veltapp.log");
  app_->CreateMainWindow();
}

void WizardTest::TearDown() {
  wizard().DestroyAllPages();
  app_.reset();
  Settle();
  if (!scratch_.empty()) RemoveTree(scratch_);
}

void WizardTest::WriteProfile(bool withDestinations, const std::string& groupSections) {
  const std::string profile = app_->profilePath.GetPath();
  std::string text;
  if (withDestinations) {
    text += "[destinations]\r\n0=Veltrane|-1|" + scratch_ + "Veltrane\r\n1=Data|0|\r\n";
  }
  text +=
      "[groups]\r\nprogram=Program files|The program|1|1|1\r\nsamples=Samples|Sample data|0|0|1\r\n"
      "[PMGroup]\r\nPMGroup=Veltrane\r\n"
      "[targets]\r\nveltapp.exe=0|0|0|Veltrane|||\r\nreadme.txt=0|0|0|Read Me|||\r\n"
      "[diskettes]\r\n1=Veltrane Disk 1|\r\n";
  // Groups of no files, as the kit builder writes them, have their
  // sections too.
  text += groupSections;
  ASSERT_TRUE(WriteFileBytes(profile, text));
}

void WizardTest::Settle() { DrainMessages(); }

int WizardTest::CurrentPageId() const {
  CWizardPage* page = wizard().GetCurrentPage();
  if (!page || !page->m_hWnd || !page->IsWindowVisible()) return 0;
  return page->GetPageId();
}

CWizardPage* WizardTest::Page(int id) const { return wizard().FindPage(id); }

HWND WizardTest::Control(int pageId, int controlId) const {
  CWizardPage* page = wizard().FindPage(pageId);
  if (!page || !page->m_hWnd) return nullptr;
  if (HWND control = page->GetDlgItem(controlId)) return control;
  CButtonBar* bar = page->GetButtonBar();
  return bar ? bar->GetDlgItem(controlId) : nullptr;
}

void WizardTest::Click(int pageId, int controlId) const {
  HWND button = Control(pageId, controlId);
  ASSERT_NE(nullptr, button) << "control " << controlId << " of page " << pageId;
  ASSERT_TRUE(::IsWindowVisible(button) && ::IsWindowEnabled(button))
      << "control " << controlId << " of page " << pageId << " cannot be pressed";
  ::SendMessageA(::GetParent(button), WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
  Settle();
}

void WizardTest::PressEscape(int pageId) const {
  CWizardPage* page = wizard().FindPage(pageId);
  ASSERT_TRUE(page && page->m_hWnd);
  ::PostMessageA(page->m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
  Settle();
}

void WizardTest::Type(int pageId, int controlId, const std::string& text) const {
  HWND edit = Control(pageId, controlId);
  ASSERT_NE(nullptr, edit);
  // What typing leaves behind: the new text and its change notification.
  ::SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  ::SendMessageA(::GetParent(edit), WM_COMMAND, MAKEWPARAM(controlId, EN_CHANGE), reinterpret_cast<LPARAM>(edit));
  Settle();
}

std::string WizardTest::TextOf(HWND wnd) { return WindowText(wnd); }
