#include "tools/mkkit/KitDescription.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <set>

#include "setup/profile/ProfileFields.h"
#include "setup/transfer/MediaFileName.h"
#include "tools/mkkit/KitException.h"

namespace {

template <class T>
bool ParseInteger(const std::string& text, T& value) {
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  return result.ec == std::errc() && result.ptr == end;
}

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t");
  return first == std::string::npos ? std::string() : s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::int16_t DestinationField(const std::string& text, const std::string& where) {
  std::int16_t id = 0;
  if (!ParseInteger(text, id)) ThrowBadInput(where, "'" + text + "' is not a destination id");
  return id;
}

// Whether text can stand as a key (or, with no ']', a section name) of
// the profile and be read back as the same text.
bool UsableAsKey(const std::string& text) {
  if (text.empty() || text.find_first_of("=\r\n") != std::string::npos) return false;
  if (text.front() == ';' || text.front() == '[' || text.front() == '#') return false;
  return text.front() != ' ' && text.back() != ' ';
}

bool IsAbsolute(const std::string& path) {
  return (path.size() > 1 && path[1] == ':') || path.starts_with("\\") || path.starts_with("/");
}

}  // namespace

bool ParseMediaKind(const std::string& text, MediaKind& kind) {
  if (SameName(text, "diskettes")) kind = MediaKind::diskettes;
  else if (SameName(text, "cd")) kind = MediaKind::cd;
  else if (SameName(text, "flat")) kind = MediaKind::flat;
  else return false;
  return true;
}

const char* MediaKindName(MediaKind kind) {
  switch (kind) {
    case MediaKind::diskettes: return "diskettes";
    case MediaKind::cd: return "cd";
    default: return "flat";
  }
}

bool CKitDescription::IsKnownDestination(std::int16_t id) const {
  if (id >= -4 && id <= -1) return true;
  return std::any_of(destinations.begin(), destinations.end(), [&](const KitDestination& d) { return d.id == id; });
}

std::string CKitDescription::Expand(const std::string& text, int line) const {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    if (text.compare(i, 2, "${") == 0) {
      const auto close = text.find('}', i);
      if (close == std::string::npos) ThrowBadInput(Where(line), "'${' without '}'");
      const std::string name = text.substr(i + 2, close - i - 2);
      const auto it = defines_.find(name);
      if (it == defines_.end()) ThrowBadInput(Where(line), "${" + name + "} is not defined (mkkit -D " + name + "=...)");
      out += it->second;
      i = close + 1;
    } else {
      out += text[i++];
    }
  }
  return out;
}

std::string CKitDescription::ResolveSource(const std::string& text, int line) const {
  const std::string path = Expand(text, line);
  return IsAbsolute(path) ? path : baseDir_ + path;
}

void CKitDescription::Load(const std::string& path, const std::map<std::string, std::string>& defines) {
  path_ = path;
  defines_ = defines;
  const auto slash = path.find_last_of("\\/");
  baseDir_ = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  document_.Load(path);

  const auto* kit = document_.Find("kit");
  if (!kit) ThrowBadInput(path, "the [kit] section is missing");
  for (const auto& section : document_.GetSections()) {
    const std::string lower = Lower(section.name);
    if (lower == "kit") ReadKit(section);
    else if (lower == "destinations") ReadDestinations(section);
    else if (lower == "groups") ReadGroups(section);
    else if (lower == "targets") ReadTargets(section);
    else if (lower == "diskettes") ReadDiskettes(section);
    else if (!lower.starts_with("files.")) ThrowBadInput(Where(section.line), "unknown section [" + section.name + "]");
  }
  if (destinations.empty()) ThrowBadInput(path, "[destinations] names no destination");
  for (const auto& section : document_.GetSections()) {
    if (!Lower(section.name).starts_with("files.")) continue;
    const std::string group = section.name.substr(6);
    if (std::none_of(groups.begin(), groups.end(), [&](const KitGroup& g) { return SameName(g.key, group); })) {
      ThrowBadInput(Where(section.line), "[" + section.name + "]: no group '" + group + "' in [groups]");
    }
    ReadFiles(section, group);
  }
  CheckFiles();
}

