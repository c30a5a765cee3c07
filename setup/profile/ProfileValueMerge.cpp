#include "setup/profile/ProfileValueMerge.h"

#include <windows.h>

#include <optional>
#include <string_view>
#include <unordered_map>

#include "setup/profile/ProfileSection.h"

namespace {

// A value to write: its key as first given, and the last value given for it.
struct PendingValue {
  const std::string* key;
  const std::string* value;
  bool written = false;  // into the line of its key that stands first
};

// The text of a section that held existing after values are written into
// it, for WritePrivateProfileSection; nothing when a line has no '='.
//
// Only the new values are indexed: a long section is walked once as it was
// read, not held line by line beside the text that replaces it.
std::optional<std::string> MergedSection(const std::vector<char>& existing, const ProfileValues& values) {
  // The values by key, found without regard to letter case as the system
  // finds keys. A key given twice is written once, where it was given
  // first, with the value given last.
  std::vector<PendingValue> pending;
  pending.reserve(values.size());
  std::unordered_map<std::string, std::size_t> index;
  std::size_t addedBytes = 0;
  for (const auto& [key, value] : values) {
    const auto [where, added] = index.emplace(FoldedProfileKey(key), pending.size());
    if (added) {
      pending.push_back(PendingValue{&key, &value});
    } else {
      pending[where->second].value = &value;
    }
    addedBytes += key.size() + value.size() + 2;
  }

  // A key that stands in the section gets its new value in its first line;
  // the others are added at the end, in the order they were first given.
  std::string text;
  text.reserve(existing.size() + addedBytes + 1);
  const bool everyLineHasAValue = ForEachSectionLine(existing, [&](std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return false;
    const std::string_view key = line.substr(0, equals);
    const auto found = index.find(FoldedProfileKey(std::string(key)));
    if (found != index.end() && !pending[found->second].written) {
      PendingValue& value = pending[found->second];
      text.append(key).append(1, '=').append(*value.value);
      value.written = true;
    } else {
      text.append(line);
    }
    text += '\0';
    return true;
  });
  if (!everyLineHasAValue) return std::nullopt;
  for (const PendingValue& value : pending) {
    if (value.written) continue;
    text.append(*value.key).append(1, '=').append(*value.value);
    text += '\0';
  }
  text += '\0';
  return text;
}

}  // namespace

bool MergeProfileValues(const std::string& section, const ProfileValues& values, const std::string& file) {
  if (values.empty()) return true;
  // The section as read is let go before the system reads the file again
  // to write it.
  if (const std::optional<std::string> text = MergedSection(ReadProfileSectionText(section, CPathName(file)), values)) {
    return ::WritePrivateProfileSectionA(section.c_str(), text->c_str(), file.c_str()) != FALSE;
  }
  bool written = true;
  for (const auto& [key, value] : values) {
    written = ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) && written;
  }
  return written;
}
