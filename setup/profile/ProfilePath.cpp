#include "setup/profile/ProfilePath.h"

CPathName DefaultProfilePath() {
  CPathName path = CPathName::GetProgramPath();
  if (!path.IsEmpty()) path.SetExtension("ini");
  return path;
}
