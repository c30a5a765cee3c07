// CBitmapDialog: a captionless popup on a dialog template of the program's
// that shows one bitmap resource, or a picture it is given, at its own size
// (a splash, a billboard).
// It is centred at one third of the screen's width and height; one made to
// stay out of sight has no size at all.
#pragma once

#include <windows.h>

#include "framework/Dialog.h"
#include "framework/Gdi.h"

class CBitmapDialog : public CDialog {
public:
  CBitmapDialog(UINT templateId, int bitmapId, CWnd* parent = nullptr, bool outOfSight = false);
  // Shows picture (which the dialog then owns) instead of a resource; an
  // empty one shows the resource bitmapId.
  CBitmapDialog(UINT templateId, CBitmap picture, int bitmapId, CWnd* parent = nullptr, bool outOfSight = false);

  // Creates the modeless window from the template.
  bool Create();

  int GetBitmapId() const { return bitmapId_; }

  // Draws bitmap at (0, 0) of dc at its own size. With a palette, the
  // palette is selected and realised in dc and in the memory DC first.
  static void DrawBitmap(HDC dc, HBITMAP bitmap, HPALETTE palette = nullptr);

protected:
  BOOL OnInitDialog() override;
  BOOL OnEraseBkgnd(HDC dc) override;
  HBRUSH OnCtlColor(HDC dc, HWND control, UINT type) override;
  void OnDestroy() override;

private:
  int bitmapId_;
  bool outOfSight_;
  HBRUSH brush_ = nullptr;  // the stock NULL_BRUSH: not owned
  CBitmap bitmap_;
};
