// CWizardPage: one page of the setup wizard, a modeless dialog on its own
// template whose id is the page's id. Its step (WizardStep.h) gives the
// page that follows it (changeable while it runs), whether it has a button
// bar and when it is shown; the page remembers the page it was first
// reached from. When its window has been created it posts WM_PAGEWORK to itself;
// the page runner then does the page's automatic work (DoPageWork) and
// moves on to the page that the work names.
//
// Pages are made by their wizard (CWizard::CreatePage), which keeps them in
// its page map until the end of the program; navigation is its ShowPage.
// A page reads and writes the run's state through its wizard.
//
// The page is the view of its step: its starting values (Prepare), its
// work (DoPageWork) and its checks (OnOK) run as well without its window,
// which a silent run never creates (RunUnseen).
#pragma once

#include <memory>
#include <string>

#include "framework/Dialog.h"
#include "setup/wizard/RunOutcome.h"
#include "setup/wizard/WizardStep.h"

class CButtonBar;
class CSetupState;
class CWizard;

class CWizardPage : public CDialog {
public:
  static constexpr int kEndOfProgram = kEndOfProgramStep;
  static constexpr int kFailedPage = kFailedStep;

  // The page of step pageId; an id that is no step throws
  // CNotSupportedException.
  explicit CWizardPage(int pageId);
  ~CWizardPage() override;

  int GetPageId() const { return step_.pageId; }
  const CWizardStep& GetStep() const { return step_; }
  int GetNextPageId() const { return nextPageId_; }
  void SetNextPageId(int id) { nextPageId_ = id; }
  int GetPreviousPageId() const { return previousPageId_; }
  void SetPreviousPageId(int id) { previousPageId_ = id; }
  bool HasButtonBar() const { return step_.buttonBar; }
  bool WasHiddenOnce() const { return hiddenOnce_; }
  // True while the page's automatic work runs: Back, Next, Enter, Esc and
  // Cancel do nothing then, so that no other page runs inside the work.
  bool IsDoingWork() const { return doingWork_; }
  void SetHiddenOnce() { hiddenOnce_ = true; }
  // The bar under the page's own controls; null before the window exists
  // and on pages without one.
  CButtonBar* GetButtonBar() const { return buttonBar_.get(); }

  // Takes the page's starting values from the run's state, once, before
  // its window (if any) shows them; the default has none.
  virtual void Prepare() {}
  // The page runner without a window: the page's work, then, as an
  // unattended page does, its OK.
  void RunUnseen() { OnPageWork(); }
  // Positions the page; the default centres it over its owner.
  virtual void PlacePage();
  // The page's automatic work: the id of the page to show next, or 0 to
  // wait for the user. The default waits. Whatever it throws is reported
  // ("Setup cannot continue") and fails the run on the failure page.
  virtual int DoPageWork();
  // Asked before a Cancel ends the run; the default asks the user.
  virtual bool ConfirmCancel();
  // Creates the page's window (owned by the main window).
  virtual bool CreatePageWindow();

  // The wizard that adopted the page, and the run's state through it. A
  // page that no wizard adopted has none: asking for it throws
  // CNotSupportedException.
  CWizard& Wizard() const;
  CSetupState& State() const;
  void SetWizard(CWizard& wizard) noexcept { wizard_ = &wizard; }

  // Shows the successor, or the page this one was first reached from.
  void GoNext();
  void GoBack();
  // The run has failed for cause: the page moves on to the failure page,
  // and the installation is reported as failed.
  void MarkFailed(FailureCause cause = FailureCause::error);
  // The page does not take what it was given: reason goes to the verbose
  // log (a silent run then fails on it; see OnPageWork).
  void NoteRefusal(const std::string& reason);

protected:
  // Prepares the page, creates the bar, fills the controls, places and
  // shows the page and posts WM_PAGEWORK. Every page calls it first from
  // its own.
  BOOL OnInitDialog() override;
  // Next: the default moves on to the successor.
  void OnOK() override;
  // Cancel: a final page ends the program; any other asks ConfirmCancel and
  // then fails the run.
  void OnCancel() override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  BOOL OnCommand(UINT id, UINT code, HWND control) override;
  void OnActivateApp(BOOL active, DWORD threadId) override;

  // The page runner.
  void OnPageWork();

private:
  // Reports the exception being handled ("Setup cannot continue") and
  // fails the run on the failure page.
  void FailOnCurrentException();

  friend class CButtonBar;  // its buttons act as the page's Back, Next and Cancel

  CWizard* wizard_ = nullptr;
  const CWizardStep& step_;
  int nextPageId_;
  bool hiddenOnce_ = false;
  bool doingWork_ = false;
  int previousPageId_ = 0;
  std::unique_ptr<CButtonBar> buttonBar_;
};
