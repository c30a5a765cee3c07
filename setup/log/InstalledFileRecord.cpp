#include "setup/log/InstalledFileRecord.h"

#include "setup/profile/IniText.h"
#include "setup/profile/ProfileFields.h"
#include "setup/profile/ProfileSection.h"
#include "framework/JoinText.h"

std::string CInstalledFileRecord::Format() const {
  return JoinText({std::to_string(destinationId), "|", std::to_string(placed), "|", std::to_string(replaced)});
}

CInstalledFileRecord CInstalledFileRecord::Parse(std::string_view value) {
  CInstalledFileRecord record;
  GetNumberField(value, 0, record.destinationId);
  GetFlagField(value, 1, record.placed);
  GetFlagField(value, 2, record.replaced);
  return record;
}

std::string InstalledFileKey(const CPathName& finalPath) { return finalPath.GetFileName(); }

std::vector<std::pair<std::string, CInstalledFileRecord>> ReadInstalledFiles(const CIniText& log,
                                                                             const std::string& groupKey) {
  std::vector<std::pair<std::string, CInstalledFileRecord>> records;
  ForEachProfileValue(groupKey, log, [&records](const std::string& key, const std::string& value) {
    records.emplace_back(key, CInstalledFileRecord::Parse(value));
  });
  return records;
}
