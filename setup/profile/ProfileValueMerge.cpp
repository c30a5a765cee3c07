#include "setup/profile/ProfileValueMerge.h"

#include <windows.h>

#include <algorithm>
#include <unordered_map>

#include "setup/profile/ProfileSection.h"

bool MergeProfileValues(const std::string& section, const ProfileValues& values, const std::string& file) {
  if (values.empty()) return true;
  std::vector<CProfileLine> lines = ReadProfileSection(section, CPathName(file));
  if (std::any_of(lines.begin(), lines.end(), [](const CProfileLine& line) { return !line.hasValue; })) {
    bool written = true;
    for (const auto& [key, value] : values) {
      written = ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) && written;
    }
    return written;
  }
  // Keys are found without regard to letter case, as the system finds them.
  std::unordered_map<std::string, std::size_t> index;
  for (std::size_t i = 0; i < lines.size(); ++i) index.emplace(FoldedProfileKey(lines[i].key), i);
  for (const auto& [key, value] : values) {
    const auto [where, added] = index.emplace(FoldedProfileKey(key), lines.size());
    if (added) {
      lines.push_back(CProfileLine{key, value, true});
    } else {
      lines[where->second].value = value;
      lines[where->second].hasValue = true;
    }
  }
  std::string text;
  for (const CProfileLine& line : lines) {
    text += line.key;
    if (line.hasValue) text += "=" + line.value;
    text += '\0';
  }
  text += '\0';
  return ::WritePrivateProfileSectionA(section.c_str(), text.c_str(), file.c_str()) != FALSE;
}
