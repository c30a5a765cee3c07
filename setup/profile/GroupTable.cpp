#include "setup/profile/GroupTable.h"

#include <windows.h>

#include <algorithm>

#include "setup/profile/IniTextFile.h"
#include "setup/profile/ProfileFields.h"
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
    CGroup group;
    group.key = key;
    GetTextField(value, 0, group.firstText);
    GetTextField(value, 1, group.secondText);
    GetFlagField(value, 2, group.memberOfType1);
    GetFlagField(value, 3, group.memberOfType2);
    GetFlagField(value, 4, group.memberOfType3);
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
