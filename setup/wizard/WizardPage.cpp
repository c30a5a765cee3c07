#include "setup/wizard/WizardPage.h"

#include "framework/Exception.h"
#include "framework/Gdi.h"
#include "framework/WinApp.h"
#include "setup/errors/ErrorReport.h"
#include "setup/resources/ResourceIds.h"
#include "setup/wizard/ButtonBar.h"
#include "setup/wizard/SetupState.h"
#include "setup/wizard/Wizard.h"

namespace {

const CWizardStep& StepOf(int pageId) {
  const CWizardStep* step = FindWizardStep(pageId);
  if (!step) AfxThrowNotSupportedException();
  return *step;
}

}  // namespace

CWizardPage::CWizardPage(int pageId)
    : CDialog(static_cast<UINT>(pageId)), step_(StepOf(pageId)), nextPageId_(step_.next) {}

CWizardPage::~CWizardPage() {
  // The bar is a child of the page window: let it go first, while its
  // object still exists.
  buttonBar_.reset();
}

CWizard& CWizardPage::Wizard() const {
  if (!wizard_) AfxThrowNotSupportedException();
  return *wizard_;
}

CSetupState& CWizardPage::State() const { return Wizard().State(); }

void CWizardPage::PlacePage() { CenterWindow(); }

int CWizardPage::DoPageWork() { return 0; }

bool CWizardPage::ConfirmCancel() {
  return AfxMessageBox(State().ProductText(IDS_CONFIRM_EXIT), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool CWizardPage::CreatePageWindow() { return Create(GetTemplateId(), nullptr); }

void CWizardPage::GoNext() { Wizard().ShowPage(nextPageId_, false); }

void CWizardPage::GoBack() {
  // The first page of a walk has nowhere to go back to.
  if (previousPageId_ != 0) Wizard().ShowPage(previousPageId_, true);
}

void CWizardPage::NoteRefusal(const std::string& reason) {
  State().verboseLog.Write("Page %d refused its input: %s", GetPageId(), reason.c_str());
}

void CWizardPage::MarkFailed(FailureCause cause) {
  nextPageId_ = kFailedPage;
  State().RecordFailure(cause);
}

namespace {

// The product's name in the page's caption and in its static texts and
// buttons; what the user types (the edits) is left alone.
void NameProductIn(HWND page, const CProductIdentity& product) {
  if (!product.named) return;
  const auto rename = [&](HWND window) {
    std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    const std::string renamed = product.InText(text);
    if (renamed != text) ::SetWindowTextA(window, renamed.c_str());
  };
  rename(page);
  for (HWND child = ::GetWindow(page, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    char className[16] = "";
    ::GetClassNameA(child, className, sizeof className);
    if (::lstrcmpiA(className, "Static") == 0 || ::lstrcmpiA(className, "Button") == 0) rename(child);
  }
}

}  // namespace

BOOL CWizardPage::OnInitDialog() {
  Prepare();
  NameProductIn(m_hWnd, State().product);
  // The bar first: it gives the page its full size before the page is placed.
  if (HasButtonBar() && !buttonBar_) {
    auto bar = std::make_unique<CButtonBar>(*this);
    if (!bar->Create()) AfxThrowResourceException();
    buttonBar_ = std::move(bar);
  }
  CDialog::OnInitDialog();
  Wizard().PageIcons().ShowIn(m_hWnd);
  PlacePage();
  if (State().batchMode) MoveWindow(0, 0, 0, 0, true);
  ShowWindow(SW_SHOW);
  PostMessage(WM_PAGEWORK);
  return TRUE;
}

void CWizardPage::OnOK() { GoNext(); }

void CWizardPage::OnCancel() {
  if (nextPageId_ == kEndOfProgram) {
    OnOK();
    return;
  }
  if (ConfirmCancel()) {
    MarkFailed(FailureCause::user);
    GoNext();
  }
}

LRESULT CWizardPage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAGEWORK) {
    OnPageWork();
    return 0;
  }
  return CDialog::WindowProc(message, wParam, lParam);
}

BOOL CWizardPage::OnCommand(UINT id, UINT code, HWND control) {
  if (doingWork_ && (id == IDOK || id == IDCANCEL || id == IDC_BACK)) return TRUE;
  if (id == IDC_BACK && (code == BN_CLICKED || control == nullptr)) {
    GoBack();
    return TRUE;
  }
  return CDialog::OnCommand(id, code, control);
}

void CWizardPage::OnActivateApp(BOOL active, DWORD threadId) {
  if (CWnd* main = AfxGetMainWnd(); main && main->m_hWnd) {
    // The background keeps its colours behind the page.
    CClientDC dc(m_hWnd);
    CSelectPalette select(dc, wizard_ ? wizard_->GetBackgroundPalette() : nullptr);
    dc.RealizePalette();
    ::InvalidateRect(main->m_hWnd, nullptr, TRUE);
  }
  CDialog::OnActivateApp(active, threadId);
}

void CWizardPage::FailOnCurrentException() {
  // Whatever stopped the work fails the run.
  AfxTranslateCurrentException([](CException& e) { ReportError(IDS_SETUP_CANNOT_CONTINUE, e); });
  MarkFailed(FailureCause::error);
}

void CWizardPage::OnPageWork() {
  int result = kFailedPage;
  doingWork_ = true;
  try {
    result = DoPageWork();
  } catch (...) {
    FailOnCurrentException();
    result = kFailedPage;
  }
  doingWork_ = false;
  if (result != 0) {
    Wizard().ShowPage(result, false);
  } else if (State().batchMode) {
    // A batch run presses OK itself: what OK throws is nobody's to answer
    // and would leave the run waiting on this page.
    try {
      OnOK();
    } catch (...) {
      FailOnCurrentException();
      if (Wizard().IsOn(*this)) GoNext();
      return;
    }
    // A batch run waits on a page that refuses its input; a silent one
    // would wait for nobody, and fails instead.
    if (State().silentMode && Wizard().IsOn(*this)) {
      State().verboseLog.Write("Page %d did not go on: the silent run fails.", GetPageId());
      MarkFailed(FailureCause::error);
      GoNext();
    }
  }
}