void CKitDescription::ReadKit(const CIniDocument::Section& s) {
  for (const auto& e : s.entries) {
    const std::string key = Lower(e.key);
    if (key == "media") {
      if (!ParseMediaKind(e.value, media)) ThrowBadInput(Where(e.line), "media is diskettes, cd or flat");
    } else if (key == "capacity") {
      if (!ParseInteger(e.value, capacity) || capacity > 0xFFFFFFFFull) {
        ThrowBadInput(Where(e.line), "capacity is a number of bytes");
      }
    } else if (key == "cluster") {
      if (!ParseInteger(e.value, cluster) || cluster == 0) ThrowBadInput(Where(e.line), "cluster is a number of bytes");
    } else if (key == "method") {
      if (SameName(e.value, "auto")) method = KitMethod::automatic;
      else if (SameName(e.value, "stored")) method = KitMethod::stored;
      else if (SameName(e.value, "deflate")) method = KitMethod::deflate;
      else ThrowBadInput(Where(e.line), "method is auto, stored or deflate");
    } else if (key == "setup") {
      setupProgram = ResolveSource(e.value, e.line);
    } else if (key == "pmgroup") {
      programGroup = e.value;
    } else {
      ThrowBadInput(Where(e.line), "unknown key '" + e.key + "' in [kit]");
    }
  }
}

void CKitDescription::ReadDestinations(const CIniDocument::Section& s) {
  for (const auto& e : s.entries) {
    KitDestination d;
    if (!ParseInteger(e.key, d.id) || d.id < 0) ThrowBadInput(Where(e.line), "a destination id is a number from 0");
    if (IsKnownDestination(d.id)) ThrowBadInput(Where(e.line), "destination " + e.key + " is given twice");
    GetTextField(e.value, 0, d.name);
    std::string parent;
    if (GetTextField(e.value, 1, parent) && !parent.empty()) d.parent = DestinationField(parent, Where(e.line));
    GetTextField(e.value, 2, d.path);
    destinations.push_back(d);
  }
  // Every chain of parents must end in a built-in or in a destination
  // without parent that has a path (destination 0 gets the one the user
  // chooses), or the setup program cannot resolve it.
  for (const auto& d : destinations) {
    std::set<int> seen;
    const KitDestination* at = &d;
    while (at->parent != -1 && !(at->parent <= -2 && at->parent >= -4)) {
      if (!seen.insert(at->id).second) {
        ThrowBadInput(Where(s.line), "destination " + std::to_string(d.id) + " has a cycle of parents");
      }
      const auto parent = std::find_if(destinations.begin(), destinations.end(),
                                       [&](const KitDestination& p) { return p.id == at->parent; });
      if (parent == destinations.end()) {
        ThrowBadInput(Where(s.line), "destination " + std::to_string(at->id) + " names the unknown parent " +
                                         std::to_string(at->parent));
      }
      at = &*parent;
    }
    if (at != &d && at->parent == -1 && at->id != 0 && at->path.empty()) {
      ThrowBadInput(Where(s.line), "destination " + std::to_string(d.id) + " hangs below destination " +
                                       std::to_string(at->id) + ", which has no path");
    }
  }
}

void CKitDescription::ReadGroups(const CIniDocument::Section& s) {
  for (const auto& e : s.entries) {
    KitGroup g;
    g.key = e.key;
    static const char* const kProfileSections[] = {"destinations", "groups", "targets", "PMGroup", "diskettes", "Events"};
    if (!UsableAsKey(g.key) || g.key.find(']') != std::string::npos ||
        std::any_of(std::begin(kProfileSections), std::end(kProfileSections),
                    [&](const char* name) { return SameName(g.key, name); })) {
      ThrowBadInput(Where(e.line), "'" + g.key + "' cannot name a group: it must work as a section name of its own in the profile");
    }
    GetTextField(e.value, 0, g.firstText);
    GetTextField(e.value, 1, g.secondText);
    for (int t = 0; t < 3; ++t) GetFlagField(e.value, 2 + t, g.setupType[t]);
    groups.push_back(g);
  }
}

