// CDriveEnumerator: walks the drive letters A to Z that name existing drives.
#pragma once

#include <windows.h>

class CDriveEnumerator {
public:
  // Moves to the next drive that exists (its type is neither unknown nor
  // "no root directory"). Past Z the enumerator stays where it was and the
  // result is false.
  bool Next();
  // Moves on with Next until a drive of the type (DRIVE_FIXED, DRIVE_CDROM,
  // ...) comes; false when none does.
  bool FindType(UINT driveType);
  // The drive letter at the current position; valid after a successful Next.
  char Letter() const { return static_cast<char>('A' + index_); }
  // 0 for A, 25 for Z; -1 before the first drive.
  int Index() const { return index_; }
  // GetDriveType of the current drive.
  UINT Type() const { return type_; }

private:
  int index_ = -1;
  UINT type_ = DRIVE_UNKNOWN;
};
