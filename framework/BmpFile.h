// Pictures in .bmp files: a 14-byte file header ("BM", the file's size,
// the offset of the pixels), then the picture's header, its colour table
// and its pixels, as a BITMAP resource holds them.
#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

// The packed DIB (header, colour table, pixels) of the .bmp file's bytes,
// the pixels taken from the file header's offset when it points at or
// after the end of the colour table and inside the file, else from right
// after the table; empty when the bytes are no .bmp file whose picture
// the system draws whole (IsDrawableDib).
std::vector<unsigned char> DibOfBmpFile(std::string_view file);
// The bitmap of the .bmp file's bytes, compatible with the screen; null as
// above. The caller owns it.
HBITMAP CreateBitmapFromBmpFile(std::string_view file);
