// Whether a newly produced file replaces a copy that already exists: by
// their version resources when they have them, otherwise by their
// modification times.
#pragma once

#include <cstdint>
#include <string>

#include "setup/paths/PathName.h"

// A file's version from its version resource (the fixed file information):
// major, minor, build and revision, each an unsigned 16-bit number.
struct CFileVersion {
  std::uint16_t part[4] = {};
  // Compares part by part in that order; the first difference decides.
  auto operator<=>(const CFileVersion&) const = default;
};

// Reads the version resource of the file at path; false when it has none.
bool ReadFileVersion(const CPathName& path, CFileVersion& version);

// The modification time in whole seconds since 1970 (UTC); 0 when it cannot
// be read.
std::uint32_t ReadModificationTime(const CPathName& path);

// True when the new file replaces the existing one:
//   only the existing file has a version: keep it;
//   only the new one has a version: replace;
//   both have one: replace when the new version is the same or higher;
//   neither has one: replace when the new file was modified later (equal
//   times keep the existing file), or when the existing file is empty and
//   the new one is not (what a run ended in the instant after making the
//   file leaves, before its journal could name it; see InstallJournal.h).
bool ShouldReplace(const CPathName& newFile, const CPathName& existingFile);

// ShouldReplace's answer and, when describe is asked, what it went by,
// with both values, for the verbose log: "version 2.1.0.0 against
// 2.0.0.0", "modified 2026-12-08 15:41:49 against 2026-11-30 09:00:00
// (UTC)", "the new file has a version (1.0.0.0), the existing one has
// none" ... Each file is read once.
struct CReplaceDecision {
  bool replace = false;
  std::string reason;
};
CReplaceDecision DecideReplacement(const CPathName& newFile, const CPathName& existingFile, bool describe);
