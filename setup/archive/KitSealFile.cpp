#include "setup/archive/KitSealFile.h"

#include <array>
#include <string>

#include "setup/archive/KitSealException.h"
#include "setup/archive/NamedFile.h"
#include "setup/archive/Sha256.h"

namespace {

[[noreturn]] void ThrowFor(int code, const CPathName& path) {
  CKitSealException e(code);
  e.SetSubject(path.GetPath());
  throw e;
}

}  // namespace

std::optional<CKitSeal> ReadKitSealBeside(const CPathName& file) {
  CPathName path = file;
  path.SetFileName(CKitSeal::kFileName);
  if (!path.Exists()) return std::nullopt;
  CNamedFile sealFile;
  sealFile.OpenRead(path);
  const std::uint64_t length = sealFile.GetLength();
  if (length > CKitSeal::kMaxSize) ThrowFor(CKitSealException::sealDamaged, path);
  // Read block by block: a kit of 20,000 files has a seal of 1.7 MB.
  CKitSealReader reader(static_cast<std::size_t>(length));
  std::array<char, 16384> buffer;
  for (std::uint64_t left = length; left > 0;) {
    const UINT want = static_cast<UINT>(left < buffer.size() ? left : buffer.size());
    sealFile.ReadExact(buffer.data(), want);
    if (!reader.Feed(std::string_view(buffer.data(), want))) break;
    left -= want;
  }
  CKitSeal seal;
  if (!reader.Finish(seal)) ThrowFor(CKitSealException::sealDamaged, path);
  return seal;
}

std::string ReadSealedFile(const CKitSeal* seal, int diskette, const CPathName& path, std::uint64_t maxSize) {
  const SealEntry* const sealed = seal ? seal->Find(diskette, path.GetFileName()) : nullptr;
  if (seal && !sealed) ThrowFor(CKitSealException::fileUnlisted, path);
  CNamedFile file;
  file.OpenRead(path);
  const std::uint64_t length = file.GetLength();
  if (sealed && length != sealed->size) ThrowFor(CKitSealException::fileDamaged, path);
  if (length > maxSize) CFileException::ThrowOsError(ERROR_FILE_TOO_LARGE, path.GetPath());
  std::string bytes(static_cast<std::size_t>(length), '\0');
  if (length > 0) file.ReadExact(bytes.data(), static_cast<UINT>(length));
  if (sealed) {
    CSha256 digest;
    digest.Update(bytes.data(), bytes.size());
    if (digest.FinishHex() != sealed->sha256) ThrowFor(CKitSealException::fileDamaged, path);
  }
  return bytes;
}

void CheckSealedFile(const CKitSeal& seal, int diskette, const CPathName& path) {
  const SealEntry* const sealed = seal.Find(diskette, path.GetFileName());
  if (!sealed) ThrowFor(CKitSealException::fileUnlisted, path);
  CNamedFile file;
  file.OpenRead(path);
  if (file.GetLength() != sealed->size) ThrowFor(CKitSealException::fileDamaged, path);
  CSha256 digest;
  std::array<char, 16384> buffer;
  for (;;) {
    const UINT got = file.Read(buffer.data(), static_cast<UINT>(buffer.size()));
    if (got == 0) break;
    digest.Update(buffer.data(), got);
  }
  if (digest.FinishHex() != sealed->sha256) ThrowFor(CKitSealException::fileDamaged, path);
}
