#include "setup/profile/TargetTable.h"

#include <windows.h>

#include <algorithm>

#include "setup/profile/IniTextFile.h"
#include "setup/profile/ProfileEntry.h"
#include "setup/profile/ProfileRecords.h"
#include "setup/profile/ProfileSection.h"

std::string CTargetTable::TableKey(std::string_view fileName) {
  std::string key(fileName);
  if (!key.empty()) ::CharLowerBuffA(key.data(), static_cast<DWORD>(key.size()));
  return key;
}

CTarget* CTargetTable::Find(std::string_view fileName) {
  const std::string key = TableKey(fileName);
  const auto it = std::find_if(records_.begin(), records_.end(), [&key](const Entry& e) { return e.tableKey == key; });
  return it == records_.end() ? nullptr : it->target.get();
}

const CTarget* CTargetTable::Find(std::string_view fileName) const {
  return const_cast<CTargetTable*>(this)->Find(fileName);
}

void CTargetTable::Load(const CPathName& profile, std::string& programFolder) {
  Load(ReadIniTextFile(profile), programFolder);
}

void CTargetTable::Load(const CIniText& profile, std::string& programFolder) {
  {
    // The program group name the profile gives, or the current one. (An
    // entry with write-back would write nothing: what it read is its value.)
    CProfileEntry group(programFolder, kGroupSection, kGroupKey, CPathName(), false, false);
    group.ReadFrom(profile);
    programFolder = group.GetValue();
  }

  ForEachProfileValue(kSection, profile, [this](const std::string& key, const std::string& value) {
    CTargetRecord record = CTargetRecord::Parse(value);
    CTarget target;
    target.key = key;
    target.iconIndex = static_cast<std::int16_t>(record.iconIndex);
    target.secondNumber = static_cast<std::int16_t>(record.secondNumber);
    target.minimized = record.minimized;
    target.description = std::move(record.description);
    target.arguments = std::move(record.arguments);
    target.iconFile = std::move(record.iconFile);
    target.programPath = CPathName(std::move(record.programPath));
    if (CTarget* existing = Find(target.key)) {
      *existing = std::move(target);
    } else {
      std::string tableKey = TableKey(target.key);
      records_.push_back(Entry{std::move(tableKey), std::make_unique<CTarget>(std::move(target))});
    }
  });
}
