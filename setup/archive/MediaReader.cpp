#include "setup/archive/MediaReader.h"

#include <algorithm>
#include <cstring>

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

void CMediaReader::OpenPlainFile(CSourceReadAhead* readAhead) {
  digesting_ = nullptr;
  const CPathName path = GetSourcePath();
  ReleaseReadAhead();
  aheadFrom_ = readAhead;
  if (readAhead) ahead_ = readAhead->Take(path.GetPath());
  if (ahead_) {
    CArchiveReader::Abort();
    KeepPathName(path);
    aheadAt_ = 0;
    bytesReadBefore_ = 0;
    bytesWrittenBefore_ = 0;
  } else {
    OpenRead(path);
  }
  digesting_ = CheckSealedSize();
  digest_.Reset();
}

CFileStatus CMediaReader::GetPlainFileStatus() const {
  if (ahead_) return ahead_->status;
  CFileStatus status;
  if (!GetStatus(status)) CFileException::Throw(CFileException::fileNotFound, -1, GetFilePath());
  return status;
}

UINT CMediaReader::Read(void* buffer, UINT count) {
  const UINT got = CArchiveReader::Read(buffer, count);
  // Bytes read ahead were digested there.
  if (digesting_ && !ahead_) digest_.Update(buffer, got);
  return got;
}

UINT CMediaReader::RawRead(void* buffer, UINT count) {
  if (!ahead_) return CArchiveReader::RawRead(buffer, count);
  const std::size_t left = ahead_->bytes.size() - std::min(aheadAt_, ahead_->bytes.size());
  const auto got = static_cast<UINT>(std::min<std::size_t>(count, left));
  if (got > 0) std::memcpy(buffer, ahead_->bytes.data() + aheadAt_, got);
  aheadAt_ += got;
  return got;
}

std::uint64_t CMediaReader::GetLength() const { return ahead_ ? ahead_->bytes.size() : CArchiveReader::GetLength(); }

std::uint64_t CMediaReader::GetPosition() const { return ahead_ ? aheadAt_ : CArchiveReader::GetPosition(); }

std::uint64_t CMediaReader::Seek(std::int64_t offset, SeekPosition from) {
  if (!ahead_) return CArchiveReader::Seek(offset, from);
  const std::int64_t base = from == begin ? 0 : from == current ? static_cast<std::int64_t>(aheadAt_)
                                                                 : static_cast<std::int64_t>(ahead_->bytes.size());
  if (offset < -base) CFileException::Throw(CFileException::badSeek, -1, GetPathName().GetPath());
  aheadAt_ = static_cast<std::size_t>(base + offset);
  return aheadAt_;
}

bool CMediaReader::IsOpen() const { return ahead_ || CArchiveReader::IsOpen(); }

void CMediaReader::ReleaseReadAhead() noexcept {
  if (ahead_ && aheadFrom_) aheadFrom_->GiveBack(std::move(ahead_->bytes));
  ahead_.reset();
}

void CMediaReader::Close() {
  ReleaseReadAhead();
  CArchiveReader::Close();
}

void CMediaReader::Abort() {
  // A running extraction is only asked to stop: it goes on reading until
  // the member is complete.
  if (!IsExtracting()) ReleaseReadAhead();
  CArchiveReader::Abort();
}

void CMediaReader::OnPartOpened(std::int64_t dataCarriedIn) {
  const SealEntry* const sealed = CheckSealedSize();
  if (!sealed) return;
  const CSealDigest headerDigest = media_.GetSeal()->HeaderDigest(*sealed);
  if (headerDigest.empty()) {
    // A seal that gives header digests gives one for every part.
    if (media_.GetSeal()->CoversEntryHeaders()) throw CKitSealException(CKitSealException::headersDamaged);
    return;
  }
  const auto resume = static_cast<std::int64_t>(GetPosition());
  const PartHeaderWalk walk = WalkPartHeaders(*this, static_cast<std::uint64_t>(dataCarriedIn));
  if (walk.digest != headerDigest) throw CKitSealException(CKitSealException::headersDamaged);
  Seek(resume, begin);
}

void CMediaReader::OnMemberExtracted() {
  const SealEntry* const sealed = digesting_;
  if (!sealed) return;
  digesting_ = nullptr;
  // The copy took the bytes the profile gives: all of the file, or it is
  // not the file the kit was built with.
  if (GetBytesRead() != static_cast<std::int64_t>(sealed->size) ||
      (ahead_ ? ahead_->sha256 : CSealDigest(digest_.FinishHex())) != sealed->sha256) {
    throw CKitSealException(CKitSealException::fileDamaged);
  }
}
