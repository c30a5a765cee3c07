// CKitSeal: the list of every file mkkit put on a kit's media, with its
// diskette, size and SHA-256, written as the text file _kitseal.sha beside
// the profile on the first diskette. The setup program ignores it; verify
// checks the kit against it, and --clean deletes only what it lists.
//
// The text: a first line "mkkit seal 1 media=KIND", then one line per
// file, "SHA-256 SIZE DISKETTE NAME", in the order the files were written.
// On a CD, diskette 0 is the CD's root (its menu), beside DISK01, DISK02...
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/mkkit/KitDescription.h"

struct SealEntry {
  int diskette = 1;
  std::string name;
  std::uint64_t size = 0;
  std::string sha256;  // 64 lower-case hex digits
};

class CKitSeal {
public:
  static constexpr const char* kFileName = "_kitseal.sha";

  explicit CKitSeal(MediaKind media = MediaKind::diskettes) : media_(media) {}

  // A file of diskette n at path, hashed now.
  void AddFile(int diskette, const std::string& name, const std::string& path);
  // A file whose digest is not known yet: the text has its final length.
  void AddPlaceholder(int diskette, const std::string& name, std::uint64_t size);

  std::string Render() const;
  // Reads text; false (and nothing kept) when it is not a seal, or a name
  // in it is not a plain file name.
  bool Parse(const std::string& text);

  MediaKind GetMedia() const noexcept { return media_; }
  const std::vector<SealEntry>& GetEntries() const noexcept { return entries_; }

private:
  MediaKind media_;
  std::vector<SealEntry> entries_;
};
