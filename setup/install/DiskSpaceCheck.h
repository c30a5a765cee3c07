// The check that the files to be installed fit on the drive of the
// installation directory, made when the user confirms the directory. It
// only measures: whoever asks tells the user.
#pragma once

#include <cstdint>

#include "setup/paths/PathName.h"

class CFileList;

// The bytes the selected files of files (none when it is null) take on the
// drive of directory, counted in the drive's clusters.
std::int64_t RequiredDiskSpace(const CPathName& directory, const CFileList* files);

// Whether required bytes fit in the drive's free space as
// CPathName::FreeSpace reports it. An unknown free space (-1), a reported 0
// and the capped figure of a volume with 2 GB or more free never stand in
// the way: the copy itself reports a disk that turns out to be full.
bool HasDiskSpace(std::int64_t required, int free) noexcept;
