// The copy engine's loop: the selected entries of the file list, in list
// order, each through InstallFileEntry, with the kit's plain files read
// ahead on a second thread (CSourceReadAhead).
#pragma once

#include "setup/install/InstallContext.h"
#include "setup/install/InstallOutcome.h"

class CFileList;

// Installs the selected entries of files in list order until an entry's outcome says
// to stop (why, and at which entry, then goes to the verbose log). The
// outcome is the stop of the copy, none when it went through, and whether
// any file waits for the next restart. Never throws.
CInstallOutcome InstallSelectedFiles(CFileList& files, CInstallContext& context) noexcept;
