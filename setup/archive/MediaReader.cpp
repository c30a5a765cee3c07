#include "setup/archive/MediaReader.h"

#include "setup/archive/MediaFileName.h"
#include "setup/archive/MultiFileException.h"

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
  Reopen(media_.GetSourcePath(next));
  CheckPartHeader();
  return false;
}
