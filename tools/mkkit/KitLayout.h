// CKitLayout: decides where every file of a kit goes: which diskette holds
// each plain file, and how each archive is cut into part files. Pure
// arithmetic over sizes; nothing is written.
//
// The rules it keeps: a file occupies its size rounded up to whole
// clusters; the first diskette holds the setup program and its profile
// first; plain files are never split; an archive part ends only inside a
// member's stored data (possibly right after the member's header), never
// between two members or inside a header, because the reader reads
// headers from the current part and changes parts only while reading data.
// An archive that goes on over several diskettes fills each one to the end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/mkkit/KitDescription.h"

// One file of the media, in the order the kit lays them out.
struct LayoutItem {
  std::string name;  // the plain file's name, or the name of the archive's first part
  bool archive = false;
  std::uint64_t size = 0;               // plain file: its size
  std::vector<std::uint32_t> members;   // archive: the stored size of each member
  std::string where;                    // "file:line" of the description, for messages
};

// One part file of an archive: the bytes [streamBegin, streamEnd) of the
// archive's entries, after the part's own 8-byte header.
struct LayoutPart {
  int diskette = 1;
  std::string name;
  std::uint64_t streamBegin = 0;
  std::uint64_t streamEnd = 0;
  std::uint64_t FileSize() const { return 8 + streamEnd - streamBegin; }
};

struct LayoutPlacement {
  int diskette = 1;  // the plain file's diskette, or the archive's first one
  std::vector<LayoutPart> parts;      // archives only
  std::vector<bool> continued;        // archives: per member, data goes on in the next part
  bool Spans() const { return parts.size() > 1 && parts.back().diskette != parts.front().diskette; }
};

class CKitLayout {
public:
  static constexpr std::uint64_t kPartHeader = 8;
  static constexpr std::uint64_t kEntryHeader = 346;

  CKitLayout(MediaKind kind, std::uint64_t capacity, std::uint32_t cluster)
      : kind_(kind), capacity_(capacity), cluster_(cluster == 0 ? 1 : cluster) {}

  // Places items after reservedOnFirst bytes of the first diskette (the
  // setup program and its profile, already rounded). Throws CKitException
  // (bad input) when something cannot be placed: a plain file larger than
  // a diskette, an archive that cannot be cut (too many empty members in a
  // row for one diskette) or whose name cannot be raised for its parts;
  // the message starts with the item's where.
  // where names the capacity's line for the message when even the reserved
  // bytes do not fit.
  void Plan(const std::vector<LayoutItem>& items, std::uint64_t reservedOnFirst, const std::string& where = "");

  const std::vector<LayoutPlacement>& GetPlacements() const noexcept { return placements_; }
  int GetDisketteCount() const noexcept { return diskettes_; }
  // The space a file of size bytes takes on a medium.
  std::uint64_t Occupied(std::uint64_t size) const { return (size + cluster_ - 1) / cluster_ * cluster_; }

  // A name for an archive of parts part files, made from name by changing
  // its last character ("maps.ar1" for 12 parts: "maps.ara"); empty when
  // none gives that many.
  static std::string PartNameFor(const std::string& name, std::size_t parts);
  // The name of part number parts of an archive whose first part is first;
  // empty when the name cannot be continued that far.
  static std::string LastPartName(const std::string& first, std::size_t parts);

private:
  // The largest offset x with lo < x <= hi at which a part may end, or 0.
  static std::uint64_t LargestCut(const std::vector<std::uint32_t>& members, std::uint64_t lo, std::uint64_t hi);
  void PlaceArchive(const LayoutItem& item, LayoutPlacement& placement);
  void NextDiskette();
  std::uint64_t Free() const { return capacity_ - used_; }

  MediaKind kind_;
  std::uint64_t capacity_;
  std::uint64_t cluster_;
  std::vector<LayoutPlacement> placements_;
  int diskettes_ = 1;
  std::uint64_t used_ = 0;  // on the current diskette
};
