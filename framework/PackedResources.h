// Resources of one type stored packed together: the program's string table
// and dialog templates, which are UTF-16 for the most part and take about a
// fifth of their size this way (tools/resources/pack_resources.py packs
// them when the program is built).
//
// A resource of type "ZPACK" whose id is the type it holds (RT_STRING,
// RT_DIALOG) holds one record per resource: its id (2 bytes), two zero
// bytes, its size (4 bytes), its bytes, and zero bytes to a multiple of 4;
// the records packed as PackedData.h says.
//
// PackedResources.cpp defines FindResourceBytes (ResourceBytes.h) for the
// programs that carry such resources: it gives the plain resource when the
// module has one, else the packed one, and empty when the module has
// neither or its packed resources are damaged. The packed resources of a
// type are unpacked once and kept while the program runs.
#pragma once

#include "framework/ResourceBytes.h"

inline constexpr const char* kPackedResourcesType = "ZPACK";
