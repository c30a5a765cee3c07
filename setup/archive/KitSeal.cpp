#include "setup/archive/KitSeal.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "framework/HashIndex.h"
#include "setup/archive/MediaFileName.h"

namespace {

constexpr std::size_t kDigestSize = CSealDigest::kHexSize;
// The shortest line a seal holds: a digest, a one-digit size and diskette,
// a one-letter name, their blanks and a line end.
constexpr std::size_t kShortestLine = kDigestSize + 7;

char Folded(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Folded(a[i]) != Folded(b[i])) return false;
  }
  return true;
}

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
bool TakeDigest(std::string_view line, std::size_t& at, CSealDigest& digest) {
  if (line.size() < at + kDigestSize + 1 || line[at + kDigestSize] != ' ') return false;
  const std::string_view text = line.substr(at, kDigestSize);
  if (text.find_first_not_of("0123456789abcdef") != std::string_view::npos) return false;
  digest = CSealDigest(text);
  at += kDigestSize + 1;
  return true;
}

}  // namespace

std::uint32_t CKitSeal::Hash(int diskette, std::string_view name) {
  // FNV-1a over the diskette number and the folded name.
  std::uint32_t hash = 2166136261u ^ static_cast<std::uint32_t>(diskette);
  hash *= 16777619u;
  for (const char c : name) {
    hash ^= static_cast<unsigned char>(Folded(c));
    hash *= 16777619u;
  }
  return hash;
}

void CKitSeal::Reserve(std::size_t count) {
  if (count <= entries_.capacity() && 2 * count + 2 <= index_.size()) return;
  entries_.reserve(count);
  std::size_t size = 16;
  while (size < 2 * count + 2) size *= 2;
  index_.assign(size, 0);
  for (std::size_t i = 0; i < entries_.size(); ++i) Index(i);
}

void CKitSeal::Index(std::size_t entry) {
  const SealEntry& e = entries_[entry];
  // The later line of a name answers.
  index_[FindHashSlot(index_, Hash(e.diskette, e.name), [&](std::uint32_t i) {
    return entries_[i].diskette == e.diskette && SameName(entries_[i].name, e.name);
  })] = static_cast<std::uint32_t>(entry + 1);
}

void CKitSeal::Add(SealEntry entry, CSealDigest headerDigest) {
  if (entries_.size() == entries_.capacity() || 2 * (entries_.size() + 1) + 2 > index_.size()) {
    Reserve(2 * entries_.size() + 8);
  }
  entries_.push_back(std::move(entry));
  Index(entries_.size() - 1);
  if (!headerDigest.empty()) SetHeaderDigest(entries_.size() - 1, headerDigest);
}

std::size_t CKitSeal::HeaderDigestPlace(std::size_t entry) const noexcept {
  return static_cast<std::size_t>(std::lower_bound(headerDigests_.begin(), headerDigests_.end(), entry,
                                                   [](const auto& d, std::size_t i) { return d.first < i; }) -
                                  headerDigests_.begin());
}

bool CKitSeal::SetHeaderDigest(std::size_t entry, const CSealDigest& digest) {
  const std::size_t at = HeaderDigestPlace(entry);
  if (at < headerDigests_.size() && headerDigests_[at].first == entry) return false;
  headerDigests_.insert(headerDigests_.begin() + static_cast<std::ptrdiff_t>(at),
                        {static_cast<std::uint32_t>(entry), digest});
  return true;
}

CSealDigest CKitSeal::HeaderDigest(const SealEntry& entry) const {
  if (entries_.empty() || &entry < entries_.data() || &entry >= entries_.data() + entries_.size()) return {};
  const auto index = static_cast<std::size_t>(&entry - entries_.data());
  const std::size_t at = HeaderDigestPlace(index);
  return at < headerDigests_.size() && headerDigests_[at].first == index ? headerDigests_[at].second : CSealDigest();
}

const SealEntry* CKitSeal::Find(int diskette, std::string_view name) const {
  if (index_.empty()) return nullptr;
  const std::uint32_t at = index_[FindHashSlot(index_, Hash(diskette, name), [&](std::uint32_t i) {
    return entries_[i].diskette == diskette && SameName(entries_[i].name, name);
  })];
  return at == 0 ? nullptr : &entries_[at - 1];
}

bool CKitSeal::Parse(std::string_view text) {
  CKitSealReader reader(text.size());
  reader.Feed(text);
  return reader.Finish(*this);
}

CKitSealReader::CKitSealReader(std::size_t textSize) {
  if (textSize > 0) read_.Reserve(textSize / kShortestLine + 1);
}

bool CKitSealReader::Feed(std::string_view piece) {
  while (!failed_ && !piece.empty()) {
    const std::size_t end = piece.find('\n');
    if (end == std::string_view::npos) {
      // A line longer than any seal is not one.
      if (partial_.size() + piece.size() > CKitSeal::kMaxSize) {
        failed_ = true;
        break;
      }
      partial_.append(piece);
      break;
    }
    if (partial_.empty()) {
      failed_ = !TakeLine(piece.substr(0, end));
    } else {
      partial_.append(piece.substr(0, end));
      failed_ = !TakeLine(partial_);
      partial_.clear();
    }
    piece.remove_prefix(end + 1);
  }
  return !failed_;
}

bool CKitSealReader::Finish(CKitSeal& seal) {
  // The last line may have no end.
  if (!failed_ && !partial_.empty()) failed_ = !TakeLine(partial_);
  partial_.clear();
  if (failed_ || first_) return false;
  seal = std::move(read_);
  return true;
}

bool CKitSealReader::TakeLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (first_) {
    // "mkkit seal VERSION media=KIND"
    first_ = false;
    if (!line.starts_with(CKitSeal::kHeader)) return false;
    const std::size_t at = CKitSeal::kHeader.size();
    const std::size_t tag = line.find(CKitSeal::kMediaTag, at);
    if (tag == std::string_view::npos) return false;
    const auto version = std::from_chars(line.data() + at, line.data() + tag, read_.version_);
    if (version.ec != std::errc() || version.ptr != line.data() + tag) return false;
    if (read_.version_ < 1 || read_.version_ > CKitSeal::kVersion) return false;
    return ParseMediaKind(line.substr(tag + CKitSeal::kMediaTag.size()), read_.media_);
  }
  if (line.empty()) return true;
  // Diskette 0 is the root of a CD, beside its numbered folders.
  const int lowest = read_.media_ == MediaKind::cd ? 0 : 1;
  std::size_t at = 0;
  if (line.starts_with(CKitSeal::kHeadersTag)) {
    at = CKitSeal::kHeadersTag.size();
    CSealDigest digest;
    int diskette = 0;
    if (read_.version_ < 2 || !TakeDigest(line, at, digest) || !TakeNumber(line, at, diskette)) return false;
    const SealEntry* listed = read_.Find(diskette, line.substr(at));
    return listed && read_.SetHeaderDigest(static_cast<std::size_t>(listed - read_.entries_.data()), digest);
  }
  SealEntry e;
  if (!TakeDigest(line, at, e.sha256) || !TakeNumber(line, at, e.size) || !TakeNumber(line, at, e.diskette) ||
      e.diskette < lowest) {
    return false;
  }
  e.name.assign(line.substr(at));
  if (!IsUsableFileName(e.name) || read_.Find(e.diskette, e.name)) return false;
  read_.Add(std::move(e));
  return true;
}

#if defined(_WIN64)
static_assert(sizeof(SealEntry) == 80, "a seal entry's fields are laid out without padding");
#endif
