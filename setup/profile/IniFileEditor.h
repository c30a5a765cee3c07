// CIniFileEditor: adds an entry to a section of an INI file even when the
// section already holds entries with the same key, which
// WritePrivateProfileString cannot do (the [rename] section of wininit.ini
// lists one "NUL=" or "target=" line per file).
#pragma once

#include <string>
#include <string_view>

#include "setup/profile/TextFileEditor.h"

class CIniFileEditor : public CTextFileEditor {
public:
  explicit CIniFileEditor(CPathName file) : CTextFileEditor(std::move(file)) {}

  // Adds the line key=value at the end of the section (just before the next
  // section header), or in a new section at the end of the file, or in a
  // new file. When the section already holds that key with that value, the
  // file is left untouched. Section names, keys and values are compared
  // without regard to letter case. Always true: failures to read the file or
  // to create or write the temporary file throw CFileException, and a file
  // that cannot be replaced stays as it was (see CTextFileEditor).
  bool AddEntry(std::string_view section, std::string_view key, std::string_view value);
  // Leaves out every line key=value of the section, compared as AddEntry
  // compares; a file without one is left untouched. Always true; failures
  // throw as AddEntry's do.
  bool RemoveEntry(std::string_view section, std::string_view key, std::string_view value);

protected:
  bool ProcessLine() override;
  void EndPass() override;

private:
  void Edit(std::string_view section, std::string_view key, std::string_view value, bool removing);

  std::string wantedSection_;
  std::string currentSection_;
  std::string key_;
  std::string value_;
  std::string entryLine_;  // "key=value\n"
  bool removing_ = false;
};
