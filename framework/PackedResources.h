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

#include <cstddef>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/ResourceBytes.h"

inline constexpr const char* kPackedResourcesType = "ZPACK";

// One type's packed resources, unpacked: the records (each starts on a
// 4-byte boundary: the vector's storage starts at least that aligned, and
// records are padded to multiples of 4) and where each resource's bytes lie
// in them.
struct UnpackedResources {
  using Place = std::pair<std::size_t, std::size_t>;  // offset, size

  // Where the resource of id lies; null when there is none. Where an id
  // stands twice, its last record counts.
  const Place* Find(unsigned id) const {
    for (auto at = places.rbegin(); at != places.rend(); ++at) {
      if (at->first == id) return &at->second;
    }
    return nullptr;
  }

  std::vector<unsigned char> records;
  std::vector<std::pair<unsigned, Place>> places;  // id, in the records' order
};

// Unpacks the packed resources of one type (the bytes of a ZPACK resource)
// into out; false, with out empty or partly filled, when they are damaged
// (they do not unpack, a record runs past the end, or padding is missing).
bool UnpackResources(std::string_view packed, UnpackedResources& out);
