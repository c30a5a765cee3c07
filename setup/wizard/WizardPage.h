// CWizardPage: one page of the setup wizard, a modeless dialog on its own
// template whose id is the page's id. A page knows the page that follows it
// (changeable while it runs) and remembers the page it was first reached
// from. When its window has been created it posts WM_PAGEWORK to itself;
// the page runner then does the page's automatic work (DoPageWork) and
// moves on to the page that the work names.
//
// Pages are made by their wizard (CWizard::CreatePage), which keeps them in
// its page map until the end of the program; navigation is its ShowPage.
// A page reads and writes the run's state through its wizard.
#pragma once

#include <memory>
#include <string>

#include "framework/Dialog.h"
#include "setup/wizard/RunOutcome.h"

class CButtonBar;
class CSetupState;
class CWizard;

class CWizardPage : public CDialog {
public:
  static constexpr int kEndOfProgram = -1;
  static constexpr int kFailedPage = 116;

  CWizardPage(int pageId, int nextPageId, bool hasButtonBar = true);
  ~CWizardPage() override;

  int GetPageId() const { return pageId_; }
  int GetNextPageId() const { return nextPageId_; }
  void SetNextPageId(int id) { nextPageId_ = id; }
  int GetPreviousPageId() const { return previousPageId_; }
  void SetPreviousPageId(int id) { previousPageId_ = id; }
  bool HasButtonBar() const { return hasButtonBar_; }
  bool WasHiddenOnce() const { return hiddenOnce_; }
  // True while the page's automatic work runs: Back, Next, Enter, Esc and
  // Cancel do nothing then, so that no other page runs inside the work.
  bool IsDoingWork() const { return doingWork_; }
  void SetHiddenOnce() { hiddenOnce_ = true; }
  // The bar under the page's own controls; null before the window exists
  // and on pages without one.
  CButtonBar* GetButtonBar() const { return buttonBar_.get(); }

  // Positions the page; the default centres it over its owner.
  virtual void PlacePage();
  // The page's automatic work: the id of the page to show next, or 0 to
  // wait for the user. The default waits. Whatever it throws is reported
  // ("Setup cannot continue") and fails the run on the failure page.
  virtual int DoPageWork();
  // Asked before a Cancel ends the run; the default asks the user.
  virtual bool ConfirmCancel();
  // False when the page is to be passed over; the default shows it.
  virtual bool ShouldShow();
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
  // Creates the bar, fills the controls, places and shows the page and
  // posts WM_PAGEWORK. Every page calls it first from its own.
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
  int pageId_;
  int nextPageId_;
  bool hasButtonBar_;
  bool hiddenOnce_ = false;
  bool doingWork_ = false;
  int previousPageId_ = 0;
  std::unique_ptr<CButtonBar> buttonBar_;
};
