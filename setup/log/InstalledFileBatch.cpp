#include "setup/log/InstalledFileBatch.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

#include "setup/log/InstallLog.h"

namespace {

// One "key=value" line of a section as the system gives it back; a line
// without '=' is a key without value.
struct Line {
  std::string key;
  std::string value;
  bool hasValue;
};

// The section's lines; none when the log or the section is missing. The
// buffer grows until the whole section fits.
std::vector<Line> ReadSection(const std::string& section, const CPathName& log) {
  std::vector<char> buffer(32 * 1024);
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length = ::GetPrivateProfileSectionA(section.c_str(), buffer.data(), size, log.c_str());
    if (length + 2 < size || buffer.size() >= (64u << 20)) {
      std::vector<Line> lines;
      for (const char* p = buffer.data(); p < buffer.data() + length && *p; p += std::strlen(p) + 1) {
        const char* equals = std::strchr(p, '=');
        if (equals) {
          lines.push_back(Line{std::string(p, equals), std::string(equals + 1), true});
        } else {
          lines.push_back(Line{p, std::string(), false});
        }
      }
      return lines;
    }
    buffer.resize(buffer.size() * 4);
  }
}

std::string Folded(std::string key) {
  if (!key.empty()) ::CharLowerBuffA(key.data(), static_cast<DWORD>(key.size()));
  return key;
}

}  // namespace

void CInstalledFileBatch::Add(const std::string& groupKey, const CPathName& finalPath, std::int16_t destinationId,
                              bool placed, bool replaced) {
  if (log_.IsEmpty()) return;  // no log: an empty name would fall back to the setup profile
  const CInstalledFileRecord record{destinationId, placed ? 1 : 0, replaced ? 1 : 0};
  waiting_.push_back(Record{groupKey, finalPath.GetFileName(), record.Format()});
  if (waiting_.size() >= kMaxWaiting) Flush();
}

void CInstalledFileBatch::Flush() noexcept {
  try {
    // Sections in the order in which their first waiting record came, so
    // that new sections are added to the log in the order single writes
    // would add them.
    std::unordered_set<std::string> flushed;
    for (auto it = waiting_.cbegin(); it != waiting_.cend(); ++it) {
      if (flushed.insert(it->section).second) FlushSection(it->section, it);
    }
  } catch (...) {
    // Out of memory: the log goes without these records.
  }
  waiting_.clear();
}

void CInstalledFileBatch::FlushSection(const std::string& section, std::vector<Record>::const_iterator from) {
  std::vector<Line> lines = ReadSection(section, log_);
  // A line without '=' (not one of ours) does not survive a section write
  // everywhere: such a section gets its records one by one.
  if (std::any_of(lines.begin(), lines.end(), [](const Line& line) { return !line.hasValue; })) {
    for (auto it = from; it != waiting_.cend(); ++it) {
      if (it->section == section) {
        ::WritePrivateProfileStringA(section.c_str(), it->key.c_str(), it->value.c_str(), log_.c_str());
      }
    }
    return;
  }
  // Keys are found without regard to letter case, as the system finds them.
  std::unordered_map<std::string, std::size_t> index;
  for (std::size_t i = 0; i < lines.size(); ++i) index.emplace(Folded(lines[i].key), i);
  for (auto it = from; it != waiting_.cend(); ++it) {
    if (it->section != section) continue;
    const auto [where, added] = index.emplace(Folded(it->key), lines.size());
    if (added) {
      lines.push_back(Line{it->key, it->value, true});
    } else {
      lines[where->second].value = it->value;
      lines[where->second].hasValue = true;
    }
  }
  std::string text;
  for (const Line& line : lines) {
    text += line.key;
    if (line.hasValue) text += "=" + line.value;
    text += '\0';
  }
  text += '\0';
  ::WritePrivateProfileSectionA(section.c_str(), text.c_str(), log_.c_str());
}
