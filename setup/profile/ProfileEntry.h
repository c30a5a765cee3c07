// CProfileEntry: one key of one section of an INI file, read and written
// with the kit's own reader (CIniText): a read answers what
// GetPrivateProfileString answers, a write changes the file as
// WritePrivateProfileString would, saving it whole (IniTextFile.h). With
// the write-back flag, the entry writes its value back when it is
// destroyed and the value differs from the one last read.
//
// An entry without a file uses the profile beside the program
// (DefaultProfilePath).
#pragma once

#include <cstddef>
#include <string>

#include "setup/paths/PathName.h"

class CIniText;

class CProfileEntry {
public:
  // A value is read as into a buffer of 256 characters: longer ones are
  // cut.
  static constexpr std::size_t kMaxValueLength = 254;

  CProfileEntry() = default;
  // The value starts as defaultValue; with readNow, and a section and key
  // given, the entry is read at once.
  CProfileEntry(std::string defaultValue, std::string section, std::string key, CPathName file, bool writeBack,
                bool readNow);
  CProfileEntry(const CProfileEntry&) = delete;
  CProfileEntry& operator=(const CProfileEntry&) = delete;
  // Writes the value back when the write-back flag is set and it changed.
  virtual ~CProfileEntry();

  // The value differs (case-sensitively) from the value last read.
  virtual bool IsChanged() const;
  // Reads the key, the current value serving as default; the text read
  // becomes both the value and the value as read. True when the file gave
  // at least one character.
  virtual bool Read();
  // The same from a text already read.
  bool ReadFrom(const CIniText& text);
  // Writes the current value under the key; true on success.
  virtual bool Write();

  const std::string& GetSection() const { return section_; }
  void SetSection(std::string section) { section_ = std::move(section); }
  const std::string& GetKey() const { return key_; }
  void SetKey(std::string key) { key_ = std::move(key); }
  const CPathName& GetFile() const { return file_; }
  void SetFile(CPathName file) { file_ = std::move(file); }
  const std::string& GetValue() const { return value_; }
  void SetValue(std::string value) { value_ = std::move(value); }
  const std::string& GetValueAsRead() const { return valueAsRead_; }
  void SetWriteBack(bool writeBack) { writeBack_ = writeBack; }

private:
  std::string FileName() const;

  bool writeBack_ = false;
  bool readAtConstruction_ = false;
  std::string section_;
  std::string key_;
  CPathName file_;
  std::string value_;
  std::string valueAsRead_;
};
