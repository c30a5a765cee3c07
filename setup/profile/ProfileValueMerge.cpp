#include "setup/profile/ProfileValueMerge.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace {

// One "key=value" line of a section as the system gives it back; a line
// without '=' is a key without value.
struct Line {
  std::string key;
  std::string value;
  bool hasValue;
};

// The section's lines; none when the file or the section is missing. The
// buffer grows until the whole section fits.
std::vector<Line> ReadSection(const std::string& section, const std::string& file) {
  std::vector<char> buffer(32 * 1024);
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length = ::GetPrivateProfileSectionA(section.c_str(), buffer.data(), size, file.c_str());
    if (length + 2 < size || buffer.size() >= (64u << 20)) {
      std::vector<Line> lines;
      for (const char* p = buffer.data(); p < buffer.data() + length && *p; p += std::strlen(p) + 1) {
        const char* equals = std::strchr(p, '=');
        if (equals) {
          lines.push_back(Line{std::string(p, equals), std::string(equals + 1), true});
        } else {
          lines.push_back(Line{p, std::string(), false});
        }
      }
      return lines;
    }
    buffer.resize(buffer.size() * 4);
  }
}

std::string Folded(std::string key) {
  if (!key.empty()) ::CharLowerBuffA(key.data(), static_cast<DWORD>(key.size()));
  return key;
}

}  // namespace

bool MergeProfileValues(const std::string& section, const ProfileValues& values, const std::string& file) {
  if (values.empty()) return true;
  std::vector<Line> lines = ReadSection(section, file);
  if (std::any_of(lines.begin(), lines.end(), [](const Line& line) { return !line.hasValue; })) {
    bool written = true;
    for (const auto& [key, value] : values) {
      written = ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) && written;
    }
    return written;
  }
  // Keys are found without regard to letter case, as the system finds them.
  std::unordered_map<std::string, std::size_t> index;
  for (std::size_t i = 0; i < lines.size(); ++i) index.emplace(Folded(lines[i].key), i);
  for (const auto& [key, value] : values) {
    const auto [where, added] = index.emplace(Folded(key), lines.size());
    if (added) {
      lines.push_back(Line{key, value, true});
    } else {
      lines[where->second].value = value;
      lines[where->second].hasValue = true;
    }
  }
  std::string text;
  for (const Line& line : lines) {
    text += line.key;
    if (line.hasValue) text += "=" + line.value;
    text += '\0';
  }
  text += '\0';
  return ::WritePrivateProfileSectionA(section.c_str(), text.c_str(), file.c_str()) != FALSE;
}
