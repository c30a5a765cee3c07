// Pictures stored packed. A resource of type "ZDIB" holds what a BITMAP
// resource holds, a packed DIB (the BITMAPINFOHEADER, the colour table and
// the pixels, as in a .bmp file after its 14-byte file header), deflated:
// its size in bytes as 4 bytes, little-endian, then one zlib stream of it.
// An 8-bit picture with dithered gradients keeps a few per cent of its
// size this way, where the run-length encoding of BI_RLE8 keeps 80-98 %.
//
// CBitmap::LoadBitmap falls back on these when the program has no BITMAP
// resource of the id, so that a packed picture is loaded where a plain one
// was, and becomes the same device-dependent bitmap that LoadBitmap makes
// (CreateDIBitmap on the screen's DC, as documented since Windows 95 and
// NT 3.1).
#pragma once

#include <windows.h>

#include <cstddef>

inline constexpr const char* kPackedBitmapType = "ZDIB";

// The bitmap made from packed DIB data in the format above, compatible
// with the screen; null when the data are damaged or are not a DIB with a
// BITMAPINFOHEADER. The caller owns it.
HBITMAP CreateBitmapFromPackedDib(const void* data, std::size_t size);

// Whether the packed DIB dib (not deflated) is one the system can draw
// whole: a BITMAPINFOHEADER (or a larger header) of a picture at least one
// pixel wide, one plane, the colour table, and every pixel its
// compression asks for.
bool IsDrawableDib(const unsigned char* dib, std::size_t size);
// The bitmap made from the packed DIB dib (not deflated), compatible with
// the screen; null when it is not IsDrawableDib. The caller owns it.
HBITMAP CreateBitmapFromDib(const unsigned char* dib, std::size_t size);

// The packed picture id of module (type kPackedBitmapType), or null.
HBITMAP LoadPackedBitmap(HINSTANCE module, UINT id);
