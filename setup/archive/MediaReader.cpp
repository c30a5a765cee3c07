#include "setup/archive/MediaReader.h"

#include "setup/archive/KitSealException.h"
#include "setup/archive/MediaFileName.h"
#include "setup/archive/MultiFileException.h"
#include "setup/archive/PartHeaders.h"

CMediaReader::CMediaReader(CSourceMedia& media, std::string fileName, int disketteNumber, ProgressSink progress)
    : media_(media), fileName_(std::move(fileName)), disketteNumber_(disketteNumber), progress_(std::move(progress)) {}

void CMediaReader::OnSegmentBoundary() {
  if (progress_) progress_();
}

bool CMediaReader::OnEndOfData() {
  // The part stays open when the data simply ends: whoever reads on gets a
  // short read, not a closed file.
  if (!IsEntryContinued()) return true;
  const std::string next = NextPartName(GetPathName().GetFileName());
  if (next.empty()) throw CMultiFileException(CMultiFileException::corruptTable);
  Close();
  ++disketteNumber_;
  if (!media_.LocateSourceFile(next, disketteNumber_)) AfxThrowUserException();
  const std::int64_t carried = EntryDataLeft();
  Reopen(media_.GetSourcePath(next));
  CheckPartHeader();
  OnPartOpened(carried);
  return false;
}

const SealEntry* CMediaReader::CheckSealedSize() const {
  const CKitSeal* const seal = media_.GetSeal();
  if (!seal) return nullptr;
  const SealEntry* const sealed = seal->Find(disketteNumber_, GetPathName().GetFileName());
  if (!sealed) throw CKitSealException(CKitSealException::fileUnlisted);
  if (GetLength() != sealed->size) throw CKitSealException(CKitSealException::fileDamaged);
  return sealed;
}

void CMediaReader::OpenPlainFile() {
  digesting_ = nullptr;
  OpenRead(GetSourcePath());
  digesting_ = CheckSealedSize();
  digest_.Reset();
}

UINT CMediaReader::Read(void* buffer, UINT count) {
  const UINT got = CArchiveReader::Read(buffer, count);
  if (digesting_) digest_.Update(buffer, got);
  return got;
}

void CMediaReader::OnPartOpened(std::int64_t dataCarriedIn) {
  const SealEntry* const sealed = CheckSealedSize();
  if (!sealed) return;
  if (sealed->headerDigest.empty()) {
    // A seal that gives header digests gives one for every part.
    if (media_.GetSeal()->CoversEntryHeaders()) throw CKitSealException(CKitSealException::headersDamaged);
    return;
  }
  const auto resume = static_cast<std::int64_t>(GetPosition());
  const PartHeaderWalk walk = WalkPartHeaders(*this, static_cast<std::uint64_t>(dataCarriedIn));
  if (walk.digest != sealed->headerDigest) throw CKitSealException(CKitSealException::headersDamaged);
  Seek(resume, begin);
}

void CMediaReader::OnMemberExtracted() {
  const SealEntry* const sealed = digesting_;
  if (!sealed) return;
  digesting_ = nullptr;
  // The copy took the bytes the profile gives: all of the file, or it is
  // not the file the kit was built with.
  if (GetBytesRead() != static_cast<std::int64_t>(sealed->size) || digest_.FinishHex() != sealed->sha256) {
    throw CKitSealException(CKitSealException::fileDamaged);
  }
}
