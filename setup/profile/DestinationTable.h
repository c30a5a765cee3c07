// CDestinationTable: the destination directories of an installation, by
// id. Holds the three built-in destinations (-2, -3, -4) from construction
// and the destinations of the setup profile in the order in which they
// stand in its [destinations] section.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "setup/profile/Destination.h"
#include "setup/paths/PathName.h"

class CIniText;
class CDestinationTable {
public:
  // The section of the setup profile, and of the install log.
  static constexpr char kSection[] = "destinations";

  using Records = std::vector<std::unique_ptr<CDestination>>;

  // Creates the built-in destinations -2 (Windows), -3 (System) and -4
  // (temporary directory).
  CDestinationTable();
  CDestinationTable(const CDestinationTable&) = delete;
  CDestinationTable& operator=(const CDestinationTable&) = delete;

  // Reads [destinations]: key = id, value "name|parent id|path" (a missing
  // parent id is -1). A key already in the table updates that destination.
  // Throws CInstallProfileException code 0 when the section has no key.
  void Load(const CIniText& profile);
  void Load(const CPathName& profile);

  // Computes the path of every destination that has a parent: the parent's
  // path with the name appended. A parent is used only after its own path
  // has been computed in the same call, so chains resolve whatever the order
  // of their records. Throws CInstallProfileException code 1 when a chain
  // cannot be resolved: a parent id that names no destination, a cycle, or a
  // chain whose root has no path.
  void Resolve();

  // Null when there is no such destination.
  CDestination* Find(std::int16_t id);
  const CDestination* Find(std::int16_t id) const;
  // The destination's path (a directory, ending with '\'); empty when there
  // is no such destination or it has no path.
  CPathName GetPath(std::int16_t id) const;
  std::string GetName(std::int16_t id) const;
  // Sets the path (see CDestination::SetPath), creating the destination
  // when it is missing.
  void SetPath(std::int16_t id, std::string_view text);
  // Creating the destination when it is missing.
  void SetNameAndParent(std::int16_t id, std::string name, std::int16_t parentId);

  // Built-in destinations first, then the profile's in file order.
  Records::const_iterator begin() const { return records_.begin(); }
  Records::const_iterator end() const { return records_.end(); }
  std::size_t size() const { return records_.size(); }

private:
  CDestination& FindOrCreate(std::int16_t id);

  Records records_;
  // Every record's place in records_ by its id: a copy looks a destination
  // up for every file.
  std::map<std::int16_t, std::size_t> byId_;
};
