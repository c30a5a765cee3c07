// The checks a setup profile passes before anything of it is installed:
// the records that the loaders take as they stand but that no profile the
// kit builder writes can hold, and that would make a run pass over files
// in silence or leave directories that cannot be resolved. Each failure is
// a CInstallProfileException whose subject names the profile, the record
// and what is wrong with it.
//
// The install log is not checked so: a group of the log has a section only
// when a file of it was installed.
#pragma once

#include "setup/paths/PathName.h"

class CIniText;
class CInstallModel;

// Every destination's parents lead, in a few steps, to one without a
// parent (unresolvedDestinations otherwise); every group of [groups] has
// its section; every file record is a plain file or an archive
// (badFileRecord otherwise).
void CheckSetupProfile(const CIniText& profile, const CInstallModel& model, const CPathName& path);
