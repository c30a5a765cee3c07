// The kit's seal as the setup program finds it beside its profile, and the
// check of a whole file against it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "setup/archive/KitSeal.h"
#include "setup/paths/PathName.h"

// The seal beside file (the profile, in the kit's first folder), or none
// when that folder has no _kitseal.sha. A seal that cannot be read, is larger than any seal
// mkkit writes or is not well-formed throws CKitSealException
// (sealDamaged) naming it; read failures throw CFileException.
std::optional<CKitSeal> ReadKitSealBeside(const CPathName& file);

// Checks the file at path, of diskette, against seal: its size, then its
// SHA-256. Throws CKitSealException naming the file: fileUnlisted when the
// seal does not list it, fileDamaged when it differs.
void CheckSealedFile(const CKitSeal& seal, int diskette, const CPathName& path);

// The bytes of the file at path, of diskette, read once and checked
// against seal, when there is one, as CheckSealedFile checks them (the
// bytes checked are the bytes returned). A file larger than maxSize is
// refused unread: fileDamaged when the seal does not give that size,
// else (no seal) CFileException. Read failures throw CFileException.
std::string ReadSealedFile(const CKitSeal* seal, int diskette, const CPathName& path, std::uint64_t maxSize);
