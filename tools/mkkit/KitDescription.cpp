#include "tools/mkkit/KitDescription.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <iterator>
#include <set>

#include "framework/BmpFile.h"
#include "setup/profile/ProfileFields.h"
#include "setup/archive/MediaFileName.h"
#include "tools/mkkit/KitAuthenticode.h"
#include "tools/mkkit/KitException.h"
#include "setup/archive/KitSeal.h"
#include "tools/mkkit/LowerCase.h"
#include "tools/mkkit/NativePath.h"

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

std::int16_t DestinationField(const std::string& text, const std::string& where) {
  std::int16_t id = 0;
  if (!ParseInteger(text, id)) ThrowBadInput(where, "'" + text + "' is not a destination id");
  return id;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Whether text can stand as a key (or, with no ']', a section name) of the
// profile and of the install log and be read back as the same text: no '='
// anywhere, no leading ';', '[' or '#', no leading or trailing blank. The
// removal finds installed files by these keys, so a name that does not
// come back the same would make it delete another file, or none.
bool UsableAsKey(const std::string& text) {
  if (text.empty() || text.find_first_of("=\r\n") != std::string::npos) return false;
  if (text.front() == ';' || text.front() == '[' || text.front() == '#') return false;
  return !IsBlank(text.front()) && !IsBlank(text.back());
}

// A line of a section whose values have at most max '|' fields.
void CheckFieldCount(const std::string& value, std::size_t max, const std::string& where, const char* format) {
  const std::size_t fields = static_cast<std::size_t>(std::count(value.begin(), value.end(), '|')) + 1;
  if (fields > max) {
    ThrowBadInput(where, std::to_string(fields) + " '|' fields, but a line of this section has at most " +
                             std::to_string(max) + ": " + format);
  }
}

// Refuses a key that differs from an earlier one of the section only in
// letter case (the setup program's look-ups ignore case), or repeats it.
template <class Record>
void CheckUniqueKey(const std::vector<Record>& earlier, const std::string& key, const std::string& where,
                    const CIniDocument& document, const char* what) {
  for (const Record& r : earlier) {
    if (!SameName(r.key, key)) continue;
    if (r.key == key) ThrowBadInput(where, std::string(what) + " '" + key + "' is given twice (first " + document.Where(r.line) + ")");
    ThrowBadInput(where, std::string(what) + " '" + key + "' differs from '" + r.key + "' (" + document.Where(r.line) +
                             ") only in letter case; the setup program's look-ups ignore case");
  }
}

bool IsAbsolute(const std::string& path) {
  return (path.size() > 1 && path[1] == ':') || path.starts_with("\\") || path.starts_with("/");
}

}  // namespace

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
      usedDefines_.insert(name);
      out += it->second;
      i = close + 1;
    } else {
      out += text[i++];
    }
  }
  return out;
}

std::string CKitDescription::ResolveSource(const std::string& text, int) const {
  // The value's ${NAME}s are expanded already (Load).
  const std::string path = NativeSeparators(text);
  return IsAbsolute(path) ? path : baseDir_ + path;
}

std::vector<std::string> CKitDescription::UnusedDefines() const {
  std::vector<std::string> unused;
  for (const auto& [name, value] : defines_) {
    if (!usedDefines_.count(name)) unused.push_back(name);
  }
  return unused;
}

std::string CKitDescription::WhereSection(const std::string& name) const {
  const auto* section = document_.Find(name);
  return section ? Where(section->line) : path_;
}

