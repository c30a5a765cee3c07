#include "tools/mkkit/KitWarnings.h"

#include <windows.h>

#include <algorithm>
#include <map>

#include "tools/mkkit/IniDocument.h"
#include "tools/mkkit/LowerCase.h"

namespace {

constexpr DWORD kSmallMember = 1024;

// "3", "3 and 5", "4 to 22", "2, 4 to 6 and 9".
std::string NumberList(const std::vector<int>& numbers) {
  std::vector<std::string> runs;
  for (std::size_t i = 0; i < numbers.size();) {
    std::size_t j = i;
    while (j + 1 < numbers.size() && numbers[j + 1] == numbers[j] + 1) ++j;
    runs.push_back(j == i       ? std::to_string(numbers[i])
                   : j == i + 1 ? std::to_string(numbers[i]) + ", " + std::to_string(numbers[j])
                                : std::to_string(numbers[i]) + " to " + std::to_string(numbers[j]));
    i = j + 1;
  }
  std::string text;
  for (std::size_t k = 0; k < runs.size(); ++k) {
    text += (k == 0 ? "" : k + 1 == runs.size() ? " and " : ", ") + runs[k];
  }
  return text;
}

// "a, b and c", or the first few and how many more.
std::string NameList(const std::vector<std::string>& names) {
  constexpr std::size_t kShown = 3;
  std::string text;
  const std::size_t shown = std::min(names.size(), kShown);
  for (std::size_t k = 0; k < shown; ++k) {
    text += (k == 0 ? "" : k + 1 == shown && names.size() == shown ? " and " : ", ") + names[k];
  }
  if (names.size() > shown) text += " and " + std::to_string(names.size() - shown) + " more";
  return text;
}

std::string Plural(std::size_t n, const char* one, const char* many) { return n == 1 ? one : many; }

}  // namespace

std::vector<std::string> CKitWarnings::Find(const CKitDescription& d, int diskettes,
                                            const std::set<const KitFile*>& storedForNoGain) {
  std::vector<std::string> warnings;
  const auto warn = [&](const std::string& where, const std::string& text) {
    warnings.push_back(where + ": warning: " + text);
  };

  // Diskette 1 holds the running setup program and is never asked for.
  std::vector<int> unlabelled, unused;
  for (int n = 2; n <= diskettes; ++n) {
    const auto it = std::find_if(d.diskettes.begin(), d.diskettes.end(), [&](const KitDiskette& k) { return k.number == n; });
    if (it == d.diskettes.end() || it->label.empty()) unlabelled.push_back(n);
  }
  for (const KitDiskette& k : d.diskettes) {
    if (k.number > diskettes) unused.push_back(k.number);
  }
  std::sort(unused.begin(), unused.end());
  if (!unlabelled.empty()) {
    warn(d.WhereSection("diskettes"),
         Plural(unlabelled.size(), "diskette ", "diskettes ") + NumberList(unlabelled) + " of " +
             std::to_string(diskettes) + " " + Plural(unlabelled.size(), "has", "have") +
             " no label in [diskettes]: the Insert Diskette dialog would ask for a diskette with an empty name");
  }
  if (!unused.empty()) {
    const auto first = std::find_if(d.diskettes.begin(), d.diskettes.end(), [&](const KitDiskette& k) { return k.number == unused.front(); });
    warn(d.Where(first->line), "[diskettes] labels " + Plural(unused.size(), "diskette ", "diskettes ") +
                                   NumberList(unused) + ", but the kit takes " + std::to_string(diskettes) + ": " +
                                   "the labels are never shown (a capacity other than intended?)");
  }

  const KitGroup& setupGroup = d.SetupGroup();
  for (const KitGroup& g : d.groups) {
    if (&g == &setupGroup) continue;  // it installs the setup program
    if (std::none_of(d.files.begin(), d.files.end(), [&](const KitFile& f) { return SameName(f.group, g.key); })) {
      warn(d.Where(g.line), "group " + g.key + " has no files ([files." + g.key + "] is missing or empty): the " +
                                "setup program lists it, and installs nothing with it");
    }
  }

  // A destination is used by its files and by the destinations below it.
  std::set<int> used{0};  // the setup program goes into destination 0
  for (const KitFile& f : d.files) used.insert(f.destination);
  for (bool grew = true; grew;) {
    grew = false;
    for (const KitDestination& dest : d.destinations) {
      if (used.count(dest.id) && dest.parent >= 0 && used.insert(dest.parent).second) grew = true;
    }
  }
  for (const KitDestination& dest : d.destinations) {
    if (!used.count(dest.id)) {
      warn(d.Where(dest.line), "destination " + std::to_string(dest.id) + " (" + dest.name + ") receives no file: " +
                                   "a removal leaves it alone, but the setup program creates the folder");
    }
  }

  if (d.programGroup.empty()) {
    const std::string fallback = d.product.identity.named ? d.product.identity.name : std::string("Veltrane");
    warn(d.WhereSection("kit"), "[kit] has no pmgroup=: the Start Menu folder the setup program proposes is " +
                                    fallback + ", and the install log names no program group");
  }

  for (const std::string& name : d.UnusedDefines()) {
    warn(d.GetPath(), "-D " + name + " is given, but the description never uses ${" + name + "}: a misspelt name?");
  }

  // Installations select the groups of setup type 2; a program item is made
  // only for a file that was installed.
  for (const KitTarget& t : d.targets) {
    std::vector<std::string> groups;
    bool selected = false;
    for (const KitFile& f : d.files) {
      if (f.destination == -1 || !SameName(f.name, t.key)) continue;
      const auto g = std::find_if(d.groups.begin(), d.groups.end(), [&](const KitGroup& k) { return SameName(k.key, f.group); });
      if (g != d.groups.end() && g->setupType[1]) selected = true;
      groups.push_back(f.group);
    }
    if (!selected && !groups.empty()) {
      warn(d.Where(t.line), "program item " + t.key + " starts a file that only " +
                                Plural(groups.size(), "group ", "groups ") + NameList(groups) + " " +
                                Plural(groups.size(), "installs, which is", "install, which are") +
                                " not in setup type 2: installations never install it, and the item is never made");
    }
  }

  // Per group: its archive members, and those stored for want of a gain.
  // Below 1 KiB deflate's own few bytes decide, not the data: such members
  // are not counted.
  std::map<std::string, std::pair<std::size_t, std::vector<const KitFile*>>> members;
  for (const KitFile& f : d.files) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (f.archive.empty() || !::GetFileAttributesExA(f.source.c_str(), GetFileExInfoStandard, &data) ||
        (data.nFileSizeHigh == 0 && data.nFileSizeLow < kSmallMember)) {
      continue;
    }
    auto& entry = members[Lower(f.group)];
    ++entry.first;
    if (storedForNoGain.count(&f)) entry.second.push_back(&f);
  }
  for (const KitGroup& g : d.groups) {
    const auto it = members.find(Lower(g.key));
    if (it == members.end()) continue;
    const auto& [total, stored] = it->second;
    if (stored.size() * 2 <= total) continue;
    std::vector<std::string> names;
    for (const KitFile* f : stored) names.push_back(f->name);
    warn(d.Where(stored.front()->line),
         std::to_string(stored.size()) + " of the " + std::to_string(total) + " archive members of group " + g.key +
             " are stored, because deflate did not make them smaller (" + NameList(names) + "): they are probably " +
             "compressed already, and deflating them at every build is wasted (method=stored in [kit] skips it)");
  }
  return warnings;
}
