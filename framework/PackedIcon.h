// Icons stored packed. A resource of type "ZICO" holds what one image of an
// ICON resource holds (an RT_ICON resource: a BITMAPINFOHEADER of twice the
// icon's height, the colour table, the colour pixels and the 1-bit mask),
// packed as the pictures of PackedBitmap.h are (PackedData.h). A 32 x 32
// icon of 32 bits keeps 400 to 1,200 bytes of its 4 KB this way.
//
// The icon is made by CreateIconFromResourceEx at the system's icon size
// from exactly the bytes that the plain ICON resource holds, as LoadIcon
// makes it of those (Windows 95, NT 3.1), so that it looks the same on
// every system; unlike LoadIcon's, it is not shared, so that destroying it
// frees it.
//
// A dialog shows a packed icon in a static control of style SS_ICON whose
// control id is the icon's id:
//     CONTROL "", IDI_SOMETHING, "Static", SS_ICON | WS_VISIBLE, 7, 7, 21, 20
// where a plain icon would be "ICON IDI_SOMETHING, -1, 7, 7, 21, 20".
// CPackedIcons::ShowIn fills those controls when the dialog initialises.
#pragma once

#include <windows.h>

#include <cstddef>
#include <utility>
#include <vector>

#include "framework/ScopedHandle.h"

inline constexpr const char* kPackedIconType = "ZICO";

// The icon made from packed icon data in the format above; null when the
// data are damaged or are not an icon image. The caller owns it
// (CIconHandle).
HICON CreateIconFromPackedImage(const void* data, std::size_t size);

// The packed icons of a module, each made once, when it is first asked
// for, and destroyed with this object: it must outlive the windows that
// show them (a static control does not destroy the icon it is given).
class CPackedIcons {
public:
  explicit CPackedIcons(HINSTANCE module) : module_(module) {}

  // The packed icon id of the module, or null when it has none or it is
  // damaged.
  HICON Get(UINT id);
  // Gives each static control of dialog with style SS_ICON and no icon yet
  // the packed icon of its control id, where the module has one.
  void ShowIn(HWND dialog);

private:
  HINSTANCE module_;
  // The icons asked for so far (a page or two's worth), by id: none where
  // the module has none.
  std::vector<std::pair<UINT, CIconHandle>> icons_;
};