void CKitDescription::Load(const std::string& given, const std::map<std::string, std::string>& defines) {
  const std::string path = NativeSeparators(given);
  path_ = path;
  defines_ = defines;
  usedDefines_.clear();
  const auto slash = path.find_last_of('\\');
  baseDir_ = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  document_.Load(path);
  // ${NAME} stands for its -D value in every value, paths or texts.
  for (auto& section : document_.EditSections()) {
    for (auto& entry : section.entries) entry.value = Expand(entry.value, entry.line);
  }

  const auto* kit = document_.Find("kit");
  if (!kit) ThrowBadInput(path, "the [kit] section is missing");
  for (const auto& section : document_.GetSections()) {
    const std::string lower = Lower(section.name);
    if (lower == "kit") ReadKit(section);
    else if (lower == "destinations") ReadDestinations(section);
    else if (lower == "groups") ReadGroups(section);
    else if (lower == "targets") ReadTargets(section);
    else if (lower == "diskettes") ReadDiskettes(section);
    else if (lower == "cd") ReadCd(section);
    else if (lower == "cd.buttons") ReadCdButtons(section);
    else if (lower == "product") ReadProduct(section);
    else if (!lower.starts_with("files.")) ThrowBadInput(Where(section.line), "unknown section [" + section.name + "]");
  }
  const auto* destinationSection = document_.Find("destinations");
  const std::string destinationsWhere = destinationSection ? Where(destinationSection->line) : path;
  if (destinations.empty()) ThrowBadInput(destinationsWhere, "[destinations] names no destination");
  if (!IsKnownDestination(0)) {
    ThrowBadInput(destinationsWhere, "[destinations] has no destination 0, the installation directory");
  }
  CheckGroups();
  for (const auto& section : document_.GetSections()) {
    if (!Lower(section.name).starts_with("files.")) continue;
    const std::string group = section.name.substr(6);
    if (std::none_of(groups.begin(), groups.end(), [&](const KitGroup& g) { return SameName(g.key, group); })) {
      ThrowBadInput(Where(section.line), "[" + section.name + "]: no group '" + group + "' in [groups]");
    }
    ReadFiles(section, group);
  }
  CheckFiles();
  CheckProduct();
}

void CKitDescription::ReadKit(const CIniDocument::Section& s) {
  for (const auto& e : s.entries) {
    const std::string key = Lower(e.key);
    if (key == "media") {
      if (!ParseMediaKind(e.value, media)) ThrowBadInput(Where(e.line), "media is diskettes, cd or flat");
      mediaLine = e.line;
    } else if (key == "capacity") {
      if (!ParseInteger(e.value, capacity) || capacity == 0 || capacity > 0xFFFFFFFFull) {
        ThrowBadInput(Where(e.line), "capacity is a number of bytes from 1 to 4294967295");
      }
      capacityLine = e.line;
    } else if (key == "cluster") {
      if (!ParseInteger(e.value, cluster) || cluster == 0) ThrowBadInput(Where(e.line), "cluster is a number of bytes");
    } else if (key == "method") {
      if (SameName(e.value, "auto")) method = KitMethod::automatic;
      else if (SameName(e.value, "stored")) method = KitMethod::stored;
      else if (SameName(e.value, "deflate")) method = KitMethod::deflate;
      else ThrowBadInput(Where(e.line), "method is auto, stored or deflate");
    } else if (key == "setup") {
      setupProgram = ResolveSource(e.value, e.line);
      setupLine = e.line;
    } else if (key == "setupgroup") {
      setupGroup = e.value;
      setupGroupLine_ = e.line;
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
    d.line = e.line;
    if (!ParseInteger(e.key, d.id) || d.id < 0) ThrowBadInput(Where(e.line), "a destination id is a number from 0");
    if (IsKnownDestination(d.id)) ThrowBadInput(Where(e.line), "destination " + e.key + " is given twice");
    CheckFieldCount(e.value, 3, Where(e.line), "name|parent id|path");
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
        ThrowBadInput(Where(d.line), "destination " + std::to_string(d.id) + " has a cycle of parents");
      }
      const auto parent = std::find_if(destinations.begin(), destinations.end(),
                                       [&](const KitDestination& p) { return p.id == at->parent; });
      if (parent == destinations.end()) {
        ThrowBadInput(Where(at->line), "destination " + std::to_string(at->id) + " names the unknown parent " +
                                         std::to_string(at->parent));
      }
      at = &*parent;
    }
    if (at != &d && at->parent == -1 && at->id != 0 && at->path.empty()) {
      ThrowBadInput(Where(d.line), "destination " + std::to_string(d.id) + " hangs below destination " +
                                       std::to_string(at->id) + ", which has no path");
    }
  }
}

