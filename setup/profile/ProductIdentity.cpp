#include "setup/profile/ProductIdentity.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <optional>

#include "framework/Resources.h"
#include "setup/profile/IniText.h"
#include "setup/paths/UsableFileName.h"
#include "setup/profile/InstallProfileException.h"
#include "setup/resources/ResourceIds.h"
#include "framework/JoinText.h"

namespace {

constexpr std::string_view kBuiltinName = "Veltrane";
constexpr char kBuiltinLog[] = "veltapp.log";

bool SameLettersAs(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

bool IsProductKeyCharacter(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.';
}

// Printable text for the texts and the registry: no control character,
// no '%', at most max characters, not empty, no blank at either end.
std::string ProductTextFault(std::string_view value, std::size_t max) {
  if (value.empty()) return "it is empty";
  if (value.size() > max) return "it is longer than " + std::to_string(max) + " characters";
  if (std::any_of(value.begin(), value.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; })) {
    return "it holds a control character";
  }
  if (value.find('%') != std::string_view::npos) return "it holds '%', which the messages would take for a format";
  return {};
}

}  // namespace

bool IsProductFileName(std::string_view name) {
  if (name.empty() || name.size() > CProductIdentity::kMaxNameLength) return false;
  if (name.front() == ' ' || name.front() == '.') return false;
  return IsUsableFileName(name);
}

bool IsProductKey(std::string_view key) {
  if (key.empty() || key.size() > CProductIdentity::kMaxNameLength) return false;
  if (!std::all_of(key.begin(), key.end(), IsProductKeyCharacter)) return false;
  if (key.front() == '-' || key.front() == '.' || !IsUsableFileName(key)) return false;
  // The built-in product's Uninstall entry, lock and log.
  return !SameLettersAs(key, kBuiltinName) && !SameLettersAs(key, "veltapp");
}

std::string ProductKeyFromName(std::string_view name) {
  std::string key;
  for (char c : name) {
    if (IsProductKeyCharacter(c) && key.size() < CProductIdentity::kMaxNameLength) key += c;
  }
  // Leading characters a key may not begin with go, as do trailing dots.
  key.erase(0, std::min(key.find_first_not_of("-."), key.size()));
  while (!key.empty() && key.back() == '.') key.pop_back();
  return IsProductKey(key) ? key : std::string();
}

std::string ProductValueFault(std::string_view key, std::string_view value) {
  if (SameLettersAs(key, "name") || SameLettersAs(key, "publisher")) return ProductTextFault(value, CProductIdentity::kMaxNameLength);
  if (SameLettersAs(key, "version")) return ProductTextFault(value, CProductIdentity::kMaxVersionLength);
  if (SameLettersAs(key, "key")) {
    if (IsProductKey(value)) return {};
    return "a key is 1 to " + std::to_string(CProductIdentity::kMaxNameLength) +
           " letters, digits, '_', '-' or '.', begins with a letter, a digit or '_', does not end in '.', is no "
           "device name (CON, NUL, COM1, ...) and not Veltrane's own (Veltrane, veltapp): it names a registry key "
           "and a file";
  }
  if (SameLettersAs(key, "program") || SameLettersAs(key, "licence") || SameLettersAs(key, "splash")) {
    return IsProductFileName(value) ? std::string() : "it is not a plain file name";
  }
  if (SameLettersAs(key, "billboards")) {
    std::size_t count = 1;
    for (std::size_t from = 0, bar; (bar = value.find('|', from)) != std::string_view::npos; from = bar + 1) ++count;
    if (count > CProductIdentity::kMaxBillboards) {
      return "at most " + std::to_string(CProductIdentity::kMaxBillboards) + " pictures";
    }
    for (std::size_t from = 0;;) {
      const std::size_t bar = value.find('|', from);
      if (!IsProductFileName(value.substr(from, bar - from))) return "it names something that is not a plain file name";
      if (bar == std::string_view::npos) return {};
      from = bar + 1;
    }
  }
  if (SameLettersAs(key, "url")) {
    if (!value.empty() && !value.starts_with("http://") && !value.starts_with("https://")) {
      return "a web address begins with http:// or https://";
    }
    const std::string fault = value.empty() ? std::string() : ProductTextFault(value, CProductIdentity::kMaxUrlLength);
    return fault.empty() && value.find(' ') != std::string_view::npos ? "a web address holds no blank" : fault;
  }
  if (SameLettersAs(key, "hostmenu")) return value == "0" || value == "1" ? std::string() : "it is 0 or 1";
  return {};
}

std::string CProductIdentity::BillboardFile(int index) { return "_board" + std::to_string(index + 1) + ".bmp"; }

CProductIdentity CProductIdentity::Builtin() {
  CProductIdentity product;
  product.name = std::string(kBuiltinName);
  product.version = "2.0";
  product.publisher = "Tarvo Inc.";
  product.key = LoadResourceString(IDS_PRODUCT_KEY_NAME);
  product.program = LoadResourceString(IDS_PROGRAM_FILE);
  return product;
}

CProductIdentity CProductIdentity::Read(const CIniText& text) {
  if (!text.HasSection(kSection)) return Builtin();
  CProductIdentity product;
  product.named = true;
  const auto value = [&](const char* key, bool required) {
    const std::optional<std::string_view> found = text.Find(kSection, key);
    const std::string v = found ? std::string(*found) : std::string();
    // A value left out is checked as given empty when the product needs it.
    if (!found && !required) return v;
    if (std::string fault = ProductValueFault(key, v); !fault.empty()) {
      CInstallProfileException e(CInstallProfileException::badProduct);
      e.SetSubject(JoinText({"[", kSection, "] ", key, "=", v, ": ", fault}));
      throw e;
    }
    return v;
  };
  product.name = value("name", true);
  product.version = value("version", true);
  product.publisher = value("publisher", true);
  product.program = value("program", true);
  product.url = value("url", false);
  product.licence = value("licence", true);
  product.splash = value("splash", false);
  const std::string boards = value("billboards", false);
  for (std::size_t from = 0; !boards.empty();) {
    const std::size_t bar = boards.find('|', from);
    product.billboards.push_back(boards.substr(from, bar - from));
    if (bar == std::string::npos) break;
    from = bar + 1;
  }
  product.hostMenu = value("hostmenu", false) == "1";
  product.key = text.Find(kSection, "key") ? value("key", true) : ProductKeyFromName(product.name);
  if (product.key.empty()) value("key", true);  // names why the name gives no key
  return product;
}

std::vector<std::pair<std::string, std::string>> CProductIdentity::Records() const {
  if (!named) return {};
  std::vector<std::pair<std::string, std::string>> records{
      {"name", name}, {"version", version}, {"publisher", publisher},
      {"key", key},   {"program", program}, {"licence", licence}};
  const auto add = [&](const char* k, const std::string& v) {
    if (!v.empty()) records.emplace_back(k, v);
  };
  add("url", url);
  add("splash", splash);
  std::string boards;
  for (const std::string& b : billboards) boards += (boards.empty() ? "" : "|") + b;
  add("billboards", boards);
  records.emplace_back("hostmenu", hostMenu ? "1" : "0");
  return records;
}

std::string CProductIdentity::InText(std::string text) const {
  if (!named) return text;
  for (std::size_t at = 0; (at = text.find(kBuiltinName, at)) != std::string::npos; at += name.size()) {
    text.replace(at, kBuiltinName.size(), name);
  }
  return text;
}

std::string CProductIdentity::LogFileName() const { return named ? key + ".log" : kBuiltinLog; }
