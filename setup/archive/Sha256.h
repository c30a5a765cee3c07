// CSha256: the SHA-256 digest of a byte stream. The kit's seal gives each
// file of a kit by its digest; the setup program computes it over the bytes
// it copies as they stream through, so it has to keep up with the disk.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

class CSha256 {
public:
  CSha256() { Reset(); }

  void Reset();
  void Update(const void* data, std::size_t size);
  // The digest of everything given since the last Reset, as 64 lower-case
  // hex digits. The object is reset afterwards.
  std::string FinishHex();

private:
  // Runs the compression function over count whole 64-byte blocks.
  void Blocks(const std::uint8_t* blocks, std::size_t count);

  std::array<std::uint32_t, 8> state_{};
  std::array<std::uint8_t, 64> pending_{};
  std::size_t pendingSize_ = 0;
  std::uint64_t length_ = 0;
};
