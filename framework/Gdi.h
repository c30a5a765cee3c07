// GDI objects and device contexts. Every object has one owner and is deleted
// by it; a selection made through CSelectObject / CSelectPalette is undone
// when the selection object leaves scope.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

// Owner of one GDI object handle (pen, brush, font, bitmap, palette, region).
template <class H>
class CGdiObjectT {
public:
  CGdiObjectT() noexcept = default;
  explicit CGdiObjectT(H h) noexcept : handle_(h) {}
  CGdiObjectT(const CGdiObjectT&) = delete;
  CGdiObjectT& operator=(const CGdiObjectT&) = delete;
  CGdiObjectT(CGdiObjectT&& other) noexcept : handle_(other.Detach()) {}
  CGdiObjectT& operator=(CGdiObjectT&& other) noexcept {
    if (this != &other) Attach(other.Detach());
    return *this;
  }
  ~CGdiObjectT() { DeleteObject(); }

  H GetSafeHandle() const noexcept { return handle_; }
  operator H() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != nullptr; }

  // Deletes the current object and takes ownership of h.
  void Attach(H h) noexcept {
    DeleteObject();
    handle_ = h;
  }
  H Detach() noexcept { return std::exchange(handle_, nullptr); }
  void DeleteObject() noexcept {
    if (handle_) ::DeleteObject(handle_);
    handle_ = nullptr;
  }

protected:
  // For Create* functions: keeps h when it is valid and reports success.
  bool Take(H h) noexcept {
    if (!h) return false;
    Attach(h);
    return true;
  }

private:
  H handle_ = nullptr;
};

class CPen : public CGdiObjectT<HPEN> {
public:
  CPen() = default;
  CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
  bool CreatePen(int style, int width, COLORREF color) { return Take(::CreatePen(style, width, color)); }
};

class CBrush : public CGdiObjectT<HBRUSH> {
public:
  CBrush() = default;
  explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
  bool CreateSolidBrush(COLORREF color) { return Take(::CreateSolidBrush(color)); }
};

class CFont : public CGdiObjectT<HFONT> {
public:
  bool CreateFontIndirect(const LOGFONTA& lf) { return Take(::CreateFontIndirectA(&lf)); }
  // A font of the given size in points on dc (the screen when dc is null):
  // height -MulDiv(points, LOGPIXELSY, 72), width -MulDiv(widthPoints, LOGPIXELSX, 72).
  bool CreatePointFont(int points, int widthPoints, bool bold, bool italic, bool underline,
                       bool strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                       BYTE quality, BYTE pitchAndFamily, const char* faceName, HDC dc = nullptr);
  bool GetLogFont(LOGFONTA& lf) const { return ::GetObjectA(GetSafeHandle(), sizeof lf, &lf) != 0; }
};

class CBitmap : public CGdiObjectT<HBITMAP> {
public:
  // Loads a bitmap resource of the program (or of instance when given): a
  // BITMAP resource, or else a packed picture of the id (PackedBitmap.h).
  bool LoadBitmap(UINT id, HINSTANCE instance = nullptr);
  bool CreateCompatibleBitmap(HDC dc, int width, int height) {
    return Take(::CreateCompatibleBitmap(dc, width, height));
  }
  bool GetBitmap(BITMAP& bm) const { return ::GetObjectA(GetSafeHandle(), sizeof bm, &bm) != 0; }
  SIZE GetSize() const;
};

class CPalette : public CGdiObjectT<HPALETTE> {
public:
  bool CreatePalette(const LOGPALETTE* lp) { return Take(::CreatePalette(lp)); }
  int GetEntryCount() const;
};

class CRgn : public CGdiObjectT<HRGN> {
public:
  bool CreateRectRgn(int l, int t, int r, int b) { return Take(::CreateRectRgn(l, t, r, b)); }
};

// Non-owning view of a device context with the calls the programs use.
class CDC {
public:
  CDC() = default;
  explicit CDC(HDC dc) : dc_(dc) {}
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;
  virtual ~CDC() = default;

