#include "tools/mkkit/KitSummary.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "setup/archive/KitMedia.h"

namespace {

std::string Format(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));
std::string Format(const char* format, ...) {
  char line[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  return line;
}

std::string Percent(std::uint64_t part, std::uint64_t whole) {
  return whole == 0 ? std::string("-") : Format("%.1f%%", 100.0 * static_cast<double>(part) / static_cast<double>(whole));
}

std::string DestinationName(const CKitDescription& d, std::int16_t id) {
  switch (id) {
    case -1: return "-1 (not installed)";
    case -2: return "-2 (Windows)";
    case -3: return "-3 (System)";
    case -4: return "-4 (temporary)";
    default: break;
  }
  for (const KitDestination& dest : d.destinations) {
    if (dest.id == id) return std::to_string(id) + " (" + dest.name + ")";
  }
  return std::to_string(id);
}

// What the summary calls diskette n: its folder on a CD, by the kit's rule
// for its folders; its number on diskettes; "." for a flat kit.
std::string SummaryFolder(MediaKind media, int n) {
  if (media == MediaKind::cd) return DisketteFolderName(media, n);
  return media == MediaKind::flat ? std::string(".") : std::to_string(n);
}

}  // namespace

std::string KitSummary::Render(const CKitDescription& d, const std::string& output, bool list, bool crlf) const {
  const char* eol = crlf ? "\r\n" : "\n";
  const bool limited = media != MediaKind::flat;
  std::string text = std::string("mkkit: summary of the ") + MediaKindName(media) + " kit in " + output + eol;
  text += Format("  %-8s %5s %5s %12s %12s %6s", media == MediaKind::cd ? "folder" : "diskette", "files", "parts",
                 "bytes used", "bytes free", "fill") + eol;
  for (std::size_t n = 0; n < disks.size(); ++n) {
    const KitSummaryDisk& disk = disks[n];
    const std::string name = SummaryFolder(media, static_cast<int>(n + 1));
    text += Format("  %-8s %5d %5d %12llu %12s %6s", name.c_str(), disk.files, disk.parts,
                   static_cast<unsigned long long>(disk.used),
                   limited ? std::to_string(capacity - disk.used).c_str() : "-",
                   limited ? Percent(disk.used, capacity).c_str() : "-") + eol;
  }
  if (rootFiles > 0) {
    text += Format("  %-8s %5d %5d %12llu %12s %6s", "(root)", rootFiles, 0, static_cast<unsigned long long>(rootBytes),
                   "-", "-") + eol;
  }
  std::uint64_t input = 0, members = 0, packed = 0;
  int memberCount = 0, storedCount = 0;
  for (const KitSummaryEntry& e : entries) {
    input += e.size;
    if (e.archive.empty()) continue;
    members += e.size;
    packed += e.packed;
    ++memberCount;
    if (e.stored) ++storedCount;
  }
  // The menu of a CD is not made from the input: it is left out of the ratio.
  text += Format("  input: %llu bytes in %zu files; kit: %llu bytes in %d files (%s%s of the input)",
                 static_cast<unsigned long long>(input), entries.size(), static_cast<unsigned long long>(kitBytes),
                 kitFiles, rootFiles > 0 ? "without the CD's root, " : "",
                 Percent(kitBytes - rootBytes, input).c_str()) + eol;
  if (memberCount > 0) {
    text += Format("  archive members: %llu bytes packed into %llu, %s smaller; %d of %d stored rather than deflated",
                   static_cast<unsigned long long>(members), static_cast<unsigned long long>(packed),
                   members == 0 ? "0.0%" : Percent(members - std::min(members, packed), members).c_str(),
                   storedCount, memberCount) + eol;
  }
  if (list) {
    text += Format("  %-8s %-12s %10s %10s  %-22s %s", media == MediaKind::cd ? "folder" : "diskette", "archive", "size",
                   "on media", "destination", "file") + eol;
    for (const KitSummaryEntry& e : entries) {
      const std::string disk = SummaryFolder(media, e.diskette);
      text += Format("  %-8s %-12s %10llu %10llu  %-22s %s%s", disk.c_str(), e.archive.empty() ? "-" : e.archive.c_str(),
                     static_cast<unsigned long long>(e.size), static_cast<unsigned long long>(e.packed),
                     DestinationName(d, e.destination).c_str(), e.name.c_str(), e.stored ? " (stored)" : "") + eol;
    }
  }
  return text;
}
