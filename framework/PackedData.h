// The packing of the pictures and icons a program carries as resources:
// the data's size in bytes as 4 bytes, little-endian, then one zlib stream
// of the data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The data packed in data (size bytes), when they unpack to exactly the
// size they name and that size lies between minSize and maxSize; false,
// with out left empty, for anything else.
bool UnpackData(const void* data, std::size_t size, std::uint32_t minSize, std::uint32_t maxSize,
                std::vector<unsigned char>& out);
