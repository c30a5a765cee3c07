#include "framework/BitmapDialog.h"

#include "framework/PlaceWindow.h"

CBitmapDialog::CBitmapDialog(UINT templateId, int bitmapId, CWnd* parent, bool outOfSight)
    : CDialog(templateId, parent), bitmapId_(bitmapId), outOfSight_(outOfSight) {}

CBitmapDialog::CBitmapDialog(UINT templateId, CBitmap picture, int bitmapId, CWnd* parent, bool outOfSight)
    : CDialog(templateId, parent), bitmapId_(bitmapId), outOfSight_(outOfSight), bitmap_(std::move(picture)) {}

bool CBitmapDialog::Create() { return CDialog::Create(m_templateId, m_pParentWnd); }

BOOL CBitmapDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  if (!bitmap_) bitmap_.LoadBitmap(static_cast<UINT>(bitmapId_));
  brush_ = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
  const SIZE size = bitmap_.GetSize();
  MoveWindow(0, 0, size.cx, size.cy, false);
  PlaceWindow(m_hWnd, 1, 3, 1, 3, nullptr);
  if (outOfSight_) MoveWindow(0, 0, 0, 0, true);
  ShowWindow(SW_SHOW);
  return TRUE;
}

void CBitmapDialog::DrawBitmap(HDC dc, HBITMAP bitmap, HPALETTE palette) {
  BITMAP info{};
  if (!bitmap || !::GetObjectA(bitmap, sizeof info, &info)) return;
  CMemoryDC memory(dc);
  const CSelectPalette targetPalette(dc, palette, false);
  const CSelectPalette memoryPalette(memory, palette, false);
  if (palette) {
    ::RealizePalette(dc);
    ::RealizePalette(memory);
  }
  const CSelectObject select(memory, bitmap);
  ::BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
}

BOOL CBitmapDialog::OnEraseBkgnd(HDC dc) {
  DrawBitmap(dc, bitmap_);
  ::SetBkMode(dc, TRANSPARENT);
  return TRUE;
}

HBRUSH CBitmapDialog::OnCtlColor(HDC dc, HWND control, UINT type) {
  if (type == CTLCOLOR_STATIC) {
    ::SetBkMode(dc, TRANSPARENT);
    return brush_;
  }
  return CDialog::OnCtlColor(dc, control, type);
}

void CBitmapDialog::OnDestroy() {
  CDialog::OnDestroy();
  brush_ = nullptr;
  bitmap_.DeleteObject();
}
