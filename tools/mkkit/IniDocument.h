// CIniDocument: an INI file read as text, for files a person writes (kit
// descriptions): sections and their keys in file order, each with the line
// it stands on, so that errors can point at it. Read leniently: CR LF or
// LF, a trailing Ctrl-Z, blanks around names and values, comment lines
// starting with ';' or '#'. Section and key names compare without regard
// to letter case.
#pragma once

#include <string>
#include <vector>

class CIniDocument {
public:
  struct Entry {
    std::string key;
    std::string value;
    int line = 0;
  };
  struct Section {
    std::string name;
    int line = 0;
    std::vector<Entry> entries;
  };

  // Reads path; throws CKitException (bad input) when it cannot be read or
  // a line is neither a section header, a key=value line, a comment nor
  // blank, or a key stands outside any section.
  void Load(const std::string& path);
  // The same over text; fileName only names the source in messages.
  void Parse(const std::string& text, const std::string& fileName);

  const std::vector<Section>& GetSections() const noexcept { return sections_; }
  // The same to change values in place (the description's ${NAME}s).
  std::vector<Section>& EditSections() noexcept { return sections_; }
  // The first section of that name, or null.
  const Section* Find(const std::string& name) const;
  // "file:line", for messages.
  std::string Where(int line) const;
  const std::string& GetFileName() const noexcept { return fileName_; }

private:
  std::string fileName_;
  std::vector<Section> sections_;
};

// Case-insensitive comparison of ASCII names.
bool SameName(const std::string& a, const std::string& b);
