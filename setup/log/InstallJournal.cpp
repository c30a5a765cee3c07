#include "setup/log/InstallJournal.h"

#include <windows.h>

#include <string_view>

#include "setup/log/JournalFile.h"
#include "setup/profile/IniText.h"
#include "framework/JoinText.h"

namespace {

// The first field of a line that names a file being made.
constexpr char kFileBegun[] = "+";
// The second field of a line that names a save's new file (its first is
// empty, which no section is).
constexpr char kSave[] = "save";

}  // namespace

CPathName CInstallJournal::PathFor(const CPathName& log) {
  CPathName path = log;
  if (!path.IsEmpty()) path.SetExtension("jnl");
  return path;
}

CInstallJournal::~CInstallJournal() { Close(); }

void CInstallJournal::Close() noexcept {
  if (!file_.valid()) return;
  file_.reset();
  ::DeleteFileA(path_.c_str());
}

void CInstallJournal::Release() noexcept { file_.reset(); }

bool CInstallJournal::Open(const CPathName& log) noexcept {
  try {
    if (file_.valid() || log.IsEmpty()) return file_.valid();
    path_ = PathFor(log);
    file_.reset(::CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file_.valid() && ::SetFilePointer(file_.get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER &&
        ::GetLastError() != NO_ERROR) {
      file_.reset();
    }
    return file_.valid();
  } catch (...) {
    return false;
  }
}

void CInstallJournal::AppendLine(const std::string& line) noexcept {
  DWORD written = 0;
  ::WriteFile(file_.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

void CInstallJournal::Append(const std::string& section, const std::string& key, const std::string& value) noexcept {
  if (!file_.valid() || !FitsAJournalLine(section) || !FitsAJournalLine(key) || !FitsAJournalLine(value)) return;
  try {
    AppendLine(JoinText({section, "\t", key, "\t", value, "\r\n"}));
  } catch (...) {
    // Out of memory: the value is in the log in memory only.
  }
}

void CInstallJournal::AppendFileBegun(const CPathName& path) noexcept { Append(kFileBegun, path.GetPath(), {}); }

void CInstallJournal::AppendSave(const CPathName& path) noexcept { Append({}, kSave, path.GetPath()); }

void CInstallJournal::Clear() noexcept {
  if (!file_.valid()) return;
  ::SetFilePointer(file_.get(), 0, nullptr, FILE_BEGIN);
  ::SetEndOfFile(file_.get());
}

CJournalContents ReadInstallJournal(const CPathName& log) noexcept {
  CJournalContents contents;
  try {
    const CPathName journal = CInstallJournal::PathFor(log);
    if (journal.IsEmpty()) return contents;
    const std::string text = ReadJournalFile(journal, contents.found);
    std::string_view rest = text;
    for (std::size_t end; (end = rest.find("\r\n")) != std::string_view::npos; rest.remove_prefix(end + 2)) {
      const std::string_view line = rest.substr(0, end);
      const std::size_t tab1 = line.find('\t');
      const std::size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
      if (tab2 == std::string_view::npos || line.find('\t', tab2 + 1) != std::string_view::npos) continue;
      const std::string_view section = line.substr(0, tab1);
      const std::string_view key = line.substr(tab1 + 1, tab2 - tab1 - 1);
      const std::string_view value = line.substr(tab2 + 1);
      if (section == kFileBegun) {
        contents.fileBegun = key;
        continue;
      }
      if (section.empty() && key == kSave) {
        if (!value.empty()) contents.saves.emplace_back(value);
        continue;
      }
      if (!CIniText::IsSectionName(section) || !CIniText::IsKeyName(key)) continue;
      contents.fileBegun.clear();
      contents.values.emplace_back(std::string(section), std::pair{std::string(key), std::string(value)});
    }
  } catch (...) {
    // Out of memory: what was read so far.
  }
  return contents;
}
