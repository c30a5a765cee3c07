#include "setup/profile/FileEntry.h"

#include "setup/profile/Group.h"
#include "setup/archive/MediaFileName.h"
#include "setup/archive/MultiFileException.h"

CFileEntry::CFileEntry(CSourceMedia& media, std::string fileName, int disketteNumber)
    : media_(media), fileName_(std::move(fileName)), disketteNumber_(disketteNumber) {}

void CFileEntry::OnSegmentBoundary() {
  if (progressHook_) progressHook_();
}

bool CFileEntry::OnEndOfData() {
  // The part stays open when the data simply ends: whoever reads on gets a
  // short read, not a closed file.
  if (!IsEntryContinued()) return true;
  const std::string next = NextPartName(GetPathName().GetFileName());
  if (next.empty()) throw CMultiFileException(CMultiFileException::corruptTable);
  Close();
  ++disketteNumber_;
  if (!media_.LocateSourceFile(next, disketteNumber_)) AfxThrowUserException();
  Reopen(media_.GetSourcePath(next));
  CheckPartHeader();
  return false;
}

std::int64_t CFileEntry::SpaceNeeded(DWORD clusterSize) const {
  const std::int64_t cluster = clusterSize;
  if (memberCount > 1) return cluster * memberCount / 2 + size;
  if (cluster != 0 && size > 0) return (size + cluster - 1) / cluster * cluster;
  return size;
}

bool CFileEntry::IsSelected() const { return group && group->selected; }
