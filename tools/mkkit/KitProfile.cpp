#include "tools/mkkit/KitProfile.h"

#include <cstdio>

#include "setup/profile/ProfileEntry.h"
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

std::string Join(std::initializer_list<std::string> fields) {
  std::string out;
  bool first = true;
  for (const auto& f : fields) {
    if (!first) out += '|';
    out += f;
    first = false;
  }
  return out;
}

}  // namespace

std::string CKitProfile::Render(const CKitDescription& d, const std::vector<ProfileFileRecord>& files) {
  Writer w;
  w.Section("destinations");
  for (const auto& dest : d.destinations) {
    w.Key(std::to_string(dest.id), Join({dest.name, std::to_string(dest.parent), dest.path}), d.Where(dest.line));
  }
  w.Section("groups");
  for (const auto& g : d.groups) {
    w.Key(g.key, Join({g.firstText, g.secondText, std::to_string(g.setupType[0]), std::to_string(g.setupType[1]),
                       std::to_string(g.setupType[2])}),
          d.Where(g.line));
  }
  for (const auto& g : d.groups) {
    w.Section(g.key);
    for (const auto& f : files) {
      if (!SameName(f.group, g.key)) continue;
      w.Key(f.name, Join({std::to_string(f.size), std::to_string(f.kind), std::to_string(f.count),
                          std::to_string(f.diskette), std::to_string(f.destination), f.text}),
            f.where);
    }
  }
  w.Section("targets");
  for (const auto& t : d.targets) {
    // The program path stays empty: the setup program fills it in.
    w.Key(t.key, Join({std::to_string(t.iconIndex), std::to_string(t.secondNumber), std::to_string(t.minimized),
                       t.description, t.arguments, t.iconFile, ""}),
          d.Where(t.line));
  }
  if (!d.programGroup.empty()) {
    w.Section("PMGroup");
    w.Key("PMGroup", d.programGroup, d.GetPath());
  }
  w.Section("diskettes");
  for (const auto& disk : d.diskettes) w.Key(std::to_string(disk.number), Join({disk.label, disk.path}), d.Where(disk.line));
  return w.Take();
}
