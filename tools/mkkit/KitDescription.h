// CKitDescription: what a kit holds, as its author wrote it in a kit
// description (an INI file, see the README's "Kit builder" section): the
// media, the records of the setup profile (destinations, groups, program
// items, diskette labels, program group) and, per group, the files with
// their sources on the build machine, their destination ids and whether
// they are packed into an archive. Load checks everything that can be
// checked without building; every complaint names the line.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "setup/archive/KitMedia.h"
#include "setup/profile/ProductIdentity.h"
#include "tools/mkkit/IniDocument.h"

struct KitDestination {
  std::int16_t id = 0;
  std::string name;
  std::int16_t parent = -1;  // none; written so into the profile (an empty field would read as 0 there)
  std::string path;
  int line = 0;
};

struct KitGroup {
  std::string key;
  std::string firstText;
  std::string secondText;
  int setupType[3] = {0, 0, 0};
  int line = 0;
};

struct KitTarget {
  std::string key;  // the file name of the program the item starts
  std::int16_t iconIndex = 0;
  std::int16_t secondNumber = 0;
  int minimized = 0;
  std::string description;
  std::string arguments;
  std::string iconFile;
  int line = 0;
};

struct KitDiskette {
  int number = 0;
  std::string label;
  std::string path;
  int line = 0;
};

// Compression of archive members: deflate unless that does not make the
// member smaller (auto), or always one method.
enum class KitMethod { automatic, stored, deflate };

// The CD's menu ([cd] and [cd.buttons]): what the kit builder writes into the
// root of a CD kit beside its numbered folders, the menu program and its
// autorun.inf. Paths are resolved; empty texts are not given.
struct KitCdButton {
  std::string label;    // the button's text, and its section in autorun.inf
  std::string command;  // "_setupx.exe [arguments]": the kit's setup program
  std::string bitmap;   // a pair name1/name2 of the menu folder
  std::string sound;
  int line = 0;
};

struct KitCdMenu {
  int line = 0;            // of [cd]; 0 when the description has none
  std::string folder;      // menu=: every file in it goes into the CD's root
  std::string launcher;    // launcher=: the menu program; empty: the one beside mkkit
  std::string caption;
  std::string bitmap;      // background picture, a file of the folder
  std::string sound;       // played when the menu opens
  std::string centerButtons;
  std::string registryKey;    // registry=KEY|NAME, DATA: the product is installed
  std::string registryValue;
  int folderLine = 0, launcherLine = 0, bitmapLine = 0, soundLine = 0;
  std::vector<KitCdButton> buttons;  // empty: Install and Exit
};

// [product]: the product the kit names (ProductIdentity.h), its files
// named as they lie on the first diskette, and their sources on the build
// machine. identity.named is false when the description has no [product].
struct KitProduct {
  CProductIdentity identity;
  std::string licenceSource;
  std::string splashSource;
  std::vector<std::string> billboardSources;
  int line = 0;
  int programLine = 0;
  int licenceLine = 0;
  int splashLine = 0;
  int billboardsLine = 0;
  // The files it puts on the first diskette: (name there, source, line).
  struct File {
    std::string name;
    std::string source;
    int line = 0;
  };
  std::vector<File> Files() const;
};

struct KitFile {
  std::string group;
  std::string name;     // the installed name; for a plain file also its name on the media
  std::string source;   // the file on the build machine
  std::int16_t destination = 0;
  std::string archive;  // empty: a plain file
  std::string text;     // carried into the profile (plain files) or the member's header
  bool sign = false;    // signed with mkkit --sign's command before it goes into the kit
  int line = 0;
};

class CKitDescription {
public:
  static constexpr std::uint64_t kDefaultCapacity = 1457664;
  static constexpr std::uint32_t kDefaultCluster = 512;

  // Reads and checks the description. defines gives the values of ${NAME}
  // in every value. Throws CKitException (bad input).
  void Load(const std::string& path, const std::map<std::string, std::string>& defines);

  // The name of the setup program on the media, and the most text the
  // header of an archive member holds.
  static constexpr const char* kSetupProgramName = "_setupx.exe";
  static constexpr std::size_t kMaxMemberText = 39;

  // Whether id names a destination: one of the description's, or a
  // built-in (-1 not installed, -2 Windows, -3 System, -4 temporary).
  bool IsKnownDestination(std::int16_t id) const;
  std::string Where(int line) const { return document_.Where(line); }
  // The group whose section lists the setup program (setupgroup of [kit],
  // else the first group).
  const KitGroup& SetupGroup() const;
  const std::string& GetPath() const noexcept { return path_; }
  // The -D names that no path of the description uses, and the line of a
  // section (for messages; the file when it is missing).
  std::vector<std::string> UnusedDefines() const;
  std::string WhereSection(const std::string& name) const;

  MediaKind media = MediaKind::diskettes;
  std::uint64_t capacity = kDefaultCapacity;
  std::uint32_t cluster = kDefaultCluster;
  KitMethod method = KitMethod::automatic;
  std::string setupProgram;  // empty: not named here
  std::string setupGroup;    // empty: the first group
  std::string programGroup;
  int mediaLine = 0;         // lines of keys of [kit], 0 when absent
  int capacityLine = 0;
  int setupLine = 0;
  std::vector<KitDestination> destinations;
  std::vector<KitGroup> groups;
  std::vector<KitTarget> targets;
  std::vector<KitDiskette> diskettes;
  std::vector<KitFile> files;
  KitCdMenu cd;
  KitProduct product;

private:
  std::string Expand(const std::string& text, int line) const;
  std::string ResolveSource(const std::string& text, int line) const;
  void ReadKit(const CIniDocument::Section& s);
  void ReadDestinations(const CIniDocument::Section& s);
  void ReadGroups(const CIniDocument::Section& s);
  void ReadTargets(const CIniDocument::Section& s);
  void ReadDiskettes(const CIniDocument::Section& s);
  void ReadFiles(const CIniDocument::Section& s, const std::string& group);
  void ReadCd(const CIniDocument::Section& s);
  void ReadCdButtons(const CIniDocument::Section& s);
  void ReadProduct(const CIniDocument::Section& s);
  void CheckProduct() const;
  void CheckGroups() const;
  void CheckFiles() const;

  std::string path_;
  std::string baseDir_;
  int setupGroupLine_ = 0;
  std::map<std::string, std::string> defines_;
  mutable std::set<std::string> usedDefines_;
  CIniDocument document_;
};
