// CGroupTable: the file groups of an installation by key, in the order in
// which they stand in the [groups] section.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "setup/profile/Group.h"
#include "setup/paths/PathName.h"

class CIniText;
class CGroupTable {
public:
  // The section of the setup profile, and of the install log.
  static constexpr char kSection[] = "groups";

  using Records = std::vector<std::unique_ptr<CGroup>>;

  CGroupTable() = default;
  CGroupTable(const CGroupTable&) = delete;
  CGroupTable& operator=(const CGroupTable&) = delete;

  // Reads [groups]: key = group key, value "first text|second text|type 1|
  // type 2|type 3" (flags). Every group starts unselected. A key that the
  // table already holds (letters compared without regard to case, as in the
  // INI file) replaces that group's data in place, so pointers to it stay
  // valid.
  void Load(const CIniText& profile);
  void Load(const CPathName& profile);

  // Selects the groups of a setup type: 0 none, 1 to 3 the members of that
  // type, 4 every group; any other type selects none.
  void SelectBySetupType(int type);

  CGroup* Find(const std::string& key);
  const CGroup* Find(const std::string& key) const;

  // File order.
  Records::const_iterator begin() const { return records_.begin(); }
  Records::const_iterator end() const { return records_.end(); }
  std::size_t size() const { return records_.size(); }

private:
  Records records_;
};
