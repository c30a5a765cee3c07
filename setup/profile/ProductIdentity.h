// CProductIdentity: which product a kit installs. A kit names its product
// in the [Product] section of its setup profile: the name its texts show,
// its version and publisher, the key that names its registry entries, its
// install log and its lock, the program that App Paths and the uninstall
// entry's icon name, its web address, whether the host product's menu
// gets an entry, and the licence text and pictures it brings on its first
// diskette. A profile without the section installs Veltrane, with the
// texts, keys, log and pictures of the program's own resources.
//
// The section comes from a kit, which can be made by hand, and goes into
// the install log, which anyone may edit: every value is checked when it
// is read, and the key and the file names only ever hold characters that
// are safe in a registry key, a file name and a kernel object's name.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CIniText;

class CProductIdentity {
public:
  static constexpr char kSection[] = "Product";
  static constexpr std::size_t kMaxNameLength = 64;   // name, publisher, key, file names
  static constexpr std::size_t kMaxVersionLength = 32;
  static constexpr std::size_t kMaxUrlLength = 254;
  static constexpr int kMaxBillboards = 3;
  // The most a kit's licence holds (what the multi-line edit of Windows 95
  // shows), and a picture.
  static constexpr std::size_t kMaxLicenceBytes = 60000;
  static constexpr std::size_t kMaxPictureBytes = 16u << 20;
  // The names the files of [Product] have on the kit's first diskette.
  static constexpr char kLicenceFile[] = "_license.txt";
  static constexpr char kSplashFile[] = "_splash.bmp";
  // "_board1.bmp" to "_board3.bmp".
  static std::string BillboardFile(int index);

  // Veltrane, as the program's string table names it.
  static CProductIdentity Builtin();
  // The identity [Product] of text gives (the setup profile, or the
  // install log of a removal); Builtin() when text has no such section.
  // Throws CInstallProfileException (badProduct) naming the key and what
  // is wrong with its value; a missing key is taken from the name.
  static CProductIdentity Read(const CIniText& text);
  // The [Product] section that gives this identity back through Read, in
  // the order mkkit writes it; empty for the built-in product, whose
  // profile and log have none.
  std::vector<std::pair<std::string, std::string>> Records() const;

  // text with every "Veltrane" replaced by the product's name; text as it
  // stands for the built-in product.
  std::string InText(std::string text) const;
  // The name the uninstall entry and the status report give: the key for
  // the built-in product (which has always shown it), else the name.
  std::string DisplayName() const { return named ? name : key; }
  // The name of the product's install log in the Windows directory:
  // "veltapp.log" for the built-in product, else the key and ".log".
  std::string LogFileName() const;

  // Whether a [Product] section named the product.
  bool named = false;
  std::string name;
  std::string version;
  std::string publisher;
  std::string key;      // the Uninstall subkey, the install log's name, the run's lock
  std::string program;  // the installed program (a plain file name)
  std::string url;      // URLInfoAbout; empty: none
  bool hostMenu = true;
  // Files beside the profile (plain names, see the constants above). A
  // named product has a licence, and shows no splash or billboards but
  // its own (empty: none); the built-in one shows the program's own.
  std::string licence;
  std::string splash;
  std::vector<std::string> billboards;
};

// A product key: 1 to kMaxNameLength characters of A-Z, a-z, 0-9, '_',
// '-' and '.', beginning with a letter, a digit or '_', not ending in '.',
// no device name (CON, NUL, COM1, ...) and neither of the built-in
// product's names ("Veltrane", "veltapp"), in any letter case.
bool IsProductKey(std::string_view key);
// A file name of the kit that [Product] may name: a plain name of at most
// kMaxNameLength characters, no path, drive, wildcard, quote or control
// character, no blank or '.' at either end, no device name.
bool IsProductFileName(std::string_view name);
// The key a product of that name gets when it names none: its letters,
// digits, '_', '-' and '.' ("Korvel Atlas" gives "KorvelAtlas"), cut to
// kMaxNameLength; empty when that leaves no product key.
std::string ProductKeyFromName(std::string_view name);
// Why value cannot stand under key in [Product]; empty when it can (and
// for keys this identity does not know). name, version and publisher are
// printable text of their length without '%' (they are put into formatted
// messages); key and the file names follow the rules above; url begins
// with http:// or https://; hostmenu is 0 or 1. Read and the kit builder
// both check by it.
std::string ProductValueFault(std::string_view key, std::string_view value);
