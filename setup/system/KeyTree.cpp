#include "setup/system/KeyTree.h"

#include "framework/ScopedHandle.h"

LONG DeleteKeyTree(HKEY parent, const char* name) {
  if (name == nullptr || *name == '\0') return ERROR_INVALID_PARAMETER;
  HKEY opened = nullptr;
  LONG status = ::RegOpenKeyA(parent, name, &opened);
  if (status != ERROR_SUCCESS) return status;
  CRegistryKeyHandle key(opened);
  // A key name has at most 255 characters; the buffer holds them and the
  // terminator.
  char child[256];
  // Always the first sub-key: each one is gone before the next is asked for.
  do {
    status = ::RegEnumKeyA(key.get(), 0, child, sizeof child);
    if (status == ERROR_SUCCESS) status = DeleteKeyTree(key.get(), child);
  } while (status == ERROR_SUCCESS);
  if (status == ERROR_FILE_NOT_FOUND || status == ERROR_NO_MORE_ITEMS || status == ERROR_KEY_DELETED) {
    status = ::RegDeleteKeyA(parent, name);
  }
  return status;
}
