// CSha256: the SHA-256 digest of a byte stream, for the kit's seal.
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

  // The digest of a whole file and its size. Throws CKitException (read
  // failure) when the file cannot be read.
  static std::string OfFile(const std::string& path, std::uint64_t& size);

private:
  void Block(const std::uint8_t* block);

  std::array<std::uint32_t, 8> state_{};
  std::array<std::uint8_t, 64> pending_{};
  std::size_t pendingSize_ = 0;
  std::uint64_t length_ = 0;
};
