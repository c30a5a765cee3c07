// KitSummary: what a build put where, for the person who ships the kit: one
// line per diskette (files, archive parts, bytes used and free, how full),
// the CD's root when there is one, and the totals (the input's bytes, the
// kit's, what deflate gained, how many members were stored); with the list,
// one line per file or archive member (diskette, archive, size before and
// after, destination). Printed after a build and written with --report.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/mkkit/KitDescription.h"

struct KitSummaryDisk {
  int files = 0;            // plain files (the setup program, the profile and the seal among them)
  int parts = 0;            // archive part files
  std::uint64_t used = 0;   // in whole clusters
};

struct KitSummaryEntry {
  int diskette = 1;         // where the file, or the member's header, lies
  std::string archive;      // empty: a plain file
  std::string name;
  std::uint64_t size = 0;   // installed
  std::uint64_t packed = 0; // on the media
  std::int16_t destination = 0;
  bool stored = false;      // an archive member that was not deflated
};

struct KitSummary {
  MediaKind media = MediaKind::diskettes;
  std::uint64_t capacity = 0;
  std::vector<KitSummaryDisk> disks;  // diskette 1 first
  int rootFiles = 0;                  // the CD's root: the menu and its files
  std::uint64_t rootBytes = 0;
  std::vector<KitSummaryEntry> entries;  // the setup program, then the description's files in order
  std::uint64_t kitBytes = 0;         // every file written, as they are
  int kitFiles = 0;

  // The text, each line ending in "\r\n" when crlf (a report file) and
  // "\n" otherwise; with list, the lines of the files and members too.
  std::string Render(const CKitDescription& description, const std::string& output, bool list, bool crlf = false) const;
};
