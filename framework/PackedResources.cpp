#include "framework/PackedResources.h"

#include "framework/PackedData.h"
#include "framework/Resources.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <utility>
#include <vector>

namespace {

// Larger than a program's string table and dialogs together could be.
constexpr std::uint32_t kMaxPackedSize = 4u << 20;

const UnpackedResources& Unpacked(HINSTANCE module, WORD type) {
  // Kept for the life of the process, as the system keeps a module's
  // resources: what was handed out stays valid.
  static std::map<std::pair<HINSTANCE, WORD>, UnpackedResources> unpacked;
  const auto key = std::make_pair(module, type);
  if (const auto known = unpacked.find(key); known != unpacked.end()) return known->second;

  UnpackedResources resources;
  const std::string_view packed = FindPlainResource(module, kPackedResourcesType, type);
  if (packed.empty() || !UnpackResources(packed, resources)) resources = {};  // damaged: none of it
  return unpacked.emplace(key, std::move(resources)).first->second;
}

}  // namespace

bool UnpackResources(std::string_view packed, UnpackedResources& out) {
  out = {};
  if (!UnpackData(packed.data(), packed.size(), 8, kMaxPackedSize, out.records)) return false;
  std::size_t at = 0;
  while (at < out.records.size()) {
    if (out.records.size() - at < 8) return false;
    std::uint16_t id;
    std::uint32_t size;
    std::memcpy(&id, &out.records[at], sizeof id);
    std::memcpy(&size, &out.records[at + 4], sizeof size);
    at += 8;
    if (size > out.records.size() - at) return false;
    out.places.push_back({id, {at, size}});
    at += (static_cast<std::size_t>(size) + 3) & ~std::size_t{3};
  }
  return at == out.records.size();
}

std::string_view FindResourceBytes(HINSTANCE module, WORD type, UINT id) {
  if (const std::string_view plain = FindPlainResource(module, MAKEINTRESOURCEA(type), id); plain.data()) {
    return plain;
  }
  const UnpackedResources& resources = Unpacked(module, type);
  const UnpackedResources::Place* place = resources.Find(id);
  if (!place) return {};
  const char* base = reinterpret_cast<const char*>(resources.records.data());
  return std::string_view(base + place->first, place->second);
}
