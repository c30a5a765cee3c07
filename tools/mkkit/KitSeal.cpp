#include "tools/mkkit/KitSeal.h"

#include <charconv>
#include <sstream>

#include "setup/archive/MediaFileName.h"
#include "tools/mkkit/Sha256.h"

namespace {

const char kHeader[] = "mkkit seal 1 media=";

template <class T>
bool TakeNumber(const std::string& line, std::size_t& at, T& value) {
  const auto end = line.find(' ', at);
  if (end == std::string::npos) return false;
  const auto result = std::from_chars(line.data() + at, line.data() + end, value);
  if (result.ec != std::errc() || result.ptr != line.data() + end) return false;
  at = end + 1;
  return true;
}

}  // namespace

void CKitSeal::AddFile(int diskette, const std::string& name, const std::string& path) {
  SealEntry entry{diskette, name, 0, {}};
  entry.sha256 = CSha256::OfFile(path, entry.size);
  entries_.push_back(std::move(entry));
}

void CKitSeal::AddPlaceholder(int diskette, const std::string& name, std::uint64_t size) {
  entries_.push_back(SealEntry{diskette, name, size, std::string(64, '0')});
}

std::string CKitSeal::Render() const {
  std::string text = std::string(kHeader) + MediaKindName(media_) + "\r\n";
  for (const SealEntry& e : entries_) {
    text += e.sha256 + " " + std::to_string(e.size) + " " + std::to_string(e.diskette) + " " + e.name + "\r\n";
  }
  return text;
}

bool CKitSeal::Parse(const std::string& text) {
  std::istringstream lines(text);
  std::string line;
  if (!std::getline(lines, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  MediaKind media;
  if (line.rfind(kHeader, 0) != 0 || !ParseMediaKind(line.substr(sizeof kHeader - 1), media)) return false;
  std::vector<SealEntry> entries;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    SealEntry e;
    if (line.size() < 66 || line[64] != ' ') return false;
    e.sha256 = line.substr(0, 64);
    if (e.sha256.find_first_not_of("0123456789abcdef") != std::string::npos) return false;
    std::size_t at = 65;
    // Diskette 0 is the root of a CD, beside its numbered folders.
    const int first = media == MediaKind::cd ? 0 : 1;
    if (!TakeNumber(line, at, e.size) || !TakeNumber(line, at, e.diskette) || e.diskette < first) return false;
    e.name = line.substr(at);
    if (!IsUsableFileName(e.name)) return false;
    entries.push_back(std::move(e));
  }
  media_ = media;
  entries_ = std::move(entries);
  return true;
}
