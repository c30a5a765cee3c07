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
//
// A key read on its own makes the system search its section for it, so that
// reading every key of a section one by one takes time that grows with the
// square of its length. ReadProfileSection reads a whole section at once.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
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

// key in lower case: keys compared as the system compares them.
std::string FoldedProfileKey(std::string key);

// One line of a section as GetPrivateProfileSection gives it back: the
// key and the text after its '=' as they stand (quotes kept), or a line
// without '=' (hasValue false).
struct CProfileLine {
  std::string key;
  std::string value;
  bool hasValue = true;
};

// The text of section in file (empty: the profile beside the program) as
// GetPrivateProfileSection gives it: each line ends with a NUL and a second
// NUL ends the text (two NULs alone when the file or the section is
// missing).
std::vector<char> ReadProfileSectionText(const std::string& section, const CPathName& file);

// Calls visit(line) for each line of such a text, in order, until visit
// returns false; false when it did.
template <class Visit>
bool ForEachSectionLine(const std::vector<char>& text, Visit visit) {
  for (const char* p = text.data(); *p;) {
    const std::string_view line(p);
    if (!visit(line)) return false;
    p += line.size() + 1;
  }
  return true;
}

// The lines of section in file (empty: the profile beside the program), in
// file order, with one read of the section; none when the file or the
// section is missing.
std::vector<CProfileLine> ReadProfileSection(const std::string& section, const CPathName& file);

// The keys of section in file with their values, in file order, as
// CProfileSection and a read of each key would give them, from one read of
// the section: lines without '=' and comments are no keys; a key that
// stands twice is given twice, with the value of its first line each
// time; quotes around a value are dropped; a value is cut to
// CProfileEntry::kMaxValueLength characters.
std::vector<std::pair<std::string, std::string>> ReadProfileValues(const std::string& section, const CPathName& file);

// Calls visit(key, value) for every key of section in file, in file order,
// with the value as read (at most 254 characters, empty when missing).
template <class Visit>
void ForEachProfileValue(const std::string& section, const CPathName& file, Visit&& visit) {
  for (const auto& [key, value] : ReadProfileValues(section, file)) visit(key, value);
}
