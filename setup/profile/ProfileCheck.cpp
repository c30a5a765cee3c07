#include "setup/profile/ProfileCheck.h"

#include <iterator>
#include <string>

#include "setup/profile/IniText.h"
#include "setup/profile/InstallModel.h"
#include "setup/profile/InstallProfileException.h"
#include "framework/JoinText.h"

namespace {

[[noreturn]] void Refuse(int code, const CPathName& path, const std::string& record, const std::string& fault) {
  CInstallProfileException e(code);
  e.SetSubject(JoinText({path.GetPath(), ", ", record, ": ", fault}));
  throw e;
}

// A parent id that names no destination, or a chain of parents that comes
// back to itself, leaves directories that no installation directory can
// resolve.
void CheckDestinationParents(const CDestinationTable& destinations, const CPathName& path) {
  const auto count = static_cast<std::size_t>(std::distance(destinations.begin(), destinations.end()));
  for (const auto& d : destinations) {
    const CDestination* at = d.get();
    // More steps than there are destinations: the chain is a loop.
    for (std::size_t steps = 0; at->HasParent(); ++steps) {
      const CDestination* parent = destinations.Find(at->parentId);
      const std::string record = JoinText({"[destinations] ", std::to_string(d->id)});
      if (!parent) {
        Refuse(CInstallProfileException::unresolvedDestinations, path, record,
               JoinText({"its parent ", std::to_string(at->parentId), " is not a destination"}));
      }
      if (steps >= count) {
        Refuse(CInstallProfileException::unresolvedDestinations, path, record, "its parents go round in a circle");
      }
      at = parent;
    }
  }
}

// A group whose section is gone, or a file record of a kind the copy has
// no way for, would install nothing of it and still succeed.
void CheckFileRecords(const CIniText& profile, const CInstallModel& model, const CPathName& path) {
  for (const auto& group : model.groups) {
    if (!profile.HasSection(group->key)) {
      Refuse(CInstallProfileException::badFileRecord, path, JoinText({"[groups] ", group->key}),
             JoinText({"its section [", group->key, "] is missing"}));
    }
  }
  for (const auto& file : model.files) {
    if (file->kind != CFileEntry::plainFile && file->kind != CFileEntry::archive) {
      Refuse(CInstallProfileException::badFileRecord, path, JoinText({"[", file->group->key, "] ", file->GetFileName()}),
             JoinText({"its kind ", std::to_string(file->kind), " is neither a plain file (0) nor an archive (1)"}));
    }
  }
}

}  // namespace

void CheckSetupProfile(const CIniText& profile, const CInstallModel& model, const CPathName& path) {
  CheckDestinationParents(model.destinations, path);
  CheckFileRecords(profile, model, path);
}