void CKitDescription::ReadGroups(const CIniDocument::Section& s) {
  for (const auto& e : s.entries) {
    KitGroup g;
    g.key = e.key;
    g.line = e.line;
    static const char* const kProfileSections[] = {"destinations", "groups", "targets", "PMGroup", "diskettes", "Events"};
    if (!UsableAsKey(g.key) || g.key.find(']') != std::string::npos ||
        std::any_of(std::begin(kProfileSections), std::end(kProfileSections),
                    [&](const char* name) { return SameName(g.key, name); })) {
      ThrowBadInput(Where(e.line), "'" + g.key + "' cannot name a group: it must work as a section name of its own in the profile");
    }
    CheckUniqueKey(groups, g.key, Where(e.line), document_, "group");
    CheckFieldCount(e.value, 5, Where(e.line), "first text|second text|setup type 1|setup type 2|setup type 3");
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
    CheckUniqueKey(targets, t.key, Where(e.line), document_, "program item");
    CheckFieldCount(e.value, 7, Where(e.line),
                    "icon index|second number|minimized|description|arguments|icon file|(program path)");
    std::string programPath;
    if (GetTextField(e.value, 6, programPath) && !programPath.empty()) {
      ThrowBadInput(Where(e.line), "the program path (the 7th field) is filled in by the setup program; leave it empty");
    }
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
    d.line = e.line;
    if (!ParseInteger(e.key, d.number) || d.number < 1) ThrowBadInput(Where(e.line), "a diskette number is a number from 1");
    for (const KitDiskette& other : diskettes) {
      if (other.number == d.number) ThrowBadInput(Where(e.line), "diskette " + e.key + " is given twice");
    }
    CheckFieldCount(e.value, 2, Where(e.line), "label|path");
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
    CheckFieldCount(e.value, 5, Where(e.line), "source|destination id|archive|text|sign");
    if (!GetTextField(e.value, 0, source) || source.empty()) ThrowBadInput(Where(e.line), "no source file");
    if (!GetTextField(e.value, 1, destination)) ThrowBadInput(Where(e.line), "no destination id");
    f.source = ResolveSource(Trim(source), e.line);
    f.destination = DestinationField(Trim(destination), Where(e.line));
    GetTextField(e.value, 2, f.archive);
    f.archive = Trim(f.archive);
    GetTextField(e.value, 3, f.text);
    std::string flag;
    GetTextField(e.value, 4, flag);
    flag = Trim(flag);
    if (SameName(flag, "sign")) {
      f.sign = true;
    } else if (!flag.empty()) {
      ThrowBadInput(Where(e.line), "the fifth field is sign (sign the file with mkkit --sign's command) or empty, not '" +
                                       flag + "'");
    }
    if (!IsUsableFileName(f.name) || !UsableAsKey(f.name)) {
      ThrowBadInput(Where(e.line), "'" + f.name +
                                       "' cannot be a file name on the media or a key of the install log (no '=', no "
                                       "leading ';' or '[', no blanks around it)");
    }
    if (!f.archive.empty() && (!IsUsableFileName(f.archive) || !UsableAsKey(f.archive))) {
      ThrowBadInput(Where(e.line), "'" + f.archive + "' cannot be an archive name");
    }
    files.push_back(f);
  }
}

const KitGroup& CKitDescription::SetupGroup() const {
  if (setupGroup.empty()) return groups.front();
  return *std::find_if(groups.begin(), groups.end(), [&](const KitGroup& g) { return SameName(g.key, setupGroup); });
}

void CKitDescription::CheckGroups() const {
  const auto* section = document_.Find("groups");
  if (groups.empty()) {
    ThrowBadInput(section ? Where(section->line) : path_,
                  "[groups] names no group; the first one also installs the setup program");
  }
  if (!setupGroup.empty() &&
      std::none_of(groups.begin(), groups.end(), [&](const KitGroup& g) { return SameName(g.key, setupGroup); })) {
    ThrowBadInput(Where(setupGroupLine_), "setupgroup names no group of [groups]: '" + setupGroup + "'");
  }
  // An installation selects the groups of setup type 2: the setup program
  // must come with them, or the product's uninstall command names a
  // program that is not there.
  const KitGroup& g = SetupGroup();
  if (!g.setupType[1]) {
    ThrowBadInput(Where(setupGroup.empty() ? g.line : setupGroupLine_),
                  "group " + g.key + " installs the setup program but is not in setup type 2, which installations "
                  "select: the product could not be removed (setupgroup= of [kit] names another group)");
  }
}

