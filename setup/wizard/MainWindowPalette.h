// The palette of the background window, which the wizard pages select and
// realise in their own device contexts when the application becomes active,
// so that the background keeps its colours behind them. The main window
// publishes its palette here when it creates it and withdraws it (null)
// when it deletes it.
#pragma once

#include <windows.h>

void SetMainWindowPalette(HPALETTE palette);
// Null when the main window has no palette (true-colour displays).
HPALETTE MainWindowPalette();
