#include "tools/mkkit/KitProfile.h"

#include <cstdio>

#include "setup/profile/ProfileEntry.h"
#include "setup/profile/ProfileRecords.h"
#include "tools/mkkit/KitException.h"

namespace {

class Writer {
public:
  void Section(const std::string& name) { text_ += (text_.empty() ? "[" : "\r\n[") + name + "]\r\n"; }
  void Key(const std::string& key, const std::string& value, const std::string& where) {
    if (value.size() > CProfileEntry::kMaxValueLength) {
      ThrowBadInput(where, "the profile value of " + key + " would be " + std::to_string(value.size()) +
                            " characters; the setup program reads at most " +
                            std::to_string(CProfileEntry::kMaxValueLength));
    }
    text_ += key + "=" + value + "\r\n";
  }
  std::string Take() { return std::move(text_); }

private:
  std::string text_;
};

}  // namespace

std::string CKitProfile::Render(const CKitDescription& d, const std::vector<ProfileFileRecord>& files) {
  Writer w;
  w.Section("destinations");
  for (const auto& dest : d.destinations) {
    w.Key(std::to_string(dest.id), CDestinationRecord{dest.name, dest.parent, dest.path}.Format(), d.Where(dest.line));
  }
  w.Section("groups");
  for (const auto& g : d.groups) {
    w.Key(g.key, CGroupRecord{g.firstText, g.secondText, {g.setupType[0], g.setupType[1], g.setupType[2]}}.Format(),
          d.Where(g.line));
  }
  for (const auto& g : d.groups) {
    w.Section(g.key);
    for (const auto& f : files) {
      if (!SameName(f.group, g.key)) continue;
      w.Key(f.name, CFileEntryRecord{f.size, f.kind, f.count, f.diskette, f.destination, f.text}.Format(), f.where);
    }
  }
  w.Section("targets");
  for (const auto& t : d.targets) {
    // The program path stays empty: the setup program fills it in.
    w.Key(t.key,
          CTargetRecord{t.iconIndex, t.secondNumber, t.minimized, t.description, t.arguments, t.iconFile, ""}.Format(),
          d.Where(t.line));
  }
  if (!d.programGroup.empty()) {
    w.Section("PMGroup");
    w.Key("PMGroup", d.programGroup, d.GetPath());
  }
  w.Section("diskettes");
  for (const auto& disk : d.diskettes) {
    w.Key(std::to_string(disk.number), CDisketteRecord{disk.label, disk.path}.Format(), d.Where(disk.line));
  }
  if (d.product.identity.named) {
    w.Section(CProductIdentity::kSection);
    for (const auto& [key, value] : d.product.identity.Records()) w.Key(key, value, d.Where(d.product.line));
  }
  return w.Take();
}
