#include "tools/mkkit/ArchiveWriter.h"

#include <algorithm>

#include "setup/archive/ArchiveFormat.h"
#include "tools/mkkit/KitException.h"

namespace {

[[noreturn]] void LayoutMismatch(const std::string& what) {
  throw CKitException(kExitIoError, "internal error: archive layout and members disagree (" + what + ")");
}

}  // namespace

void CArchiveWriter::OpenPart(std::size_t index) {
  part_ = index;
  OpenWrite(partPath_(parts_[part_]));
  static const std::uint8_t header[archive_format::kPartHeaderSize] = {'m', 'f', 'l', 'h', 0, 0, 0, 0};
  RawWrite(header, sizeof header);
  SetLimitForPart();
}

void CArchiveWriter::Begin(std::vector<LayoutPart> parts) {
  if (parts.empty()) LayoutMismatch("no parts");
  parts_ = std::move(parts);
  headerBytes_ = 0;
  dataStart_ = bytesWritten_;
  OpenPart(0);
}

void CArchiveWriter::WriteMember(const CEntryHeader& header, const std::vector<std::uint8_t>& data) {
  if (StreamPosition() + archive_format::kEntryHeaderSize > parts_[part_].streamEnd) {
    LayoutMismatch("a header would cross a part end");
  }
  RawWrite(header.GetBytes().data(), static_cast<UINT>(header.GetBytes().size()));
  headerBytes_ += archive_format::kEntryHeaderSize;
  SetLimitForPart();
  std::size_t done = 0;
  while (done < data.size()) {  // Write takes UINT counts
    const auto piece = static_cast<UINT>(std::min<std::size_t>(data.size() - done, 1u << 30));
    Write(data.data() + done, piece);
    done += piece;
  }
}

bool CArchiveWriter::OnEndOfData() {
  if (part_ + 1 >= parts_.size()) return true;  // nothing planned after this part: the write fails
  Close();
  OpenPart(part_ + 1);
  return false;
}

void CArchiveWriter::Finish() {
  if (part_ + 1 != parts_.size() || StreamPosition() != parts_.back().streamEnd) {
    LayoutMismatch("bytes or parts left over");
  }
  Close();
}
