#include "tools/mkkit/FileDigest.h"

#include <windows.h>

#include <vector>

#include "framework/ScopedHandle.h"
#include "setup/archive/Sha256.h"
#include "tools/mkkit/KitException.h"

std::string Sha256OfFile(const std::string& path, std::uint64_t& size) {
  CHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.valid()) throw CKitException(kExitIoError, "cannot read " + path);
  CSha256 digest;
  std::vector<char> buffer(1 << 16);
  size = 0;
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
      throw CKitException(kExitIoError, "cannot read " + path);
    }
    if (got == 0) break;
    digest.Update(buffer.data(), got);
    size += got;
  }
  return digest.FinishHex();
}
