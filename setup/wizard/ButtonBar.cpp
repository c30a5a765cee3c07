#include "setup/wizard/ButtonBar.h"

#include <algorithm>

#include "setup/resources/ResourceIds.h"
#include "setup/wizard/WizardPage.h"

CButtonBar::CButtonBar(CWizardPage& page) : CDialog(IDD_BUTTON_BAR, &page), page_(page) {}

bool CButtonBar::Create() { return CDialog::Create(IDD_BUTTON_BAR, &page_); }

BOOL CButtonBar::OnInitDialog() {
  CDialog::OnInitDialog();
  const RECT bar = GetWindowRect();
  const RECT pageWindow = page_.GetWindowRect();
  const RECT pageClient = page_.GetClientRect();
  const int barWidth = bar.right - bar.left;
  const int barHeight = bar.bottom - bar.top;
  const int pageWidth = pageWindow.right - pageWindow.left;
  const int width = std::max(pageWidth, barWidth);

  MoveWindow((pageClient.right - barWidth) / 2, pageClient.bottom, width, barHeight, false);
  ::SetWindowPos(page_.m_hWnd, nullptr, 0, 0, width, pageWindow.bottom - pageWindow.top + barHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

  // Taken once, when the page first appears: Back only where the page was
  // reached from another one.
  EnableBack(page_.GetPreviousPageId() != 0);
  EnableNext(page_.GetNextPageId() != 0);
  return TRUE;
}

void CButtonBar::EnableNext(bool enable) { ::EnableWindow(GetDlgItem(IDC_NEXT), enable); }
void CButtonBar::EnableBack(bool enable) { ::EnableWindow(GetDlgItem(IDC_BACK), enable); }
void CButtonBar::SetNextText(const std::string& text) { SetDlgItemText(IDC_NEXT, text); }
void CButtonBar::SetCancelText(const std::string& text) { SetDlgItemText(IDCANCEL, text); }

BOOL CButtonBar::OnCommand(UINT id, UINT code, HWND control) {
  if (page_.IsDoingWork()) return TRUE;
  if (code == BN_CLICKED || control == nullptr) {
    if (id == IDC_BACK) {
      page_.GoBack();
      return TRUE;
    }
    if (id == IDC_NEXT) {
      page_.OnOK();
      return TRUE;
    }
  }
  return CDialog::OnCommand(id, code, control);
}

void CButtonBar::OnOK() {
  if (!page_.IsDoingWork()) page_.OnOK();
}
void CButtonBar::OnCancel() {
  if (!page_.IsDoingWork()) page_.OnCancel();
}
