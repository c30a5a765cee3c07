#include "setup/profile/DestinationTable.h"


#include "setup/profile/IniTextFile.h"
#include "setup/profile/InstallProfileException.h"
#include "setup/profile/ProfileEntry.h"
#include "setup/profile/ProfileFields.h"
#include "setup/profile/ProfileRecords.h"
#include "setup/profile/ProfileSection.h"

CDestinationTable::CDestinationTable() {
  const struct {
    std::int16_t id;
    SpecialDirectory kind;
  } builtIns[] = {
      {CDestination::kWindowsDirectory, SpecialDirectory::windows},
      {CDestination::kSystemDirectory, SpecialDirectory::system},
      {CDestination::kTempDirectory, SpecialDirectory::temp},
  };
  for (const auto& b : builtIns) FindOrCreate(b.id).path = CPathName(b.kind);
}

CDestination* CDestinationTable::Find(std::int16_t id) {
  const auto it = byId_.find(id);
  return it == byId_.end() ? nullptr : records_[it->second].get();
}

const CDestination* CDestinationTable::Find(std::int16_t id) const {
  return const_cast<CDestinationTable*>(this)->Find(id);
}

CDestination& CDestinationTable::FindOrCreate(std::int16_t id) {
  if (CDestination* d = Find(id)) return *d;
  records_.push_back(std::make_unique<CDestination>(id, this));
  byId_.emplace(id, records_.size() - 1);
  return *records_.back();
}

CPathName CDestinationTable::GetPath(std::int16_t id) const {
  const CDestination* d = Find(id);
  return d ? d->path : CPathName();
}

std::string CDestinationTable::GetName(std::int16_t id) const {
  const CDestination* d = Find(id);
  return d ? d->name : std::string();
}

void CDestinationTable::SetPath(std::int16_t id, std::string_view text) { FindOrCreate(id).SetPath(text); }

void CDestinationTable::SetNameAndParent(std::int16_t id, std::string name, std::int16_t parentId) {
  CDestination& d = FindOrCreate(id);
  d.name = std::move(name);
  d.parentId = parentId;
}

void CDestinationTable::Load(const CPathName& profile) { Load(ReadIniTextFile(profile)); }

void CDestinationTable::Load(const CIniText& profile) {
  bool any = false;
  ForEachProfileValue(kSection, profile, [&](const std::string& key, const std::string& value) {
    any = true;
    std::int16_t id = 0;
    GetNumberField(key, 0, id);
    CDestinationRecord record = CDestinationRecord::Parse(value);
    SetNameAndParent(id, std::move(record.name), static_cast<std::int16_t>(record.parentId));
    SetPath(id, record.path);
  });
  if (!any) throw CInstallProfileException(CInstallProfileException::noDestinations);
}

void CDestinationTable::Resolve() {
  // resolved[i]: records_[i] has its final path in this call.
  std::vector<bool> resolved(records_.size(), false);
  std::size_t remaining = records_.size();
  for (std::size_t pass = 0; pass < records_.size() && remaining > 0; ++pass) {
    for (std::size_t i = 0; i < records_.size(); ++i) {
      if (resolved[i]) continue;
      CDestination& d = *records_[i];
      if (d.HasParent()) {
        const auto parent = byId_.find(d.parentId);
        if (parent == byId_.end()) continue;
        const std::size_t p = parent->second;
        if (!resolved[p] || records_[p]->path.IsEmpty()) continue;
        CPathName path = records_[p]->path;
        path.AppendDirectory(d.name);
        d.path = std::move(path);
      }
      resolved[i] = true;
      --remaining;
    }
  }
  if (remaining > 0) throw CInstallProfileException(CInstallProfileException::unresolvedDestinations);
}
