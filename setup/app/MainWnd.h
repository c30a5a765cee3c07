// CMainWnd: the setup program's background window. It covers the screen
// with a vertical gradient from dark blue to cyan and the product title in
// gold italic letters with a black shadow; the wizard pages float on it and
// are owned by it. As the application's main window, its destruction ends
// the program.
//
// On displays with a palette it keeps a gradient palette of its own
// realised while applications gain and lose the foreground; the pages read
// it (GetPalette, handed to their wizard) to realise it in their own device
// contexts.
//
// A close request (Alt+F4) never closes it: it asks whether Setup is to be
// abandoned, and Yes marks the run as failed in the run's state.
#pragma once

#include <windows.h>

#include <string>

#include "framework/FrameWnd.h"
#include "framework/Gdi.h"

class CSetupState;

class CMainWnd : public CFrameWnd {
public:
  static constexpr COLORREF kGradientTop = RGB(0, 0, 200);
  static constexpr COLORREF kGradientBottom = RGB(0, 255, 255);
  static constexpr COLORREF kTitleColor = RGB(255, 204, 0);

  // state gives the title and the mode and takes the close question's
  // answer; it must outlive the window.
  explicit CMainWnd(CSetupState& state) : state_(state) {}

  // Creates the window with the state's productTitle, maximised (or
  // minimised in batch mode). False when the window cannot be created.
  bool Create();

  // Selects the palette as foreground palette in the window's DC and
  // realises it; when entries were remapped the whole window is repainted.
  void RealizeOwnPalette();

  // The gradient palette; null on devices without a palette.
  HPALETTE GetPalette() const { return palette_.GetSafeHandle(); }
  // The state of the last WM_ACTIVATEAPP.
  bool IsAppActive() const { return appActive_; }

  // The close question: whether Setup is to be abandoned; Yes marks the
  // run as failed by the user in state. Asked for the window's close
  // request, and in a silent run, which has no window, for a close request
  // posted to its thread.
  static void AskToAbandon(CSetupState& state);

  // The colour of row y of a gradient h rows high, per component
  // top + y * (bottom - top) / h.
  static COLORREF GradientRowColor(int y, int h, COLORREF top, COLORREF bottom);
  // Paints the gradient over client, one row at a time (palette-relative
  // colours when paletteRelative), and the title with its shadow in the
  // top-left corner. The DC's font, background mode and text colour are as
  // before afterwards.
  static void PaintBackground(HDC dc, const RECT& client, bool paletteRelative, const std::string& title);

protected:
  int OnCreate(CREATESTRUCTA* cs) override;
  void OnPaint() override;
  void OnActivateApp(BOOL active, DWORD threadId) override;
  void OnPaletteChanged(HWND focusWnd) override;
  BOOL OnQueryNewPalette() override;
  void OnClose() override;
  void OnDestroy() override;

private:
  CSetupState& state_;
  CPalette palette_;
  bool appActive_ = false;
};
