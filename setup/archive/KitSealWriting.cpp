// What only the kit builder does with a seal: write it. Kept apart from the
// reading, so that the setup program, which only reads seals, carries none
// of it on its first diskette.
#include "setup/archive/KitSeal.h"

namespace {

constexpr std::size_t kDigestSize = 64;

}  // namespace

void CKitSeal::AddPlaceholder(int diskette, const std::string& name, std::uint64_t size, bool archivePart) {
  Add(SealEntry{name, size, std::string(kDigestSize, '0'), diskette},
      archivePart ? std::string(kDigestSize, '0') : std::string());
}

std::string CKitSeal::Render() const {
  std::string text = std::string(kHeader) + std::to_string(version_) + std::string(kMediaTag) + MediaKindName(media_) + "\r\n";
  for (const SealEntry& e : entries_) {
    const std::string place = std::to_string(e.diskette) + " " + e.name + "\r\n";
    text += e.sha256.Hex() + " " + std::to_string(e.size) + " " + place;
    if (const CSealDigest headers = HeaderDigest(e); !headers.empty()) {
      text += std::string(kHeadersTag) + headers.Hex() + " " + place;
    }
  }
  return text;
}
