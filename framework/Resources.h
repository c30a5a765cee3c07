// Access to the program's resources: string table, RCDATA, icons.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// The module whose resources are loaded (the program itself unless set).
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE instance);

// The string-table string id; empty when the table has no such string. The
// table may be stored packed (PackedResources.h).
std::string LoadResourceString(UINT id);
// The same into buffer, cut to size - 1 bytes and terminated, as LoadString
// does; returns the bytes written (0 when there is no such string).
int LoadResourceString(UINT id, char* buffer, int size) noexcept;

// The bytes of a resource of the given type, or an empty view when it is
// missing. The view stays valid while the module is loaded.
std::string_view LoadResourceData(const char* type, UINT id);
// The same from module, as the system keeps it (not what is stored packed:
// ResourceBytes.h).
std::string_view FindPlainResource(HINSTANCE module, const char* type, UINT id);
inline std::string_view LoadRcData(UINT id) { return LoadResourceData(MAKEINTRESOURCEA(10), id); }

HICON LoadAppIcon(UINT id);

// Replaces every "%1" (and "%2") of the string-table format id.
std::string AfxFormatString1(UINT id, const std::string& s1);
std::string AfxFormatString2(UINT id, const std::string& s1, const std::string& s2);
// The same over a format text.
std::string FormatPlaceholders(std::string_view format, const std::string& s1, const std::string& s2 = {});
