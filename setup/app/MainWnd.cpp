#include "setup/app/MainWnd.h"

#include "framework/Resources.h"
#include "framework/WinApp.h"
#include "setup/app/GradientPalette.h"
#include "setup/resources/ResourceIds.h"
#include "setup/wizard/SetupState.h"

bool CMainWnd::Create() {
  const CSetupState& app = state_;
  const std::string className = RegisterWndClass(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS,
                                                 ::LoadCursorA(nullptr, IDC_ARROW), nullptr, LoadAppIcon(IDI_PROGRAM));
  if (!CFrameWnd::Create(className.c_str(), app.productTitle.c_str(),
                         WS_BORDER | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) {
    return false;
  }
  // A silent run shows nothing at all: the window exists, as the pages'
  // owner, but never appears.
  if (app.silentMode) return true;
  const int show = app.batchMode ? SW_MINIMIZE : SW_SHOWMAXIMIZED;
  ShowWindow(show);
  // The first ShowWindow of a process may take the show state its launcher
  // asked for instead: the background covers the screen (or stays out of
  // sight in batch mode) however the program was started.
  if (app.batchMode ? !::IsIconic(m_hWnd) : !::IsZoomed(m_hWnd)) ShowWindow(show);
  return true;
}

int CMainWnd::OnCreate(CREATESTRUCTA* cs) {
  if (CFrameWnd::OnCreate(cs) == -1) return -1;
  const CClientDC dc(m_hWnd);
  CreateGradientPalette(palette_, dc, kGradientTop, kGradientBottom);
  return 0;
}

void CMainWnd::RealizeOwnPalette() {
  CClientDC dc(m_hWnd);
  const CSelectPalette select(dc, palette_.GetSafeHandle(), false);
  if (dc.RealizePalette() > 0) Invalidate(true);
}

COLORREF CMainWnd::GradientRowColor(int y, int h, COLORREF top, COLORREF bottom) {
  const auto component = [&](int from, int to) { return from + y * (to - from) / h; };
  return RGB(component(GetRValue(top), GetRValue(bottom)), component(GetGValue(top), GetGValue(bottom)),
             component(GetBValue(top), GetBValue(bottom)));
}

void CMainWnd::PaintBackground(HDC dc, const RECT& client, bool paletteRelative, const std::string& title) {
  const int h = client.bottom - client.top;
  for (int y = 0; y < h; ++y) {
    COLORREF color = GradientRowColor(y, h, kGradientTop, kGradientBottom);
    if (paletteRelative) color = PALETTERGB(GetRValue(color), GetGValue(color), GetBValue(color));
    const CBrush brush(color);
    const RECT row{client.left, client.top + y, client.right, client.top + y + 1};
    ::FillRect(dc, &row, brush);
  }

  CFont font;
  if (!font.CreatePointFont(24, 0, true, true, false, false, 0, 0, 0, 0, 0, "Arial", dc)) return;
  const CSelectObject selectFont(dc, font);
  const CSaveTextState saveText(dc);
  ::SetBkMode(dc, TRANSPARENT);
  const int x0 = ::GetSystemMetrics(SM_CXHTHUMB);
  const int y0 = ::GetSystemMetrics(SM_CYVTHUMB);
  const int dx = 2 * ::GetSystemMetrics(SM_CXDLGFRAME);
  const int dy = 2 * ::GetSystemMetrics(SM_CYDLGFRAME);
  CDC text(dc);
  ::SetTextColor(dc, RGB(0, 0, 0));
  text.TextOut(x0 + dx, y0 + dy, title);
  ::SetTextColor(dc, kTitleColor);
  text.TextOut(x0, y0, title);
}

void CMainWnd::OnPaint() {
  CPaintDC dc(m_hWnd);
  const CSelectPalette select(dc, palette_.GetSafeHandle(), false);
  dc.RealizePalette();
  PaintBackground(dc, GetClientRect(), appActive_, state_.productTitle);
}

void CMainWnd::OnActivateApp(BOOL active, DWORD threadId) {
  appActive_ = active != FALSE;
  CFrameWnd::OnActivateApp(active, threadId);
}

void CMainWnd::OnPaletteChanged(HWND focusWnd) {
  if (focusWnd != m_hWnd) RealizeOwnPalette();
  CFrameWnd::OnPaletteChanged(focusWnd);
}

BOOL CMainWnd::OnQueryNewPalette() {
  RealizeOwnPalette();
  return CFrameWnd::OnQueryNewPalette();
}

void CMainWnd::AskToAbandon(CSetupState& state) {
  if (AfxMessageBox(state.ProductText(IDS_CONFIRM_EXIT), MB_YESNO | MB_ICONQUESTION) == IDYES) {
    state.RecordFailure(FailureCause::user);
  }
}

void CMainWnd::OnClose() {
  // Never closes the window: Yes only marks the run as failed by the
  // user, and the wizard goes on to its failure page.
  AskToAbandon(state_);
}

void CMainWnd::OnDestroy() {
  palette_.DeleteObject();
  CFrameWnd::OnDestroy();
}
