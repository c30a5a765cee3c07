#include "setup/profile/ProfileSection.h"

#include <windows.h>

#include "setup/profile/IniTextFile.h"
#include "setup/profile/ProfilePath.h"

namespace {

CPathName FileOrDefault(const CPathName& file) { return file.IsEmpty() ? DefaultProfilePath() : file; }

}  // namespace

std::string FoldedProfileKey(std::string key) { return CIniText::Folded(key); }

std::vector<std::pair<std::string, std::string>> ReadProfileValues(const std::string& section, const CIniText& text) {
  std::vector<std::pair<std::string, std::string>> values;
  ForEachProfileValue(section, text, [&values](const std::string& key, const std::string& value) {
    values.emplace_back(key, value);
  });
  return values;
}

std::vector<std::pair<std::string, std::string>> ReadProfileValues(const std::string& section, const CPathName& file) {
  return ReadProfileValues(section, ReadIniTextFile(FileOrDefault(file)));
}

bool CProfileSection::First(CProfileEntry& entry) {
  keys_.clear();
  ReadIniTextFile(FileOrDefault(file_)).ForEachKey(section_, [this](std::string_view key, std::string_view) {
    keys_.emplace_back(key);
  });
  cursor_ = 0;
  return Next(entry);
}

bool CProfileSection::Next(CProfileEntry& entry) {
  if (cursor_ < keys_.size()) {
    entry.SetSection(section_);
    entry.SetFile(file_);
    entry.SetKey(keys_[cursor_++]);
    return true;
  }
  std::vector<std::string>().swap(keys_);
  cursor_ = 0;
  return false;
}
