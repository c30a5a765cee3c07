#include "setup/log/InstallLog.h"

#include <windows.h>

#include "setup/profile/ProfileEntry.h"
#include "setup/profile/ProfileFields.h"
#include "setup/profile/ProfileSection.h"

CPathName InstallLogPath() {
  CPathName path(SpecialDirectory::windows);
  if (!path.IsEmpty()) path.SetFileName("veltapp.log");
  return path;
}

std::string CInstalledFileRecord::Format() const {
  return std::to_string(destinationId) + "|" + std::to_string(placed) + "|" + std::to_string(replaced);
}

CInstalledFileRecord CInstalledFileRecord::Parse(std::string_view value) {
  CInstalledFileRecord record;
  GetNumberField(value, 0, record.destinationId);
  GetFlagField(value, 1, record.placed);
  GetFlagField(value, 2, record.replaced);
  return record;
}

void LogInstalledFile(const CPathName& log, const std::string& groupKey, const CPathName& finalPath,
                      std::int16_t destinationId, bool placed, bool replaced) {
  if (log.IsEmpty()) return;  // no log: an empty name would fall back to the setup profile
  const CInstalledFileRecord record{destinationId, placed ? 1 : 0, replaced ? 1 : 0};
  CProfileEntry entry(record.Format(), groupKey, finalPath.GetFileName(), log, false, false);
  entry.Write();
}

std::vector<std::pair<std::string, CInstalledFileRecord>> ReadInstalledFiles(const CPathName& log,
                                                                             const std::string& groupKey) {
  std::vector<std::pair<std::string, CInstalledFileRecord>> records;
  if (log.IsEmpty()) return records;
  ForEachProfileValue(groupKey, log, [&records](const std::string& key, const std::string& value) {
    records.emplace_back(key, CInstalledFileRecord::Parse(value));
  });
  return records;
}

bool RewriteInstalledFiles(const CPathName& log, const std::string& groupKey,
                           const std::vector<std::pair<std::string, CInstalledFileRecord>>& records) {
  if (log.IsEmpty()) return false;
  if (records.empty()) return ::WritePrivateProfileStringA(groupKey.c_str(), nullptr, nullptr, log.c_str()) != FALSE;
  std::string text;
  for (const auto& [key, record] : records) {
    text += key + "=" + record.Format();
    text += '\0';
  }
  text += '\0';
  return ::WritePrivateProfileSectionA(groupKey.c_str(), text.c_str(), log.c_str()) != FALSE;
}
