// CProfileSection: enumerates the keys of one section of an INI file, in
// the order in which they stand in the file.
//
//   CProfileSection section("destinations");
//   section.SetFile(profilePath);
//   CProfileEntry entry;
//   for (bool more = section.First(entry); more; more = section.Next(entry)) {
//     entry.Read();  ...
//   }
//
// or, for the common case of reading every value:
//
//   ForEachProfileValue("destinations", profilePath,
//                       [](const std::string& key, const std::string& value) { ... });
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "setup/profile/ProfileEntry.h"
#include "setup/paths/PathName.h"

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
  std::vector<char> keys_;  // NUL-terminated names, an empty name at the end
  std::size_t cursor_ = 0;
};

// Calls visit(key, value) for every key of section in file, in file order,
// with the value as read (at most 254 characters, empty when missing).
template <class Visit>
void ForEachProfileValue(std::string section, CPathName file, Visit&& visit) {
  CProfileSection keys(std::move(section));
  keys.SetFile(std::move(file));
  CProfileEntry entry;
  for (bool more = keys.First(entry); more; more = keys.Next(entry)) {
    entry.SetValue({});
    entry.Read();
    visit(entry.GetKey(), entry.GetValue());
  }
}