void CKitDescription::CheckFiles() const {
  std::map<std::string, const KitFile*> mediaNames;    // lower-case name on the media -> first file
  std::map<std::string, const KitFile*> archiveFirst;  // lower-case archive -> its first member
  std::map<std::string, const KitFile*> installed;     // destination|lower-case name -> first file
  for (const auto& f : files) {
    const std::string where = Where(f.line);
    if (!IsKnownDestination(f.destination)) {
      ThrowBadInput(where, "unknown destination id " + std::to_string(f.destination));
    }
    if (f.source.size() >= MAX_PATH) {
      ThrowBadInput(where, "the source path is longer than " + std::to_string(MAX_PATH - 1) + " characters: " + f.source);
    }
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(f.source.c_str(), GetFileExInfoStandard, &data)) {
      ThrowBadInput(where, "missing source file " + f.source);
    }
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ThrowBadInput(where, "the source " + f.source + " is a folder, not a file");
    if (data.nFileSizeHigh != 0) ThrowBadInput(where, f.source + " is 4 GiB or larger");
    if (f.sign && ReadAuthenticode(f.source).state == AuthenticodeInfo::State::notImage) {
      ThrowBadInput(where, f.name + " is marked for signing, but " + f.source +
                               " is not a program or library (no PE image): Authenticode signs only those");
    }
    const std::string name = Lower(f.name);
    if (name == kSetupProgramName || name == "_setupx.ini" || name == CKitSeal::kFileName) {
      ThrowBadInput(where, f.name + " is a name mkkit gives its own files (the setup program is installed by itself, "
                                    "with the group setupgroup= of [kit] names)");
    }
    if (f.archive.empty()) {
      if (!mediaNames.emplace(name, &f).second) ThrowBadInput(where, "a second file named " + f.name + " on the media");
    } else {
      if (f.destination == -1) {
        ThrowBadInput(where, "a member of an archive must be installed (destination -1 is for plain files only)");
      }
      if (f.text.size() > kMaxMemberText) {
        ThrowBadInput(where, "the text of an archive member has at most " + std::to_string(kMaxMemberText) +
                                 " characters (its header holds no more)");
      }
      const auto [it, added] = archiveFirst.emplace(Lower(f.archive), &f);
      if (!added && !SameName(it->second->group, f.group)) {
        ThrowBadInput(where, "archive " + f.archive + " already belongs to group " + it->second->group);
      }
    }
    if (f.destination != -1) {
      const auto [it, added] = installed.emplace(std::to_string(f.destination) + "|" + name, &f);
      if (!added) {
        ThrowBadInput(where, "a second file installed as " + f.name + " into destination " +
                                 std::to_string(f.destination) + " (the first: " + Where(it->second->line) + ")");
      }
    }
  }
  for (const auto& [archive, first] : archiveFirst) {
    if (mediaNames.count(archive) || archive == kSetupProgramName || archive == "_setupx.ini" ||
        archive == CKitSeal::kFileName) {
      ThrowBadInput(Where(first->line), "archive " + first->archive + " has the name of another file on the media");
    }
  }
  for (const auto& t : targets) {
    const bool installs = std::any_of(files.begin(), files.end(), [&](const KitFile& f) {
      return f.destination != -1 && SameName(f.name, t.key);
    });
    if (!installs) ThrowBadInput(Where(t.line), "program item " + t.key + " names no file the kit installs");
  }
}

