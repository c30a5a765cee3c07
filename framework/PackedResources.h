// Resources of one type stored packed together: the program's string table
// and dialog templates, which are UTF-16 for the most part and take about a
// fifth of their size this way (tools/resources/pack_resources.py packs
// them when the program is built).
//
// A resource of type "ZPACK" whose id is the type it holds (RT_STRING,
// RT_DIALOG) holds one record per resource: its id (2 bytes), two zero
// bytes, its size (4 bytes), its bytes, and zero bytes to a multiple of 4;
// the records packed as PackedData.h says.
#pragma once

#include <windows.h>

#include <string_view>

inline constexpr const char* kPackedResourcesType = "ZPACK";

// The bytes of resource id of the ordinal type in module: the plain
// resource when the module has one, else the packed one; empty when it has
// neither (or its packed resources are damaged). The bytes stay valid while
// the module is loaded, and start on a 4-byte boundary, as a dialog
// template must. The packed resources of a type are unpacked once.
std::string_view FindResourceBytes(HINSTANCE module, WORD type, UINT id);
