#include "setup/log/InstallJournal.h"

#include <windows.h>

#include <string_view>
#include <unordered_map>
#include <vector>

#include "setup/profile/DestinationTable.h"
#include "setup/profile/ProfileValueMerge.h"

namespace {

// A journal larger than this was not written by a run of this program.
constexpr DWORD kMaxJournalSize = 64u << 20;

// The first field of a line that names a file being made.
constexpr char kFileBegun[] = "+";

bool FitsALine(std::string_view field) { return field.find_first_of("\t\r\n") == std::string_view::npos; }

// What the log can hold as a section name and as a key, read back as the
// same text.
bool IsSectionName(std::string_view name) {
  return !name.empty() && name.find(']') == std::string_view::npos && name.front() != ' ' && name.back() != ' ';
}
bool IsKeyName(std::string_view key) {
  return !key.empty() && key.find('=') == std::string_view::npos && key.front() != ';' && key.front() != '[' &&
         key.front() != ' ' && key.back() != ' ';
}

std::string ReadWhole(const CPathName& path, bool& found) {
  found = false;
  const CHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return {};
  found = true;
  const DWORD size = ::GetFileSize(file.get(), nullptr);
  if (size == INVALID_FILE_SIZE || size > kMaxJournalSize) return {};
  std::string text(size, '\0');
  DWORD read = 0;
  if (size != 0 && !::ReadFile(file.get(), text.data(), size, &read, nullptr)) return {};
  text.resize(read);
  return text;
}

// Deletes the file a run was making when it ended, when it lies where the
// product's files go: directly in a directory of the log's destinations
// (the built-in ones included). A journal is no more trusted than the log.
void DeleteFileBegun(const CPathName& log, const CPathName& file) {
  const std::string name = file.GetFileName();
  if (name.empty() || name == "." || name == ".." || name.find(':') != std::string::npos || file.IsTooLong()) return;
  CDestinationTable destinations;
  try {
    destinations.Load(log);
    destinations.Resolve();
  } catch (...) {
    // Destinations that cannot be read: only the built-in ones count.
  }
  for (const auto& d : destinations) {
    if (d->path.IsEmpty()) continue;
    CPathName where = d->path;
    where.SetFileName(name);
    if (::lstrcmpiA(where.c_str(), file.c_str()) == 0) {
      where.Delete(true);
      return;
    }
  }
}

}  // namespace

CPathName CInstallJournal::PathFor(const CPathName& log) {
  CPathName path = log;
  if (!path.IsEmpty()) path.SetExtension("jnl");
  return path;
}

CInstallJournal::~CInstallJournal() {
  if (!file_.valid()) return;
  file_.reset();
  ::DeleteFileA(path_.c_str());
}

bool CInstallJournal::Open(const CPathName& log) noexcept {
  try {
    if (file_.valid() || log.IsEmpty()) return file_.valid();
    RecoverInstallJournal(log);
    path_ = PathFor(log);
    file_.reset(::CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    return file_.valid();
  } catch (...) {
    return false;
  }
}

void CInstallJournal::Append(const std::string& section, const std::string& key, const std::string& value) noexcept {
  if (!file_.valid() || !FitsALine(section) || !FitsALine(key) || !FitsALine(value)) return;
  try {
    const std::string line = section + '\t' + key + '\t' + value + "\r\n";
    DWORD written = 0;
    ::WriteFile(file_.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  } catch (...) {
    // Out of memory: the record waits in the batch only.
  }
}

void CInstallJournal::AppendFileBegun(const CPathName& path) noexcept {
  if (!path.IsEmpty()) Append(kFileBegun, path.GetPath(), {});
}

void RecoverInstallJournal(const CPathName& log) noexcept {
  try {
    const CPathName journal = CInstallJournal::PathFor(log);
    if (journal.IsEmpty()) return;
    bool found = false;
    const std::string text = ReadWhole(journal, found);
    if (!found) return;
    // Sections in the order of their first record, values in file order.
    std::vector<std::string> order;
    std::unordered_map<std::string, ProfileValues> sections;
    std::string begun;  // the file named last, while no record followed
    std::string_view rest = text;
    for (std::size_t end; (end = rest.find("\r\n")) != std::string_view::npos; rest.remove_prefix(end + 2)) {
      const std::string_view line = rest.substr(0, end);
      const std::size_t tab1 = line.find('\t');
      const std::size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
      if (tab2 == std::string_view::npos || line.find('\t', tab2 + 1) != std::string_view::npos) continue;
      const std::string_view section = line.substr(0, tab1);
      const std::string_view key = line.substr(tab1 + 1, tab2 - tab1 - 1);
      if (section == kFileBegun) {
        begun = key;
        continue;
      }
      if (!IsSectionName(section) || !IsKeyName(key)) continue;
      begun.clear();
      auto [where, added] = sections.try_emplace(std::string(section));
      if (added) order.push_back(where->first);
      where->second.emplace_back(std::string(key), std::string(line.substr(tab2 + 1)));
    }
    bool written = true;
    for (const std::string& section : order) written = MergeProfileValues(section, sections[section], log.GetPath()) && written;
    if (!begun.empty()) DeleteFileBegun(log, CPathName(begun));
    if (written) ::DeleteFileA(journal.c_str());
  } catch (...) {
    // Out of memory: the journal stays for the next run.
  }
}
