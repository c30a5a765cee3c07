#include "setup/archive/KitMedia.h"

#include <cctype>

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
