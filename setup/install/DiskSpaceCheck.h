// The check that the files to be installed fit on the drive of the
// installation directory, made when the user confirms the directory.
#pragma once

#include <cstdint>

#include "setup/paths/PathName.h"

class CFileList;
class CProductIdentity;

// Whether the selected files of files (none when it is null) fit on the
// drive of directory, counted in the drive's clusters; see below. The
// dialog names product (Veltrane when it is null).
bool CheckDiskSpace(const CPathName& directory, const CFileList* files, const CProductIdentity* product = nullptr);

// The same for the bytes required and the drive's free space as
// CPathName::FreeSpace reports it. When the free space is known and
// smaller, the Insufficient Disk Space dialog is shown (modal, over the
// application's main window) and the result is false whichever button
// closes it. An unknown free space (-1), a reported 0 and the capped figure
// of a volume with 2 GB or more free never stand in the way: the copy
// itself reports a disk that turns out to be full.
bool CheckDiskSpace(const CPathName& directory, std::int64_t required, int free,
                    const CProductIdentity* product = nullptr);
