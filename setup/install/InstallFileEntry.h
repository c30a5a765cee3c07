// The copy engine's step for one file of the distribution: a plain file is
// copied, every member of an archive extracted, each into its destination
// through a CInstallJob.
#pragma once

#include "setup/install/InstallContext.h"

class CFileEntry;

// Installs entry. Never throws: the diskette not given (or a cancelled
// extraction) ends the copy (context.installSucceeded cleared, context.stop
// userCancelled); any other failure is put to the user with the Continue /
// Cancel question, and "Cancel Operation" ends the copy (stop failed).
// Files of an archive that were placed before a failure stay installed and
// logged. The entry's source file is closed on every way out. Returns at
// once when installSucceeded is already false.
void InstallFileEntry(CFileEntry& entry, CInstallContext& context) noexcept;
