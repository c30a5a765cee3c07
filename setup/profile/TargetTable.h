// CTargetTable: the program items of an installation, keyed by the lower-
// case file name of their program, in the order in which they stand in the
// [targets] section; and the name of the program group (Start Menu folder)
// that holds them, in [PMGroup].
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "setup/profile/Target.h"
#include "setup/paths/PathName.h"

class CIniText;
class CTargetTable {
public:
  // The sections of the setup profile, and of the install log: the items,
  // and the program group's name under kGroupKey.
  static constexpr char kSection[] = "targets";
  static constexpr char kGroupSection[] = "PMGroup";
  static constexpr char kGroupKey[] = "PMGroup";

  struct Entry {
    std::string tableKey;  // the record's key in lower case
    std::unique_ptr<CTarget> target;
  };
  using Records = std::vector<Entry>;

  CTargetTable() = default;
  CTargetTable(const CTargetTable&) = delete;
  CTargetTable& operator=(const CTargetTable&) = delete;

  // Reads [PMGroup] "PMGroup", programFolder (the current program group
  // name) being the default, into programFolder; then [targets]: key =
  // program file name, value "icon index|second number|minimized|
  // description|arguments|icon file|program path". A key that differs from
  // an earlier one only in letter case replaces that record in place.
  void Load(const CIniText& profile, std::string& programFolder);
  void Load(const CPathName& profile, std::string& programFolder);

  // The target of a program file name, whatever its letter case; null when
  // there is none.
  CTarget* Find(std::string_view fileName);
  const CTarget* Find(std::string_view fileName) const;

  // File order.
  Records::const_iterator begin() const { return records_.begin(); }
  Records::const_iterator end() const { return records_.end(); }
  std::size_t size() const { return records_.size(); }

  // The table key of a file name: lower case (CharLower, so that letters
  // of the system's code page are lowered as the shell lowers them).
  static std::string TableKey(std::string_view fileName);

private:
  Records records_;
};
