// A hash index over items kept elsewhere: a power-of-two table of 32-bit
// slots, each 0 (free) or 1 + an item's number, probed one slot after the
// other from the item's hash. The owner keeps the table partly free and
// decides what makes two items the same.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

constexpr std::uint32_t kFnv1aOffset = 2166136261u;

// FNV-1a over bytes, from hash: the offset basis, or the hash of what
// came before them.
constexpr std::uint32_t Fnv1aHash(std::string_view bytes, std::uint32_t hash = kFnv1aOffset) noexcept {
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 16777619u;
  }
  return hash;
}

// The slot that holds the item (its number, from 0) that matches, or the
// free slot where it would go. The table must not be full.
template <class Matches>
std::size_t FindHashSlot(const std::vector<std::uint32_t>& table, std::size_t hash, Matches matches) {
  const std::size_t mask = table.size() - 1;
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    if (table[slot] == 0 || matches(table[slot] - 1)) return slot;
  }
}
