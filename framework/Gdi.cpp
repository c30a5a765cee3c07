#include "framework/Gdi.h"

#include "framework/Resources.h"

bool CFont::CreatePointFont(int points, int widthPoints, bool bold, bool italic, bool underline,
                            bool strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                            BYTE quality, BYTE pitchAndFamily, const char* faceName, HDC dc) {
  CClientDC screen(nullptr);
  HDC target = dc ? dc : screen.GetSafeHdc();
  LOGFONTA lf{};
  lf.lfHeight = -::MulDiv(points, ::GetDeviceCaps(target, LOGPIXELSY), 72);
  lf.lfWidth = -::MulDiv(widthPoints, ::GetDeviceCaps(target, LOGPIXELSX), 72);
  lf.lfWeight = bold ? FW_BOLD : 0;
  lf.lfItalic = italic;
  lf.lfUnderline = underline;
  lf.lfStrikeOut = strikeOut;
  lf.lfCharSet = charSet;
  lf.lfOutPrecision = outPrecision;
  lf.lfClipPrecision = clipPrecision;
  lf.lfQuality = quality;
  lf.lfPitchAndFamily = pitchAndFamily;
  if (faceName) lstrcpynA(lf.lfFaceName, faceName, LF_FACESIZE);
  return CreateFontIndirect(lf);
}

SIZE CBitmap::GetSize() const {
  BITMAP bm{};
  if (!GetBitmap(bm)) return SIZE{0, 0};
  return SIZE{bm.bmWidth, bm.bmHeight};
}

int CPalette::GetEntryCount() const {
  WORD count = 0;
  if (!::GetObjectA(GetSafeHandle(), sizeof count, &count)) return 0;
  return count;
}

SIZE CDC::GetTextExtent(const std::string& text) const {
  SIZE size{0, 0};
  ::GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size);
  return size;
}

void CDC::FillSolidRect(const RECT& rc, COLORREF color) {
  CBrush brush(color);
  ::FillRect(dc_, &rc, brush);
}

CPaintDC::CPaintDC(HWND wnd) : wnd_(wnd) { dc_ = ::BeginPaint(wnd, &m_ps); }
CPaintDC::~CPaintDC() { ::EndPaint(wnd_, &m_ps); }

CClientDC::CClientDC(HWND wnd) : wnd_(wnd) { dc_ = ::GetDC(wnd); }
CClientDC::~CClientDC() {
  if (dc_) ::ReleaseDC(wnd_, dc_);
}

CMemoryDC::CMemoryDC(HDC compatibleWith) { dc_ = ::CreateCompatibleDC(compatibleWith); }
CMemoryDC::~CMemoryDC() {
  if (dc_) ::DeleteDC(dc_);
}
