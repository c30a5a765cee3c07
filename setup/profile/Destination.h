// CDestination: one directory that files are installed into. Ids 0 and
// above come from the setup profile (0 is the product's installation
// directory); the negative ids are built in: -2 the Windows directory, -3
// the System directory (shared files), -4 the temporary directory; -1
// means "not installed" and names no destination.
//
// A destination with a parent is the subdirectory `name` below its
// parent's directory; its path is computed by CDestinationTable::Resolve.
#pragma once

#include <cstdint>
#include <string>

#include "setup/paths/PathName.h"

class CDestinationTable;

class CDestination {
public:
  static constexpr std::int16_t kNoParent = -1;
  static constexpr std::int16_t kNotInstalled = -1;
  static constexpr std::int16_t kWindowsDirectory = -2;
  static constexpr std::int16_t kSystemDirectory = -3;
  static constexpr std::int16_t kTempDirectory = -4;

  CDestination(std::int16_t destinationId, CDestinationTable* table) : id(destinationId), owner(table) {}

  bool HasParent() const { return parentId != kNoParent; }
  // The path as a directory: text (e.g. "C:\Program Files\Veltrane") with a
  // '\' added when missing; empty text gives an empty path.
  void SetPath(std::string_view text);
  // The record's value in the profile and the install log: "%s|%d|%s" =
  // name, parent id, path.
  std::string FormatRecord() const;

  std::int16_t id;
  std::string name;                    // the subdirectory below the parent
  std::int16_t parentId = kNoParent;
  CDestinationTable* owner;            // for parent look-ups
  CPathName path;                      // a directory, ending with '\' (or empty)
};
