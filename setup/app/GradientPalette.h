// The palette of the background gradient on displays with a palette: the
// system's default entries, followed by as many colours from a start
// colour towards an end colour as the device has room for.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/Gdi.h"

// The entries of the palette for a device of deviceSize entries
// (GetDeviceCaps SIZEPALETTE): the k entries of the stock DEFAULT_PALETTE,
// then deviceSize - k entries where entry k + i is start + i * (end -
// start) / (deviceSize - k) per component. Empty when deviceSize <= k (a
// device without a palette has size 0).
std::vector<PALETTEENTRY> GradientPaletteEntries(int deviceSize, COLORREF start, COLORREF end);

// Creates the gradient palette for the device of dc into palette; false,
// and palette left empty, when the device has no room for one.
bool CreateGradientPalette(CPalette& palette, HDC dc, COLORREF start, COLORREF end);
