// CEntryHeader: the 346 bytes that precede every member of an archive, kept
// as the bytes themselves (read and written raw) with typed access to the
// fields. Texts are cut to their fields, never run past them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "setup/archive/ArchiveFormat.h"

class CEntryHeader {
public:
  using Bytes = std::array<std::uint8_t, archive_format::kEntryHeaderSize>;

  // Magic "mfen", version 1, header size 346, everything else zero.
  CEntryHeader();

  Bytes& GetBytes() noexcept { return bytes_; }
  const Bytes& GetBytes() const noexcept { return bytes_; }

  bool HasMagic() const noexcept;

  // The member's name as stored (the text before the first NUL); false from
  // NameIsTerminated when the field holds no NUL at all.
  std::string GetName() const;
  bool NameIsTerminated() const noexcept;
  // Stores name, cut to 259 characters so that a NUL always follows.
  void SetName(const std::string& name);
  std::string GetText() const;
  void SetText(const std::string& text);

  std::uint32_t GetTime() const noexcept { return U32(archive_format::kOffTime); }
  void SetTime(std::uint32_t seconds) noexcept { SetU32(archive_format::kOffTime, seconds); }
  std::uint32_t GetSize() const noexcept { return U32(archive_format::kOffSize); }
  void SetSize(std::uint32_t size) noexcept { SetU32(archive_format::kOffSize, size); }
  std::uint32_t GetCompressedSize() const noexcept { return U32(archive_format::kOffCompressedSize); }
  void SetCompressedSize(std::uint32_t size) noexcept { SetU32(archive_format::kOffCompressedSize, size); }
  std::uint32_t GetChecksum() const noexcept { return U32(archive_format::kOffChecksum); }
  void SetChecksum(std::uint32_t crc) noexcept { SetU32(archive_format::kOffChecksum, crc); }
  std::uint32_t GetMethod() const noexcept { return U32(archive_format::kOffMethod); }
  void SetMethod(std::uint32_t method) noexcept { SetU32(archive_format::kOffMethod, method); }
  std::uint32_t GetMethodParameter() const noexcept { return U32(archive_format::kOffMethodParameter); }
  void SetMethodParameter(std::uint32_t p) noexcept { SetU32(archive_format::kOffMethodParameter, p); }
  std::int16_t GetDestination() const noexcept {
    return static_cast<std::int16_t>(archive_format::LoadU16(&bytes_[archive_format::kOffDestination]));
  }
  void SetDestination(std::int16_t id) noexcept {
    archive_format::StoreU16(&bytes_[archive_format::kOffDestination], static_cast<std::uint16_t>(id));
  }
  std::uint16_t GetAttributes() const noexcept { return U16(archive_format::kOffAttributes); }
  void SetAttributes(std::uint16_t a) noexcept { SetU16(archive_format::kOffAttributes, a); }
  bool IsContinued() const noexcept { return U16(archive_format::kOffContinued) != 0; }
  void SetContinued(bool continued) noexcept { SetU16(archive_format::kOffContinued, continued ? 1 : 0); }

private:
  std::uint16_t U16(std::size_t off) const noexcept { return archive_format::LoadU16(&bytes_[off]); }
  std::uint32_t U32(std::size_t off) const noexcept { return archive_format::LoadU32(&bytes_[off]); }
  void SetU16(std::size_t off, std::uint16_t v) noexcept { archive_format::StoreU16(&bytes_[off], v); }
  void SetU32(std::size_t off, std::uint32_t v) noexcept { archive_format::StoreU32(&bytes_[off], v); }
  std::string Field(std::size_t off, std::size_t size) const;
  void SetField(std::size_t off, std::size_t size, const std::string& text);

  Bytes bytes_{};
};