  HDC GetSafeHdc() const { return dc_; }
  operator HDC() const { return dc_; }

  int GetDeviceCaps(int index) const { return ::GetDeviceCaps(dc_, index); }
  COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(dc_, c); }
  COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(dc_, c); }
  int SetBkMode(int mode) { return ::SetBkMode(dc_, mode); }
  bool TextOut(int x, int y, const std::string& text) {
    return ::TextOutA(dc_, x, y, text.data(), static_cast<int>(text.size())) != 0;
  }
  int DrawText(const std::string& text, RECT& rc, UINT format) {
    return ::DrawTextA(dc_, text.data(), static_cast<int>(text.size()), &rc, format);
  }
  SIZE GetTextExtent(const std::string& text) const;
  void FillRect(const RECT& rc, HBRUSH brush) { ::FillRect(dc_, &rc, brush); }
  void FillSolidRect(const RECT& rc, COLORREF color);
  bool BitBlt(int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop) {
    return ::BitBlt(dc_, x, y, w, h, src, sx, sy, rop) != 0;
  }
  COLORREF GetPixel(int x, int y) const { return ::GetPixel(dc_, x, y); }
  UINT RealizePalette() { return ::RealizePalette(dc_); }

protected:
  HDC dc_ = nullptr;
};

// BeginPaint / EndPaint for one WM_PAINT.
class CPaintDC : public CDC {
public:
  explicit CPaintDC(HWND wnd);
  ~CPaintDC() override;
  PAINTSTRUCT m_ps{};

private:
  HWND wnd_;
};

// GetDC / ReleaseDC of a window's client area (the screen when wnd is null).
class CClientDC : public CDC {
public:
  explicit CClientDC(HWND wnd);
  ~CClientDC() override;

private:
  HWND wnd_;
};

// A memory device context compatible with another one (the screen when null).
class CMemoryDC : public CDC {
public:
  explicit CMemoryDC(HDC compatibleWith = nullptr);
  ~CMemoryDC() override;
};

// Selects a GDI object into a DC and puts the previous one back on scope exit.
class CSelectObject {
public:
  CSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? ::SelectObject(dc, object) : nullptr) {}
  CSelectObject(const CSelectObject&) = delete;
  CSelectObject& operator=(const CSelectObject&) = delete;
  ~CSelectObject() {
    if (old_ && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
  }

private:
  HDC dc_;
  HGDIOBJ old_;
};

// Selects a palette (foreground unless background is set) and restores the
// previous one on scope exit. A null palette selects nothing.
class CSelectPalette {
public:
  CSelectPalette(HDC dc, HPALETTE palette, bool background = false)
      : dc_(dc), old_(palette ? ::SelectPalette(dc, palette, background) : nullptr) {}
  CSelectPalette(const CSelectPalette&) = delete;
  CSelectPalette& operator=(const CSelectPalette&) = delete;
  ~CSelectPalette() {
    if (old_) ::SelectPalette(dc_, old_, TRUE);
  }
  bool selected() const { return old_ != nullptr; }

private:
  HDC dc_;
  HPALETTE old_;
};

// Sets the background mode, text colour and background colour of a DC and
// restores them on scope exit.
class CSaveTextState {
public:
  explicit CSaveTextState(HDC dc)
      : dc_(dc), mode_(::GetBkMode(dc)), text_(::GetTextColor(dc)), back_(::GetBkColor(dc)) {}
  CSaveTextState(const CSaveTextState&) = delete;
  CSaveTextState& operator=(const CSaveTextState&) = delete;
  ~CSaveTextState() {
    ::SetBkMode(dc_, mode_);
    ::SetTextColor(dc_, text_);
    ::SetBkColor(dc_, back_);
  }

private:
  HDC dc_;
  int mode_;
  COLORREF text_;
  COLORREF back_;
};
