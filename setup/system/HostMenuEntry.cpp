#include "setup/system/HostMenuEntry.h"

#include <cstddef>
#include <cstring>
#include <iterator>
#include <string>

#include "framework/FormatText.h"
#include "framework/ScopedHandle.h"
#include "setup/system/KeyTree.h"
#include "framework/JoinText.h"

namespace {

constexpr const char* kHostVersionKeys[] = {
    "Software\\Tarvo\\Tarvo for Windows\\8.0",
    "Software\\Tarvo\\Tarvo for Windows\\7.0",
};
constexpr char kOtherApps[] = "OtherApps";

constexpr std::size_t kLaunchCommandSize = 512;  // with the terminator
constexpr std::size_t kMenuTextLength = 63;

// text cut to at most limit bytes without splitting a double-byte character.
std::string CutText(const std::string& text, std::size_t limit) {
  if (text.size() <= limit) return text;
  const char* const begin = text.c_str();
  const char* end = begin;
  for (const char* next = ::CharNextA(end); next != end && static_cast<std::size_t>(next - begin) <= limit;
       next = ::CharNextA(end)) {
    end = next;
  }
  return std::string(begin, end);
}

bool SetDefaultValue(HKEY key, const char* text) {
  return ::RegSetValueA(key, nullptr, REG_SZ, text, static_cast<DWORD>(std::strlen(text))) == ERROR_SUCCESS;
}

}  // namespace

std::string HostLaunchCommand(const CPathName& programPath) {
  char command[kLaunchCommandSize];
  FormatText(command, sizeof command, "\"%s\" -delete", programPath.c_str());
  return command;
}

std::string HostMenuText(const std::string& description) {
  // The host's menu texts hold 63 characters: a longer description is cut
  // rather than leaving the product out of the menu.
  return CutText("$STAT>" + description, kMenuTextLength);
}

bool RegisterHostMenuEntry(HKEY root, const CPathName& programPath, const CTargetTable& targets,
                           const std::string& entryName) {
  // Without a name the values would land on OtherApps itself.
  if (entryName.empty()) return false;
  const std::string launch = HostLaunchCommand(programPath);
  const CTarget* const item = targets.Find(programPath.GetFileName());
  if (item == nullptr) return false;
  const std::string menu = HostMenuText(item->description);

  CRegistryKeyHandle host;
  for (const char* version : kHostVersionKeys) {
    HKEY opened = nullptr;
    if (::RegOpenKeyA(root, version, &opened) == ERROR_SUCCESS) {
      host.reset(opened);
      break;
    }
  }
  if (!host) return false;

  const auto create = [](HKEY parent, const char* name, CRegistryKeyHandle& key) {
    HKEY created = nullptr;
    if (::RegCreateKeyA(parent, name, &created) != ERROR_SUCCESS) return false;
    key.reset(created);
    return true;
  };
  CRegistryKeyHandle otherApps;
  CRegistryKeyHandle entry;
  if (!create(host.get(), kOtherApps, otherApps) || !create(otherApps.get(), entryName.c_str(), entry)) return false;

  const struct {
    const char* name;
    const char* value;
  } values[] = {{"ActionID", "0"}, {"Launch", launch.c_str()}, {"Menu", menu.c_str()},
                {"MenuEnable", "1"}, {"MenuSeparator", "1"}, {"ReadFile", "2"}};
  CRegistryKeyHandle subKeys[std::size(values)];
  for (std::size_t i = 0; i < std::size(values); ++i) {
    if (!create(entry.get(), values[i].name, subKeys[i])) return false;
  }
  bool written = true;
  for (std::size_t i = 0; i < std::size(values); ++i) {
    written = SetDefaultValue(subKeys[i].get(), values[i].value) && written;
  }
  return written;
}

std::string HostMenuEntryKey(HKEY root, const std::string& entryName) {
  if (entryName.empty()) return {};
  for (const char* version : kHostVersionKeys) {
    HKEY opened = nullptr;
    if (::RegOpenKeyA(root, version, &opened) != ERROR_SUCCESS) continue;
    const CRegistryKeyHandle host(opened);
    const std::string otherApps = JoinText({version, "\\", kOtherApps});
    HKEY list = nullptr;
    if (::RegOpenKeyA(root, otherApps.c_str(), &list) != ERROR_SUCCESS) return otherApps;
    const CRegistryKeyHandle listKey(list);
    return JoinText({otherApps, "\\", entryName});
  }
  return {};
}

void UnregisterHostMenuEntry(HKEY root, const std::string& entryName) {
  if (entryName.empty()) return;
  for (const char* version : kHostVersionKeys) {
    HKEY opened = nullptr;
    const std::string otherApps = JoinText({version, "\\", kOtherApps});
    if (::RegOpenKeyExA(root, otherApps.c_str(), 0, KEY_ALL_ACCESS, &opened) != ERROR_SUCCESS) continue;
    const CRegistryKeyHandle key(opened);
    DeleteKeyTree(key.get(), entryName.c_str());
  }
}
