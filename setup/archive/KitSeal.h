// CKitSeal: the list of every file mkkit put on a kit's media, with its
// diskette, size and SHA-256, written as the text file _kitseal.sha beside
// the profile on the first diskette. The setup program checks each file it
// reads from the kit against it; mkkit --verify checks a whole kit, and
// mkkit --clean deletes only what it lists.
//
// The text: a first line "mkkit seal 2 media=KIND", then one line per
// file, "SHA-256 SIZE DISKETTE NAME", in the order the files were written.
// On a CD, diskette 0 is the CD's root (its menu), beside DISK01, DISK02...
// The line of an archive part is followed by "headers SHA-256 DISKETTE
// NAME": the digest of the part's entry headers in their order (see
// PartHeaders.h), which the setup program checks before it extracts any
// member of the part. Seals of version 1 have no such lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "setup/archive/KitMedia.h"
#include "setup/archive/SealDigest.h"

// One line of the seal. A seal of 20,000 plain files holds 20,000 of them
// for the run, so the few header digests of archive parts are kept beside
// the entries (CKitSeal::HeaderDigest), not in each one.
struct SealEntry {
  std::string name;
  std::uint64_t size = 0;
  CSealDigest sha256;
  int diskette = 1;
};

class CKitSeal {
public:
  static constexpr const char* kFileName = "_kitseal.sha";
  static constexpr int kVersion = 2;
  // Longer than any seal mkkit writes for a kit that fits a CD.
  static constexpr std::uint64_t kMaxSize = 16u << 20;

  explicit CKitSeal(MediaKind media = MediaKind::diskettes) : media_(media) {}

  // headerDigest: an archive part's, the SHA-256 of its entry headers;
  // none for other files.
  void Add(SealEntry entry, CSealDigest headerDigest = {});
  // A file whose digests are not known yet (an archive part has a header
  // digest too): the text has its final length.
  void AddPlaceholder(int diskette, const std::string& name, std::uint64_t size, bool archivePart = false);

  std::string Render() const;
  // Reads text; false (and nothing kept) when it is not a seal: a line that
  // is not well-formed, a name that is not a plain file name (a seal cannot
  // point outside the kit's folders), a file listed twice, a header digest
  // for a file not listed before it.
  bool Parse(std::string_view text);

  MediaKind GetMedia() const noexcept { return media_; }
  // The version of the seal read (kVersion for one being made).
  int GetVersion() const noexcept { return version_; }
  // Whether every archive part has its header digest (version 2 and later).
  bool CoversEntryHeaders() const noexcept { return version_ >= 2; }
  const std::vector<SealEntry>& GetEntries() const noexcept { return entries_; }
  // The line of name on diskette (names compare as Windows compares them,
  // ignoring case); null when the seal does not list it.
  const SealEntry* Find(int diskette, std::string_view name) const;
  // The header digest of entry, one of GetEntries(); empty for a file that
  // is no archive part.
  CSealDigest HeaderDigest(const SealEntry& entry) const;

private:
  friend class CKitSealReader;

  // The text: "mkkit seal VERSION media=KIND", then the lines.
  static constexpr std::string_view kHeader = "mkkit seal ";
  static constexpr std::string_view kMediaTag = " media=";
  static constexpr std::string_view kHeadersTag = "headers ";

  // The hash of a file's place: its diskette and its name in any case.
  static std::uint32_t Hash(int diskette, std::string_view name);
  // Makes room for count entries, so that as many can be added without
  // moving the entries or growing the index.
  void Reserve(std::size_t count);
  void Index(std::size_t entry);

  MediaKind media_;
  int version_ = kVersion;
  std::vector<SealEntry> entries_;
  // The archive parts' header digests by the index of their entry, in
  // ascending order.
  std::vector<std::pair<std::uint32_t, CSealDigest>> headerDigests_;
  // Gives entry its header digest; false when it has one already.
  bool SetHeaderDigest(std::size_t entry, const CSealDigest& digest);
  // Where entry's header digest is, or would go, in headerDigests_.
  std::size_t HeaderDigestPlace(std::size_t entry) const noexcept;
  // Open addressing over entry indices + 1 (0: free), by Hash; at most half
  // full, its size a power of two.
  std::vector<std::uint32_t> index_;
};

// Reads a seal given in pieces (a file read block by block), so that its
// text is never held whole beside what is read from it. A line may span
// pieces. Finish gives the seal once it is well-formed (see
// CKitSeal::Parse).
class CKitSealReader {
public:
  // textSize: the length of the whole text, or 0 when it is not known;
  // the tables are made for as many lines as it can hold.
  explicit CKitSealReader(std::size_t textSize = 0);
  // False once the text is not a seal (later pieces are then passed over).
  bool Feed(std::string_view piece);
  // The end of the text: true and the seal read into seal, or false and
  // seal left as it was.
  bool Finish(CKitSeal& seal);

private:
  bool TakeLine(std::string_view line);

  CKitSeal read_;
  std::string partial_;  // the start of a line that a piece cut
  bool first_ = true;
  bool failed_ = false;
};
