#include "setup/profile/ProfileSection.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_map>

#include "setup/profile/ProfilePath.h"

namespace {
// Far beyond any real section; only bounds the growth of the buffer.
constexpr DWORD kLargestKeyList = 16u << 20;
constexpr std::size_t kLargestSection = 64u << 20;

std::string FileNameOf(const CPathName& file) {
  return file.IsEmpty() ? DefaultProfilePath().GetPath() : file.GetPath();
}

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The value as a read of its key gives it: without the quotes around it.
std::string AsRead(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value.substr(0, CProfileEntry::kMaxValueLength));
}

}  // namespace

std::string FoldedProfileKey(std::string key) {
  if (!key.empty()) ::CharLowerBuffA(key.data(), static_cast<DWORD>(key.size()));
  return key;
}

std::vector<char> ReadProfileSectionText(const std::string& section, const CPathName& file) {
  const std::string name = FileNameOf(file);
  // The text comes back cut to size - 2 characters when it does not fit.
  std::vector<char> buffer(32 * 1024);
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length = ::GetPrivateProfileSectionA(section.c_str(), buffer.data(), size, name.c_str());
    if (length + 2 < size || buffer.size() >= kLargestSection) {
      buffer.resize(std::min<std::size_t>(length, buffer.size() - 2));
      buffer.push_back('\0');  // whatever came back, the text ends here
      buffer.push_back('\0');
      break;
    }
    buffer.resize(buffer.size() * 4);
  }
  buffer.shrink_to_fit();
  return buffer;
}

std::vector<CProfileLine> ReadProfileSection(const std::string& section, const CPathName& file) {
  std::vector<CProfileLine> lines;
  ForEachSectionLine(ReadProfileSectionText(section, file), [&](std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      lines.push_back(CProfileLine{std::string(line), std::string(), false});
    } else {
      lines.push_back(CProfileLine{std::string(line.substr(0, equals)), std::string(line.substr(equals + 1)), true});
    }
    return true;
  });
  return lines;
}

std::vector<std::pair<std::string, std::string>> ReadProfileValues(const std::string& section, const CPathName& file) {
  std::vector<std::pair<std::string, std::string>> values;
  // A key read on its own finds the first line of its name, in any letter
  // case.
  std::unordered_map<std::string, std::size_t> first;
  for (const CProfileLine& line : ReadProfileSection(section, file)) {
    const std::string_view key = Trimmed(line.key);
    if (!line.hasValue || key.empty() || key.front() == ';') continue;
    const auto [where, added] = first.emplace(FoldedProfileKey(std::string(key)), values.size());
    values.emplace_back(std::string(key), added ? AsRead(Trimmed(line.value)) : values[where->second].second);
  }
  return values;
}

bool CProfileSection::First(CProfileEntry& entry) {
  const std::string file = FileNameOf(file_);
  // The list comes back cut to size - 2 characters when it does not fit.
  DWORD size = 256;
  for (;;) {
    keys_.assign(size, '\0');
    const DWORD length =
        ::GetPrivateProfileStringA(section_.c_str(), nullptr, "", keys_.data(), size, file.c_str());
    if (length < size - 2 || size >= kLargestKeyList) break;
    size *= 2;
  }
  keys_.push_back('\0');  // whatever came back, the list ends here
  keys_.push_back('\0');
  cursor_ = 0;
  return Next(entry);
}

bool CProfileSection::Next(CProfileEntry& entry) {
  if (cursor_ < keys_.size() && keys_[cursor_] != '\0') {
    const char* key = keys_.data() + cursor_;
    const std::size_t length = std::strlen(key);
    entry.SetSection(section_);
    entry.SetFile(file_);
    entry.SetKey(std::string(key, length));
    cursor_ += length + 1;
    return true;
  }
  std::vector<char>().swap(keys_);
  cursor_ = 0;
  return false;
}
