#include "setup/profile/DisketteTable.h"

#include <cstdlib>

#include "setup/profile/IniTextFile.h"
#include "setup/profile/ProfileRecords.h"
#include "setup/profile/ProfileSection.h"

void CDisketteTable::Load(const CPathName& profile) { Load(ReadIniTextFile(profile)); }

void CDisketteTable::Load(const CIniText& profile) {
  ForEachProfileValue("diskettes", profile, [this](const std::string& key, const std::string& value) {
    const long number = std::strtol(key.c_str(), nullptr, 10);
    if (number < 0 || number > kMaxNumber) return;
    CDisketteRecord record = CDisketteRecord::Parse(value);
    auto diskette = std::make_unique<CDiskette>();
    diskette->label = std::move(record.label);
    diskette->path = std::move(record.path);
    const auto index = static_cast<std::size_t>(number);
    if (index >= records_.size()) records_.resize(index + 1);
    records_[index] = std::move(diskette);
  });
}

const CDiskette* CDisketteTable::Get(int n) const {
  if (n < 0 || static_cast<std::size_t>(n) >= records_.size()) return nullptr;
  return records_[static_cast<std::size_t>(n)].get();
}

std::string CDisketteTable::GetLabel(int n) const {
  const CDiskette* d = Get(n);
  return d ? d->label : std::string();
}
