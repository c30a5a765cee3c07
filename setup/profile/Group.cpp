#include "setup/profile/Group.h"

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
  return firstText + "|" + secondText + "|" + std::to_string(memberOfType1) + "|" + std::to_string(memberOfType2) +
         "|" + std::to_string(memberOfType3);
}
