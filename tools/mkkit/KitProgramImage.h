// Whether a file is a program that Windows starts as a windowed
// application, by the test SHGetFileInfo's SHGFI_EXETYPE makes: an "MZ"
// header leading to a "PE" image whose subsystem is the Windows GUI.
#pragma once

#include <string>

bool IsWindowsProgramImage(const std::string& path);
