#include "setup/wizard/MainWindowPalette.h"

namespace {
HPALETTE g_palette = nullptr;  // owned by the main window
}

void SetMainWindowPalette(HPALETTE palette) { g_palette = palette; }

HPALETTE MainWindowPalette() { return g_palette; }
