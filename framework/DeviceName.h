// Names that Windows opens as a device instead of a file, whatever directory
// or extension goes with them. Read as a file, a serial port or the console
// never ends: the CD menu never opens a picture or sound named like one,
// and the setup program never makes or reads a file of such a name.
#pragma once

#include <string_view>

// True when the last component of path (after the last '\' or '/', without
// a drive prefix such as "D:") is CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9,
// CONIN$, CONOUT$ or CLOCK$ in any case, up to its first '.' or ':' and
// without the blanks before it: "COM1", "sounds\com1.wav", "LPT9 .bmp",
// "Aux:" all are; "COM10", "com.bmp" and "console.bmp" are not.
bool IsDeviceName(std::string_view path);
