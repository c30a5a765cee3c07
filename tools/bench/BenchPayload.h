// The install benchmark's payloads, the same files on every run:
//   big     200 files, 64 MiB in all, in 12 folders
//   medium  the same shape in 16 MiB (the working set's second point)
//   many    2,000 files of 1 to 16 KiB in 100 folders (10 folders of 9
//           subfolders each)
//   one     one such file: what an installation costs besides its files
//   hugefiles  20,000 files of 1 to 16 KiB in 1,000 folders (100 folders
//           of 9 subfolders each): "many" ten times over
//   hugedata   512 MiB in 100 files in 12 folders: "big" eight times over
// About half the files are text, a quarter binary records, a quarter random
// bytes. File names are unique across a payload (the kit's description and
// the install log key files by name).
#pragma once

#include <functional>
#include <string>

#include "tools/bench/PayloadGenerator.h"

struct CPayloadFile {
  std::string folder;  // below the payload's root, '\' between names
  std::string name;
  CPayloadGenerator::Bytes data;
};

// Calls visit for every file of the payload named profile, in one fixed
// order, each file's folder before or with its first file. False when
// there is no such payload.
bool ForEachPayloadFile(const std::string& profile, const std::function<void(const CPayloadFile&)>& visit);
