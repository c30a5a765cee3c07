// CDisketteTable: the diskettes of the distribution by number, read from
// the [diskettes] section (key = diskette number, value "label|path").
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "setup/profile/Diskette.h"
#include "setup/paths/PathName.h"

class CIniText;
class CDisketteTable {
public:
  // Diskette numbers are 16-bit: keys outside 0..kMaxNumber are ignored.
  static constexpr int kMaxNumber = 32767;

  CDisketteTable() = default;
  CDisketteTable(const CDisketteTable&) = delete;
  CDisketteTable& operator=(const CDisketteTable&) = delete;

  // Reads [diskettes]; a number read again replaces the earlier record.
  void Load(const CIniText& profile);
  void Load(const CPathName& profile);

  // The diskette numbered n; null when the table has no record for it.
  const CDiskette* Get(int n) const;
  // The label of diskette n; empty when there is no record or no label.
  std::string GetLabel(int n) const;
  // One more than the highest number the table has room for.
  std::size_t size() const { return records_.size(); }

private:
  std::vector<std::unique_ptr<CDiskette>> records_;  // index = number; null = no record
};
