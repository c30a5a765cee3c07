#include "setup/archive/KitMedia.h"

#include <cctype>

#include "framework/FormatText.h"

namespace {

bool SameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != b[i]) return false;
  }
  return true;
}

}  // namespace

bool ParseMediaKind(std::string_view text, MediaKind& kind) {
  for (const MediaKind candidate : {MediaKind::diskettes, MediaKind::cd, MediaKind::flat}) {
    if (SameWord(text, MediaKindName(candidate))) {
      kind = candidate;
      return true;
    }
  }
  return false;
}

const char* MediaKindName(MediaKind kind) {
  switch (kind) {
    case MediaKind::diskettes: return "diskettes";
    case MediaKind::cd: return "cd";
    default: return "flat";
  }
}

std::string DisketteFolderName(std::string_view stem, int digits, int n) {
  char number[16];
  FormatText(number, sizeof number, "%0*d", digits, n);
  return std::string(stem) + number;
}

std::string DisketteFolderName(MediaKind kind, int n) {
  switch (kind) {
    case MediaKind::diskettes: return DisketteFolderName("disk", 1, n);
    case MediaKind::cd: return DisketteFolderName("DISK", 2, n);
    default: return {};
  }
}

std::string SiblingDisketteFolder(std::string_view folderName, int n) {
  std::size_t stem = folderName.size();
  while (stem > 0 && std::isdigit(static_cast<unsigned char>(folderName[stem - 1]))) --stem;
  const std::string_view digits = folderName.substr(stem);
  // A number of its own: no stem is no folder of a set, and 0 (the root of
  // a CD) no diskette.
  if (stem == 0 || digits.empty() || digits.size() > 9 || digits.find_first_not_of('0') == std::string_view::npos) {
    return {};
  }
  return DisketteFolderName(folderName.substr(0, stem), static_cast<int>(digits.size()), n);
}
