// Names that reach another machine. Opening a file on a server sends it the
// user's network credentials, so the menu never opens a picture or sound
// that a configuration names that way.
#pragma once

#include <string_view>

// True when path begins with two separators ('\' or '/' in any mix):
// "\\server\share\x.bmp", "//server/share/x.wav", and the forms with a
// prefix ("\\?\UNC\server\...", "\\.\..."); also the native prefix "\??\",
// which the system passes through to any device, a redirector included.
// Drive paths and relative paths are not.
bool IsNetworkPath(std::string_view path);
