#include "setup/profile/GroupTable.h"

#include <windows.h>

#include <algorithm>

#include "setup/profile/IniTextFile.h"
#include "setup/profile/ProfileRecords.h"
#include "setup/profile/ProfileSection.h"

CGroup* CGroupTable::Find(const std::string& key) {
  const auto it = std::find_if(records_.begin(), records_.end(),
                               [&key](const auto& g) { return ::lstrcmpiA(g->key.c_str(), key.c_str()) == 0; });
  return it == records_.end() ? nullptr : it->get();
}

const CGroup* CGroupTable::Find(const std::string& key) const {
  return const_cast<CGroupTable*>(this)->Find(key);
}

void CGroupTable::Load(const CPathName& profile) { Load(ReadIniTextFile(profile)); }

void CGroupTable::Load(const CIniText& profile) {
  ForEachProfileValue(kSection, profile, [this](const std::string& key, const std::string& value) {
    CGroupRecord record = CGroupRecord::Parse(value);
    CGroup group;
    group.key = key;
    group.firstText = std::move(record.firstText);
    group.secondText = std::move(record.secondText);
    group.memberOfType1 = record.setupType[0];
    group.memberOfType2 = record.setupType[1];
    group.memberOfType3 = record.setupType[2];
    if (CGroup* existing = Find(group.key)) {
      *existing = std::move(group);
    } else {
      records_.push_back(std::make_unique<CGroup>(std::move(group)));
    }
  });
}

void CGroupTable::SelectBySetupType(int type) {
  for (const auto& g : records_) g->selected = (type == 4 || g->IsMemberOfSetupType(type)) ? 1 : 0;
}
