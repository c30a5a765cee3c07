#include "setup/profile/Group.h"

#include "setup/profile/ProfileRecords.h"

bool CGroup::IsMemberOfSetupType(int type) const {
  switch (type) {
    case 1:
      return memberOfType1 != 0;
    case 2:
      return memberOfType2 != 0;
    case 3:
      return memberOfType3 != 0;
    default:
      return false;
  }
}

std::string CGroup::FormatRecord() const {
  return CGroupRecord{firstText, secondText, {memberOfType1, memberOfType2, memberOfType3}}.Format();
}
