// CArchiveWriter: writes one multi-file archive into the part files its
// layout gives: each part starts with its own "mflh" header, entry headers
// are written raw, member data is written counted so that the byte limit
// of the current part moves the data on into the next part at exactly the
// planned place.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "setup/archive/CountedFile.h"
#include "setup/archive/EntryHeader.h"
#include "tools/mkkit/KitLayout.h"

class CArchiveWriter : public CCountedFile {
public:
  // Where a part file goes: the folder of its diskette plus its name.
  using PartPath = std::function<CPathName(const LayoutPart& part)>;

  explicit CArchiveWriter(PartPath partPath) : partPath_(std::move(partPath)) {}

  // Opens the first part. parts must come from CKitLayout for the members
  // written next, in order.
  void Begin(std::vector<LayoutPart> parts);
  // Writes the entry header and the member's stored data. Throws
  // CKitException when the header would not lie inside one part (the
  // layout and the members disagree).
  void WriteMember(const CEntryHeader& header, const std::vector<std::uint8_t>& data);
  // Closes the last part; throws CKitException when parts or bytes are
  // left over.
  void Finish();

  // The current part is full: close it and open the next.
  bool OnEndOfData() override;

private:
  std::uint64_t StreamPosition() const {
    return headerBytes_ + static_cast<std::uint64_t>(bytesWritten_ - dataStart_);
  }
  void OpenPart(std::size_t index);
  void SetLimitForPart() { limit_ = bytesWritten_ + static_cast<std::int64_t>(parts_[part_].streamEnd - StreamPosition()); }

  PartPath partPath_;
  std::vector<LayoutPart> parts_;
  std::size_t part_ = 0;
  std::uint64_t headerBytes_ = 0;
  std::int64_t dataStart_ = 0;
};
