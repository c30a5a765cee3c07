#include "setup/archive/KitSeal.h"

#include <cctype>
#include <charconv>

#include "setup/archive/MediaFileName.h"

namespace {

constexpr std::size_t kDigestSize = 64;

// The next field of line, up to a blank, as a number; at moves past the
// blank.
template <class T>
bool TakeNumber(std::string_view line, std::size_t& at, T& value) {
  const auto end = line.find(' ', at);
  if (end == std::string_view::npos) return false;
  const auto result = std::from_chars(line.data() + at, line.data() + end, value);
  if (result.ec != std::errc() || result.ptr != line.data() + end) return false;
  at = end + 1;
  return true;
}

// 64 lower-case hex digits and a blank at the start of line.
bool TakeDigest(std::string_view line, std::size_t& at, std::string& digest) {
  if (line.size() < at + kDigestSize + 1 || line[at + kDigestSize] != ' ') return false;
  const std::string_view text = line.substr(at, kDigestSize);
  if (text.find_first_not_of("0123456789abcdef") != std::string_view::npos) return false;
  digest.assign(text);
  at += kDigestSize + 1;
  return true;
}

}  // namespace

std::string CKitSeal::Key(int diskette, std::string_view name) {
  std::string key = std::to_string(diskette) + ' ';
  for (const char c : name) key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return key;
}

void CKitSeal::Add(SealEntry entry) {
  index_[Key(entry.diskette, entry.name)] = entries_.size();
  entries_.push_back(std::move(entry));
}

const SealEntry* CKitSeal::Find(int diskette, std::string_view name) const {
  const auto found = index_.find(Key(diskette, name));
  return found == index_.end() ? nullptr : &entries_[found->second];
}

bool CKitSeal::Parse(std::string_view text) {
  CKitSeal read;
  bool first = true;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (first) {
      // "mkkit seal VERSION media=KIND"
      first = false;
      if (!line.starts_with(kHeader)) return false;
      std::size_t at = kHeader.size();
      const std::size_t tag = line.find(kMediaTag, at);
      if (tag == std::string_view::npos) return false;
      const auto version = std::from_chars(line.data() + at, line.data() + tag, read.version_);
      if (version.ec != std::errc() || version.ptr != line.data() + tag) return false;
      if (read.version_ < 1 || read.version_ > kVersion) return false;
      if (!ParseMediaKind(line.substr(tag + kMediaTag.size()), read.media_)) return false;
      continue;
    }
    if (line.empty()) continue;
    // Diskette 0 is the root of a CD, beside its numbered folders.
    const int lowest = read.media_ == MediaKind::cd ? 0 : 1;
    std::size_t at = 0;
    SealEntry e;
    if (line.starts_with(kHeadersTag)) {
      at = kHeadersTag.size();
      std::string digest;
      int diskette = 0;
      if (read.version_ < 2 || !TakeDigest(line, at, digest) || !TakeNumber(line, at, diskette)) return false;
      const auto listed = read.index_.find(Key(diskette, line.substr(at)));
      if (listed == read.index_.end()) return false;
      SealEntry& part = read.entries_[listed->second];
      if (!part.headerDigest.empty()) return false;
      part.headerDigest = std::move(digest);
      continue;
    }
    if (!TakeDigest(line, at, e.sha256) || !TakeNumber(line, at, e.size) || !TakeNumber(line, at, e.diskette) ||
        e.diskette < lowest) {
      return false;
    }
    e.name.assign(line.substr(at));
    if (!IsUsableFileName(e.name) || read.Find(e.diskette, e.name)) return false;
    read.Add(std::move(e));
  }
  if (first) return false;
  *this = std::move(read);
  return true;
}
