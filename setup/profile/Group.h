// CGroup: a set of files that is installed, or not, as a whole. Its key
// names the profile section that lists its files, and the install log
// section that records them once installed.
#pragma once

#include <string>

class CGroup {
public:
  // True for the setup types 1 to 3 that the group is a member of; false
  // for any other type.
  bool IsMemberOfSetupType(int type) const;
  // The record's value in the profile and the install log: "%s|%s|%d|%d|%d"
  // = first text, second text, member of setup type 1, 2, 3.
  std::string FormatRecord() const;

  std::string key;
  std::string firstText;   // carried and written back
  std::string secondText;  // carried and written back
  int selected = 0;        // installed in this run
  int memberOfType1 = 0;
  int memberOfType2 = 0;
  int memberOfType3 = 0;
};
