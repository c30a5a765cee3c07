// The install log's record of one installed file: a key of the section of
// its file group, the file's name without directory, with the value
// "%d|%d|%d" (destination id, placed, replaced).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "setup/paths/PathName.h"

class CIniText;

struct CInstalledFileRecord {
  std::int16_t destinationId = 0;  // written with its sign (-2 Windows, -3 System, -4 temporary)
  int placed = 0;    // the new file was moved into its place in this run
  int replaced = 0;  // an existing copy was to be replaced by it

  std::string Format() const;
  // Reads a value written by Format; fields that are missing read as 0.
  static CInstalledFileRecord Parse(std::string_view value);
};

// The key of a file's record: the file name of finalPath (base name, then
// "." and the extension when there is one).
std::string InstalledFileKey(const CPathName& finalPath);

// The records of one group's section, in the order in which they stand in
// the log; none when the section is missing.
std::vector<std::pair<std::string, CInstalledFileRecord>> ReadInstalledFiles(const CIniText& log,
                                                                             const std::string& groupKey);
