// The copy engine's step for one file of the distribution: a plain file is
// copied, every member of an archive extracted, each into its destination
// through a CInstallJob.
#pragma once

#include "setup/install/InstallContext.h"
#include "setup/install/InstallOutcome.h"

class CFileEntry;

// Installs entry and says how it came out, telling the context's display
// first that it begins. Never throws: the diskette not
// given (or a cancelled extraction) stops the copy as userCancelled; any
// other failure is put to the policy's Continue / Cancel question, and
// "Cancel Operation" stops it as failed; the policy's stop, asked before
// each archive member and after the entry, stops it as requested. Files of
// an archive that were placed before a stop or failure stay installed and
// logged. The entry's source file is closed on every way out. The caller
// installs no further entry once the outcome says to stop.
CInstallOutcome InstallFileEntry(CFileEntry& entry, CInstallContext& context) noexcept;
