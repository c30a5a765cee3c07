#include "setup/app/GradientPalette.h"

#include <cstddef>
#include <cstring>

std::vector<PALETTEENTRY> GradientPaletteEntries(int deviceSize, COLORREF start, COLORREF end) {
  std::vector<PALETTEENTRY> entries;
  const auto stock = static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE));
  WORD stockCount = 0;
  if (!stock || ::GetObjectA(stock, sizeof stockCount, &stockCount) == 0) return entries;
  const int freeEntries = deviceSize - stockCount;
  if (freeEntries <= 0) return entries;

  entries.resize(static_cast<std::size_t>(deviceSize));
  ::GetPaletteEntries(stock, 0, stockCount, entries.data());
  const auto step = [&](int from, int to, int i) { return static_cast<BYTE>(from + i * (to - from) / freeEntries); };
  for (int i = 0; i < freeEntries; ++i) {
    PALETTEENTRY& e = entries[static_cast<std::size_t>(stockCount + i)];
    e.peRed = step(GetRValue(start), GetRValue(end), i);
    e.peGreen = step(GetGValue(start), GetGValue(end), i);
    e.peBlue = step(GetBValue(start), GetBValue(end), i);
    e.peFlags = 0;
  }
  return entries;
}

bool CreateGradientPalette(CPalette& palette, HDC dc, COLORREF start, COLORREF end) {
  const std::vector<PALETTEENTRY> entries = GradientPaletteEntries(::GetDeviceCaps(dc, SIZEPALETTE), start, end);
  if (entries.empty()) return false;
  // LOGPALETTE ends with a one-entry array: room for the others follows it.
  std::vector<BYTE> buffer(sizeof(LOGPALETTE) + entries.size() * sizeof(PALETTEENTRY));
  auto* logical = reinterpret_cast<LOGPALETTE*>(buffer.data());
  logical->palVersion = 0x300;
  logical->palNumEntries = static_cast<WORD>(entries.size());
  std::memcpy(logical->palPalEntry, entries.data(), entries.size() * sizeof(PALETTEENTRY));
  return palette.CreatePalette(logical);
}
