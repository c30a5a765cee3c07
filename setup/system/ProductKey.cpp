#include "setup/system/ProductKey.h"

#include "setup/system/KeyTree.h"
#include "setup/system/RegistryKey.h"

LONG DeleteProductKey(HKEY root) {
  CRegistryKey maker;
  if (!maker.OpenKey(root, "Software\\Tarvo", KEY_ALL_ACCESS)) return maker.GetLastError();
  return DeleteKeyTree(maker.GetHandle(), "Veltrane");
}