void CKitDescription::ReadCd(const CIniDocument::Section& s) {
  cd.line = s.line;
  const auto fileName = [&](const CIniDocument::Entry& e) {
    if (!IsUsableFileName(e.value)) {
      ThrowBadInput(Where(e.line), "'" + e.value + "' is not a file name of the menu folder (menu= of [cd])");
    }
    return e.value;
  };
  for (const auto& e : s.entries) {
    const std::string key = Lower(e.key);
    if (key == "menu") {
      cd.folder = ResolveSource(e.value, e.line);
      cd.folderLine = e.line;
    } else if (key == "launcher") {
      cd.launcher = ResolveSource(e.value, e.line);
      cd.launcherLine = e.line;
    } else if (key == "caption") {
      cd.caption = e.value;
    } else if (key == "bitmap") {
      cd.bitmap = fileName(e);
      cd.bitmapLine = e.line;
    } else if (key == "sound") {
      cd.sound = fileName(e);
      cd.soundLine = e.line;
    } else if (key == "centerbuttons") {
      int ignored = 0;
      if (!ParseInteger(e.value, ignored)) ThrowBadInput(Where(e.line), "centerbuttons is 0 (from the top) or 1 (centred)");
      cd.centerButtons = e.value;
    } else if (key == "registry") {
      const auto bar = e.value.find('|');
      cd.registryKey = Trim(e.value.substr(0, bar));
      cd.registryValue = bar == std::string::npos ? std::string() : Trim(e.value.substr(bar + 1));
      if (cd.registryKey.find('\\') == std::string::npos) {
        ThrowBadInput(Where(e.line), "registry is ROOT\\KEY|NAME, DATA (HKEY_LOCAL_MACHINE\\Software\\...)");
      }
    } else {
      ThrowBadInput(Where(e.line), "unknown key '" + e.key + "' in [cd]");
    }
  }
}

void CKitDescription::ReadCdButtons(const CIniDocument::Section& s) {
  for (const auto& e : s.entries) {
    KitCdButton b;
    b.label = e.key;
    b.line = e.line;
    // The label also names the button's section of autorun.inf.
    if (!UsableAsKey(b.label) || b.label.find(']') != std::string::npos) {
      ThrowBadInput(Where(e.line), "'" + b.label + "' cannot name a button: it must work as a section name of autorun.inf");
    }
    for (const KitCdButton& other : cd.buttons) {
      if (SameName(other.label, b.label)) ThrowBadInput(Where(e.line), "the button '" + b.label + "' is given twice");
    }
    CheckFieldCount(e.value, 3, Where(e.line), "command|bitmap|sound");
    GetTextField(e.value, 0, b.command);
    GetTextField(e.value, 1, b.bitmap);
    GetTextField(e.value, 2, b.sound);
    b.command = Trim(b.command);
    b.bitmap = Trim(b.bitmap);
    b.sound = Trim(b.sound);
    if (b.command.empty()) ThrowBadInput(Where(e.line), "the button '" + b.label + "' has no command");
    for (const std::string* name : {&b.bitmap, &b.sound}) {
      if (!name->empty() && !IsUsableFileName(*name)) {
        ThrowBadInput(Where(e.line), "'" + *name + "' is not a file name of the menu folder (menu= of [cd])");
      }
    }
    cd.buttons.push_back(b);
  }
}

std::vector<KitProduct::File> KitProduct::Files() const {
  std::vector<File> files;
  if (!identity.named) return files;
  files.push_back(File{identity.licence, licenceSource, licenceLine});
  if (!splashSource.empty()) files.push_back(File{identity.splash, splashSource, splashLine});
  for (std::size_t i = 0; i < billboardSources.size(); ++i) {
    files.push_back(File{identity.billboards[i], billboardSources[i], billboardsLine});
  }
  return files;
}

