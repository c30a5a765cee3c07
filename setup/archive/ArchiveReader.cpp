#include "setup/archive/ArchiveReader.h"

#include <array>
#include <cstring>

#include "setup/archive/InflateCodec.h"
#include "setup/archive/MediaFileName.h"
#include "setup/archive/MultiFileException.h"
#include "setup/archive/StoredCodec.h"

using namespace archive_format;

// Marks an extraction as running for Abort, and clears that on every way
// out of Extract.
class CArchiveReader::RunningExtraction {
public:
  RunningExtraction(CArchiveReader& reader, CCodec& codec, CArchiveMember& member) : reader_(reader) {
    reader_.runningCodec_ = &codec;
    reader_.currentMember_ = &member;
    reader_.extracting_ = true;
  }
  ~RunningExtraction() {
    reader_.runningCodec_ = nullptr;
    reader_.currentMember_ = nullptr;
    reader_.extracting_ = false;
  }
  RunningExtraction(const RunningExtraction&) = delete;
  RunningExtraction& operator=(const RunningExtraction&) = delete;

private:
  CArchiveReader& reader_;
};

CArchiveReader::CArchiveReader() : CCountedFile(kSegmentSize) {
  // Members are checked on the output side, over their uncompressed data; a
  // checksum over the stored bytes read here would serve nobody.
  SetChecksumming(false);
}

CArchiveReader::~CArchiveReader() = default;

void CArchiveReader::Abort() {
  if (runningCodec_) {
    runningCodec_->Cancel();
  } else {
    CCountedFile::Abort();
  }
}

std::unique_ptr<CArchiveMember> CArchiveReader::CreateMemberFile() const {
  auto member = std::make_unique<CArchiveMember>();
  member->SetNextEntryOffset(firstEntryOffset_);
  return member;
}

std::unique_ptr<CCodec> CArchiveReader::CreateCodec(std::uint32_t method, std::uint32_t) const {
  switch (method) {
    case kMethodStored: return std::make_unique<CStoredCodec>();
    case kMethodDeflate: return std::make_unique<CInflateCodec>();
    default: return nullptr;
  }
}

CCodec* CArchiveReader::CodecFor(std::uint32_t method, std::uint32_t parameter) {
  for (const KeptCodec& kept : codecs_) {
    if (kept.method == method && kept.parameter == parameter) return kept.codec.get();
  }
  std::unique_ptr<CCodec> codec = CreateCodec(method, parameter);
  if (!codec) return nullptr;
  if (codecs_.size() >= kKeptCodecs) codecs_.erase(codecs_.begin());
  codecs_.push_back(KeptCodec{method, parameter, std::move(codec)});
  return codecs_.back().codec.get();
}

void CArchiveReader::CheckPartHeader() {
  std::array<std::uint8_t, kPartHeaderSize> header;
  if (RawRead(header.data(), kPartHeaderSize) != kPartHeaderSize) {
    CFileException::Throw(CFileException::endOfFile, -1, GetFilePath());
  }
  if (std::memcmp(header.data(), kPartMagic, 4) != 0) throw CMultiFileException(CMultiFileException::notAnArchive);
}

void CArchiveReader::OpenArchive(const CPathName& path) {
  entryOpen_ = false;
  OpenRead(path);
  CheckPartHeader();
  firstEntryOffset_ = static_cast<std::int64_t>(GetPosition());
  OnPartOpened(0);
}

void CArchiveReader::PassOverEntryData(bool seek) {
  std::int64_t left = entryDataEnd_ - bytesRead_;
  if (left <= 0) return;
  if (seek) {
    const auto position = static_cast<std::int64_t>(GetPosition());
    if (static_cast<std::int64_t>(GetLength()) - position >= left) {
      Seek(left, current);
      bytesRead_ += left;
      return;
    }
  }
  std::array<std::uint8_t, 4096> scratch;
  while (left > 0) {
    const auto want = static_cast<UINT>(std::min<std::int64_t>(left, scratch.size()));
    const UINT got = Read(scratch.data(), want);
    if (got == 0) CFileException::Throw(CFileException::endOfFile, -1, GetFilePath());
    left -= got;
  }
}

bool CArchiveReader::NextEntry(CArchiveMember& member, bool seek) {
  if (member.GetNextEntryOffset() == 0) member.SetNextEntryOffset(firstEntryOffset_);
  if (entryOpen_) {
    PassOverEntryData(seek);
    entryOpen_ = false;
  }
  if (member.ReadHeader(*this) < kEntryHeaderSize) return false;
  const CEntryHeader& header = member.GetHeader();
  if (!header.HasMagic()) throw CMultiFileException(CMultiFileException::missingEntryHeader);
  // A name that could not be created, or not be recorded in the install
  // log (where the removal finds it again), is refused before any file is
  // made.
  const std::string fileName = FileNamePart(member.GetMemberName());
  if (!header.NameIsTerminated() || !IsUsableFileName(fileName) || !IsLoggableFileName(fileName)) {
    throw CMultiFileException(CMultiFileException::corruptTable);
  }
  member.SetNextEntryOffset(member.GetNextEntryOffset() + std::int64_t{kEntryHeaderSize} +
                            header.GetCompressedSize());
  entryOpen_ = true;
  entryContinued_ = header.IsContinued();
  entryDataEnd_ = bytesRead_ + header.GetCompressedSize();
  return true;
}

void CArchiveReader::Extract(CArchiveMember& member) {
  const CEntryHeader& header = member.GetHeader();
  bool cancelled = false;
  try {
    member.OpenOutput();
    CCodec* const codec = CodecFor(header.GetMethod(), header.GetMethodParameter());
    if (!codec) throw CMultiFileException(CMultiFileException::unknownMethod);
    {
      RunningExtraction running(*this, *codec, member);
      codec->TransferSized(*this, member, header.GetCompressedSize(), header.GetSize());
      cancelled = codec->IsCancelled();
    }
    member.CloseWithHeaderTime();
  } catch (...) {
    member.Abort();
    throw;
  }
  member.RestoreAttributes();
  if (cancelled) AfxThrowUserException();
  if (header.GetChecksum() != 0 && header.GetChecksum() != member.GetChecksum()) {
    throw CMultiFileException(CMultiFileException::crcMismatch);
  }
  OnMemberExtracted();
}
