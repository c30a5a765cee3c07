// CProfileSection: enumerates the keys of one section of an INI file, in
// the order in which they stand in the file, as the system lists them.
//
//   CProfileSection section("destinations");
//   section.SetFile(profilePath);
//   CProfileEntry entry;
//   for (bool more = section.First(entry); more; more = section.Next(entry)) {
//     entry.Read();  ...
//   }
//
// or, for the common case of reading every value, with one read of the
// file:
//
//   ForEachProfileValue("destinations", ReadIniTextFile(profilePath),
//                       [](const std::string& key, const std::string& value) { ... });
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "setup/paths/PathName.h"
#include "setup/profile/IniText.h"
#include "setup/profile/ProfileEntry.h"

class CProfileSection {
public:
  explicit CProfileSection(std::string section) : section_(std::move(section)) {}

  // The INI file; when empty, the profile beside the program.
  void SetFile(CPathName file) { file_ = std::move(file); }
  const CPathName& GetFile() const { return file_; }
  const std::string& GetSection() const { return section_; }

  // Reads the section's key names (a missing file or section has none)
  // and goes on as Next.
  bool First(CProfileEntry& entry);
  // Gives the entry this section, this file and the next key; the caller
  // then reads the entry. False after the last key, and the key list is
  // released.
  bool Next(CProfileEntry& entry);

private:
  std::string section_;
  CPathName file_;
  std::vector<std::string> keys_;
  std::size_t cursor_ = 0;
};

// key in lower case: keys compared as the system compares them.
std::string FoldedProfileKey(std::string key);

// The keys of section with their values, in file order, as CProfileSection
// and a read of each key would give them: lines without '=' and comments
// are no keys; a key that stands twice is given twice, with the value of
// its first line each time; quotes around a value are dropped; a value is
// cut to CProfileEntry::kMaxValueLength characters.
std::vector<std::pair<std::string, std::string>> ReadProfileValues(const std::string& section, const CIniText& text);
// The same from the file (empty: the profile beside the program).
std::vector<std::pair<std::string, std::string>> ReadProfileValues(const std::string& section, const CPathName& file);

// Calls visit(key, value) for every key of section, in file order, with the
// value as read (at most 254 characters, empty when missing).
template <class Visit>
void ForEachProfileValue(const std::string& section, const CIniText& text, Visit&& visit) {
  std::string key, value;
  text.ForEachKey(section, [&](std::string_view k, std::string_view v) {
    key.assign(k);
    value.assign(v.substr(0, CProfileEntry::kMaxValueLength));
    visit(key, value);
  });
}
