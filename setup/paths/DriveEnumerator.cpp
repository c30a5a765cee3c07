#include "setup/paths/DriveEnumerator.h"

namespace {

UINT DriveTypeOf(int index) {
  const char root[] = {static_cast<char>('A' + index), ':', '\\', '\0'};
  return ::GetDriveTypeA(root);
}

}  // namespace

bool CDriveEnumerator::Next() {
  for (int index = index_ + 1; index < 26; ++index) {
    const UINT type = DriveTypeOf(index);
    if (type != DRIVE_UNKNOWN && type != DRIVE_NO_ROOT_DIR) {
      index_ = index;
      type_ = type;
      return true;
    }
  }
  return false;
}

bool CDriveEnumerator::FindType(UINT driveType) {
  while (Next()) {
    if (type_ == driveType) return true;
  }
  return false;
}
