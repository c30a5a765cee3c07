#include "tools/mkkit/KitLayout.h"

#include <algorithm>

#include "setup/archive/MediaFileName.h"
#include "tools/mkkit/KitException.h"
#include "tools/mkkit/LowerCase.h"

void CKitLayout::NextDiskette() {
  ++diskettes_;
  used_ = 0;
}

std::uint64_t CKitLayout::LargestCut(const std::vector<std::uint32_t>& members, std::uint64_t lo, std::uint64_t hi) {
  std::uint64_t best = 0;
  std::uint64_t dataStart = kEntryHeader;
  for (const std::uint32_t size : members) {
    if (dataStart > hi) break;
    if (size > 0) {
      // A part may end anywhere from right after the header up to one byte
      // before the end of the member's data.
      const std::uint64_t first = std::max(lo + 1, dataStart);
      const std::uint64_t last = std::min(hi, dataStart + size - 1);
      if (first <= last) best = last;
    }
    dataStart += size + kEntryHeader;
  }
  return best;
}

void CKitLayout::Plan(const std::vector<LayoutItem>& items, std::uint64_t reservedOnFirst, const std::string& where) {
  placements_.clear();
  diskettes_ = 1;
  used_ = reservedOnFirst;
  const bool limited = kind_ != MediaKind::flat;
  if (limited && used_ > capacity_) {
    ThrowBadInput(where, "the setup program, its profile and the seal (" + std::to_string(used_) +
                          " bytes) do not fit on a diskette of " + std::to_string(capacity_) + " bytes");
  }
  for (const LayoutItem& item : items) {
    LayoutPlacement placement;
    if (!limited) {
      if (item.archive) {
        std::uint64_t end = 0;
        for (auto size : item.members) end += kEntryHeader + size;
        placement.parts.push_back(LayoutPart{1, item.name, 0, end});
        placement.continued.assign(item.members.size(), false);
      }
    } else if (!item.archive) {
      const std::uint64_t need = Occupied(item.size);
      if (need > capacity_) {
        ThrowBadInput(item.where, item.name + " (" + std::to_string(item.size) + " bytes) is larger than a diskette of " +
                              std::to_string(capacity_) + " bytes; pack it into an archive, which can be split");
      }
      if (need > Free()) NextDiskette();
      used_ += need;
      placement.diskette = diskettes_;
    } else {
      PlaceArchive(item, placement);
    }
    placements_.push_back(std::move(placement));
  }
}

void CKitLayout::PlaceArchive(const LayoutItem& item, LayoutPlacement& placement) {
  std::uint64_t total = 0;
  for (auto size : item.members) total += kEntryHeader + size;
  placement.continued.assign(item.members.size(), false);

  std::string name = item.name;
  std::string lastName;  // the part whose name could not be continued
  std::uint64_t at = 0;
  for (;;) {
    // The largest part file that fits in what is left of this diskette.
    const std::uint64_t usable = Free() / cluster_ * cluster_;
    const std::uint64_t room = usable > kPartHeader ? usable - kPartHeader : 0;
    if (total - at <= room) {
      placement.parts.push_back(LayoutPart{diskettes_, name, at, total});
      used_ += Occupied(kPartHeader + total - at);
      break;
    }
    const std::uint64_t cut = room > 0 ? LargestCut(item.members, at, at + room) : 0;
    if (cut == 0) {
      if (used_ == 0) {
        ThrowBadInput(item.where, "archive " + item.name + " cannot be cut into parts of " + std::to_string(capacity_) +
                              " bytes: too many empty members follow each other");
      }
      NextDiskette();  // not even a start fits here: begin on the next diskette
      continue;
    }
    placement.parts.push_back(LayoutPart{diskettes_, name, at, cut});
    used_ += Occupied(kPartHeader + cut - at);
    // The member whose data the cut falls in goes on in the next part.
    std::uint64_t dataStart = kEntryHeader;
    for (std::size_t k = 0; k < item.members.size(); ++k) {
      if (cut >= dataStart && cut < dataStart + item.members[k]) placement.continued[k] = true;
      dataStart += item.members[k] + kEntryHeader;
    }
    at = cut;
    const std::string next = NextPartName(name);
    // Planned on to the end, so that the message can say how many parts
    // the archive needs and suggest a name that gives them all.
    if (next.empty() && lastName.empty()) lastName = name;
    if (!next.empty()) name = next;
    NextDiskette();
  }
  placement.diskette = placement.parts.front().diskette;
  if (!lastName.empty()) {
    const std::size_t parts = placement.parts.size();
    const std::string better = PartNameFor(item.name, parts);
    ThrowBadInput(item.where, "archive " + item.name + " needs a part after " + lastName + ", but the name cannot be "
                  "continued (its last character cannot be raised to a usable one); it needs " + std::to_string(parts) +
                  " parts in all: " +
                  (better.empty() ? "no name changed in its last character gives that many, so split the archive or "
                                    "give a larger capacity"
                                  : "name it " + better + ", whose parts run from " + better + " to " +
                                        LastPartName(better, parts)));
  }
}

std::string CKitLayout::LastPartName(const std::string& first, std::size_t parts) {
  std::string name = first;
  for (std::size_t k = 1; k < parts && !name.empty(); ++k) name = NextPartName(name);
  return name;
}

std::string CKitLayout::PartNameFor(const std::string& name, std::size_t parts) {
  if (name.empty()) return {};
  // Digits give ten parts, letters twenty-seven (a to z, then '{').
  for (const char last : {'1', '0', 'a'}) {
    std::string candidate = Lower(name);
    candidate.back() = last;
    if (candidate != Lower(name) && IsUsableFileName(candidate) && !LastPartName(candidate, parts).empty()) {
      return candidate;
    }
  }
  return {};
}
