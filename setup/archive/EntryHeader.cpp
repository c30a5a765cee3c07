#include "setup/archive/EntryHeader.h"

#include <algorithm>
#include <cstring>

using namespace archive_format;

CEntryHeader::CEntryHeader() {
  std::memcpy(&bytes_[kOffMagic], kEntryMagic, 4);
  SetU16(kOffVersion, kEntryVersion);
  SetU16(kOffHeaderSize, static_cast<std::uint16_t>(kEntryHeaderSize));
}

bool CEntryHeader::HasMagic() const noexcept { return std::memcmp(&bytes_[kOffMagic], kEntryMagic, 4) == 0; }

std::string CEntryHeader::Field(std::size_t off, std::size_t size) const {
  const auto* begin = reinterpret_cast<const char*>(&bytes_[off]);
  return std::string(begin, std::find(begin, begin + size, '\0'));
}

void CEntryHeader::SetField(std::size_t off, std::size_t size, const std::string& text) {
  std::fill_n(&bytes_[off], size, std::uint8_t{0});
  std::memcpy(&bytes_[off], text.data(), std::min(text.size(), size - 1));
}

std::string CEntryHeader::GetName() const { return Field(kOffName, kNameSize); }
bool CEntryHeader::NameIsTerminated() const noexcept {
  return std::find(&bytes_[kOffName], &bytes_[kOffName] + kNameSize, std::uint8_t{0}) != &bytes_[kOffName] + kNameSize;
}
void CEntryHeader::SetName(const std::string& name) { SetField(kOffName, kNameSize, name); }
std::string CEntryHeader::GetText() const { return Field(kOffText, kTextSize); }
void CEntryHeader::SetText(const std::string& text) { SetField(kOffText, kTextSize, text); }
