#include "setup/profile/DisketteTable.h"

#include <cstdlib>

#include "setup/profile/ProfileEntry.h"
#include "setup/profile/ProfileFields.h"
#include "setup/profile/ProfileSection.h"

void CDisketteTable::Load(const CPathName& profile) {
  CProfileSection section("diskettes");
  section.SetFile(profile);
  CProfileEntry entry;
  for (bool more = section.First(entry); more; more = section.Next(entry)) {
    const long number = std::strtol(entry.GetKey().c_str(), nullptr, 10);
    if (number < 0 || number > kMaxNumber) continue;
    entry.SetValue({});
    entry.Read();
    auto diskette = std::make_unique<CDiskette>();
    GetTextField(entry.GetValue(), 0, diskette->label);
    GetTextField(entry.GetValue(), 1, diskette->path);
    const auto index = static_cast<std::size_t>(number);
    if (index >= records_.size()) records_.resize(index + 1);
    records_[index] = std::move(diskette);
  }
}

const CDiskette* CDisketteTable::Get(int n) const {
  if (n < 0 || static_cast<std::size_t>(n) >= records_.size()) return nullptr;
  return records_[static_cast<std::size_t>(n)].get();
}

std::string CDisketteTable::GetLabel(int n) const {
  const CDiskette* d = Get(n);
  return d ? d->label : std::string();
}
