// Which names a file can be made under: the rule that the media, the kit
// builder and the product's own names (its key, which names its log) share.
#pragma once

#include <string_view>

// True when name can be created as one file inside a directory and means
// nothing else there: not empty, not "." or "..", no path separator, colon,
// wildcard, quote, '<', '>', '|' or control character, no trailing dot or
// blank (Windows would strip them), and not a device name such as CON,
// NUL, COM1 or LPT1 (with or without an extension).
bool IsUsableFileName(std::string_view name);