void CKitDescription::ReadProduct(const CIniDocument::Section& s) {
  CProductIdentity& id = product.identity;
  product.line = s.line;
  id.named = true;
  // The host product's menu lists Veltrane; another product joins it only
  // when it asks to.
  id.hostMenu = false;
  bool keyGiven = false;
  for (const auto& e : s.entries) {
    const std::string key = Lower(e.key);
    const auto checked = [&](const std::string& value) {
      const std::string fault = ProductValueFault(key, value);
      if (!fault.empty()) ThrowBadInput(Where(e.line), key + "=" + value + ": " + fault);
      return value;
    };
    if (key == "name") id.name = checked(e.value);
    else if (key == "version") id.version = checked(e.value);
    else if (key == "publisher") id.publisher = checked(e.value);
    else if (key == "url") id.url = checked(e.value);
    else if (key == "key") {
      id.key = checked(e.value);
      keyGiven = true;
    } else if (key == "program") {
      id.program = checked(e.value);
      product.programLine = e.line;
    } else if (key == "licence" || key == "license") {
      product.licenceSource = ResolveSource(Trim(e.value), e.line);
      product.licenceLine = e.line;
    } else if (key == "splash") {
      product.splashSource = ResolveSource(Trim(e.value), e.line);
      product.splashLine = e.line;
    } else if (key == "billboards") {
      product.billboardSources.clear();
      for (std::size_t from = 0;;) {
        const std::size_t bar = e.value.find('|', from);
        product.billboardSources.push_back(ResolveSource(Trim(e.value.substr(from, bar - from)), e.line));
        if (bar == std::string::npos) break;
        from = bar + 1;
      }
      if (product.billboardSources.size() > static_cast<std::size_t>(CProductIdentity::kMaxBillboards)) {
        ThrowBadInput(Where(e.line), "billboards names at most " + std::to_string(CProductIdentity::kMaxBillboards) +
                                         " pictures (picture|picture|picture)");
      }
      product.billboardsLine = e.line;
    } else if (key == "hostmenu") {
      if (SameName(e.value, "yes") || e.value == "1") id.hostMenu = true;
      else if (SameName(e.value, "no") || e.value == "0") id.hostMenu = false;
      else ThrowBadInput(Where(e.line), "hostmenu is yes or no");
    } else {
      ThrowBadInput(Where(e.line), "unknown key '" + e.key + "' in [product]");
    }
  }
  const auto require = [&](const std::string& value, const char* key, const char* what) {
    if (value.empty()) ThrowBadInput(Where(s.line), std::string("[product] has no ") + key + "= (" + what + ")");
  };
  require(id.name, "name", "the name every text of the setup program shows");
  require(id.version, "version", "DisplayVersion of the uninstall entry");
  require(id.publisher, "publisher", "Publisher of the uninstall entry");
  require(id.program, "program", "the installed program that App Paths and DisplayIcon name");
  require(product.licenceSource, "licence", "the text file the License Agreement page shows");
  if (!keyGiven) {
    id.key = ProductKeyFromName(id.name);
    if (id.key.empty()) {
      ThrowBadInput(Where(s.line), "the name '" + id.name + "' gives no product key: give one (key=)");
    }
  }
  id.licence = CProductIdentity::kLicenceFile;
  if (!product.splashSource.empty()) id.splash = CProductIdentity::kSplashFile;
  id.billboards.clear();
  for (std::size_t i = 0; i < product.billboardSources.size(); ++i) {
    id.billboards.push_back(CProductIdentity::BillboardFile(static_cast<int>(i)));
  }
}

void CKitDescription::CheckProduct() const {
  if (!product.identity.named) return;
  // App Paths and the uninstall entry's icon name the program in the
  // installation directory.
  const std::string& program = product.identity.program;
  if (std::none_of(files.begin(), files.end(),
                   [&](const KitFile& f) { return f.destination == 0 && SameName(f.name, program); })) {
    ThrowBadInput(Where(product.programLine),
                  "program " + program + " is no file the kit installs into destination 0, the installation "
                  "directory (App Paths and the uninstall entry name it there)");
  }
  for (const KitProduct::File& f : product.Files()) {
    const std::string where = Where(f.line);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(f.source.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      ThrowBadInput(where, "missing file " + f.source);
    }
    const bool licence = f.name == product.identity.licence;
    const std::uint64_t max = licence ? CProductIdentity::kMaxLicenceBytes : CProductIdentity::kMaxPictureBytes;
    if (data.nFileSizeHigh != 0 || data.nFileSizeLow > max) {
      ThrowBadInput(where, f.source + " is larger than " + std::to_string(max) + " bytes, the most the setup "
                                                                                "program shows");
    }
    if (licence) continue;
    std::ifstream in(f.source, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (DibOfBmpFile(bytes).empty()) {
      ThrowBadInput(where, f.source + " is no picture the setup program draws (an uncompressed or RLE .bmp "
                                      "file with a BITMAPINFOHEADER)");
    }
  }
  for (const KitFile& f : files) {
    for (const KitProduct::File& own : product.Files()) {
      if (f.archive.empty() && SameName(f.name, own.name)) {
        ThrowBadInput(Where(f.line), f.name + " is a name mkkit gives the files of [product] on the first diskette");
      }
    }
  }
}
