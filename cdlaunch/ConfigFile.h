// CConfigFile: read access to the menu's configuration file through the
// profile functions, so section and key names match case-insensitively and
// a missing file or entry reads as empty.
#pragma once

#include <string>
#include <vector>

class CConfigFile {
public:
  // Values longer than this are cut.
  static constexpr std::size_t kMaxValue = 259;
  // Size of the buffer the key names of one section are read into; keys
  // beyond it are not seen.
  static constexpr std::size_t kKeyListBytes = 2048;

  explicit CConfigFile(std::string path) : path_(std::move(path)) {}

  const std::string& GetPath() const { return path_; }
  // The value of key in section; empty when either is missing.
  std::string GetString(const std::string& section, const std::string& key) const;
  // The value read as a profile integer (leading digits), defaultValue when absent.
  int GetInt(const std::string& section, const std::string& key, int defaultValue) const;
  // The key names of section in the order they stand in the file.
  std::vector<std::string> GetKeys(const std::string& section) const;

private:
  std::string path_;
};
