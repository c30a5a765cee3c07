// Placement of the setup program's popups and pages.
#pragma once

#include <windows.h>

// Moves window (keeping its size, without repainting) so that its centre
// lies at a/b of the reference width and c/d of the reference height,
// kept inside the reference. The reference is the rectangle of the window
// reference, or the screen when reference is null. b and d must not be 0.
void PlaceWindow(HWND window, int a, int b, int c, int d, HWND reference);

// The top-left corner PlaceWindow chooses for a window of size w x h in a
// reference of size W x H.
POINT ComputePlacement(int w, int h, int W, int H, int a, int b, int c, int d);