void CKitDescription::ReadTargets(const CIniDocument::Section& s) {
  for (const auto& e : s.entries) {
    KitTarget t;
    t.key = e.key;
    t.line = e.line;
    if (!UsableAsKey(t.key)) ThrowBadInput(Where(e.line), "'" + t.key + "' cannot be a profile key");
    GetNumberField(e.value, 0, t.iconIndex);
    GetNumberField(e.value, 1, t.secondNumber);
    GetFlagField(e.value, 2, t.minimized);
    GetTextField(e.value, 3, t.description);
    GetTextField(e.value, 4, t.arguments);
    GetTextField(e.value, 5, t.iconFile);
    targets.push_back(t);
  }
}

void CKitDescription::ReadDiskettes(const CIniDocument::Section& s) {
  for (const auto& e : s.entries) {
    KitDiskette d;
    if (!ParseInteger(e.key, d.number) || d.number < 1) ThrowBadInput(Where(e.line), "a diskette number is a number from 1");
    GetTextField(e.value, 0, d.label);
    GetTextField(e.value, 1, d.path);
    diskettes.push_back(d);
  }
}

void CKitDescription::ReadFiles(const CIniDocument::Section& s, const std::string& group) {
  for (const auto& e : s.entries) {
    KitFile f;
    f.group = group;
    f.name = e.key;
    f.line = e.line;
    std::string source, destination;
    if (!GetTextField(e.value, 0, source) || source.empty()) ThrowBadInput(Where(e.line), "no source file");
    if (!GetTextField(e.value, 1, destination)) ThrowBadInput(Where(e.line), "no destination id");
    f.source = ResolveSource(Trim(source), e.line);
    f.destination = DestinationField(Trim(destination), Where(e.line));
    GetTextField(e.value, 2, f.archive);
    f.archive = Trim(f.archive);
    GetTextField(e.value, 3, f.text);
    if (!IsUsableFileName(f.name) || !UsableAsKey(f.name)) {
      ThrowBadInput(Where(e.line), "'" + f.name + "' cannot be a file name on the media");
    }
    if (!f.archive.empty() && (!IsUsableFileName(f.archive) || !UsableAsKey(f.archive))) {
      ThrowBadInput(Where(e.line), "'" + f.archive + "' cannot be an archive name");
    }
    files.push_back(f);
  }
}

void CKitDescription::CheckFiles() const {
  std::map<std::string, const KitFile*> mediaNames;  // lower-case name on the media -> first file
  std::map<std::string, std::string> archiveGroup;   // lower-case archive -> group
  std::set<std::string> members;                    // archive|destination|name, lower case
  for (const auto& f : files) {
    const std::string where = Where(f.line);
    if (!IsKnownDestination(f.destination)) {
      ThrowBadInput(where, "unknown destination id " + std::to_string(f.destination));
    }
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(f.source.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      ThrowBadInput(where, "missing source file " + f.source);
    }
    if (data.nFileSizeHigh != 0) ThrowBadInput(where, f.source + " is 4 GiB or larger");
    if (f.archive.empty()) {
      const std::string key = Lower(f.name);
      if (key == "_setupx.exe" || key == "_setupx.ini") ThrowBadInput(where, f.name + " is the setup program's own name");
      if (!mediaNames.emplace(key, &f).second) ThrowBadInput(where, "a second file named " + f.name + " on the media");
    } else {
      const std::string key = Lower(f.archive);
      const auto [it, added] = archiveGroup.emplace(key, Lower(f.group));
      if (!added && it->second != Lower(f.group)) {
        ThrowBadInput(where, "archive " + f.archive + " already belongs to group " + it->second);
      }
      if (!members.insert(key + "|" + std::to_string(f.destination) + "|" + Lower(f.name)).second) {
        ThrowBadInput(where, "archive " + f.archive + " already holds " + f.name + " for that destination");
      }
    }
  }
  for (const auto& [archive, group] : archiveGroup) {
    if (mediaNames.count(archive) || archive == "_setupx.exe" || archive == "_setupx.ini") {
      ThrowBadInput(path_, "archive " + archive + " has the name of another file on the media");
    }
  }
  for (const auto& t : targets) {
    const bool installed = std::any_of(files.begin(), files.end(), [&](const KitFile& f) {
      return f.destination != -1 && SameName(f.name, t.key);
    });
    if (!installed) ThrowBadInput(Where(t.line), "program item " + t.key + " names no file the kit installs");
  }
}
