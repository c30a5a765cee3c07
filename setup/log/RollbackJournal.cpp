#include "setup/log/RollbackJournal.h"

#include <windows.h>

#include "setup/log/JournalFile.h"

namespace {

std::vector<std::string> SplitFields(std::string_view line) {
  std::vector<std::string> fields;
  for (std::size_t start = 0;;) {
    const std::size_t tab = line.find('\t', start);
    fields.emplace_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

// The number of fields after the kind that each kind has.
int FieldsOf(std::string_view kind) {
  if (kind == "begin" || kind == "void" || kind == "commit") return 0;
  if (kind == "dir" || kind == "new") return 1;
  if (kind == "file" || kind == "keep" || kind == "moved" || kind == "restart") return 2;
  if (kind == "key") return 3;
  if (kind == "value") return 4;
  return -1;
}

}  // namespace

CPathName CRollbackJournal::PathFor(const CPathName& log) {
  CPathName path = log;
  if (!path.IsEmpty()) path.SetExtension("rbk");
  return path;
}

bool CRollbackJournal::Create(const CPathName& log) noexcept {
  try {
    if (file_.valid() || log.IsEmpty()) return file_.valid();
    path_ = PathFor(log);
    file_.reset(::CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_.valid()) return false;
    if (Append({"begin"})) return true;
    Delete();
    return false;
  } catch (...) {
    return false;
  }
}

bool CRollbackJournal::Append(std::initializer_list<std::string_view> fields) noexcept {
  if (!file_.valid()) return false;
  try {
    std::string line;
    for (const std::string_view field : fields) {
      if (!FitsAJournalLine(field)) return false;
      if (!line.empty()) line += '\t';
      line += field;
    }
    line += "\r\n";
    DWORD written = 0;
    return ::WriteFile(file_.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
           written == line.size();
  } catch (...) {
    return false;
  }
}

void CRollbackJournal::Delete() noexcept {
  file_.reset();
  if (!path_.IsEmpty()) ::DeleteFileA(path_.c_str());
}

CRollbackRecord ParseRollbackJournal(std::string_view text) {
  CRollbackRecord record;
  record.found = true;
  for (std::size_t end; (end = text.find("\r\n")) != std::string_view::npos; text.remove_prefix(end + 2)) {
    std::vector<std::string> fields = SplitFields(text.substr(0, end));
    const int count = FieldsOf(fields.front());
    if (count < 0 || fields.size() != static_cast<std::size_t>(count) + 1) continue;
    if (fields.front() == "commit") {
      record.committed = true;
    } else if (fields.front() == "void") {
      if (!record.steps.empty()) record.steps.pop_back();
    } else if (fields.front() != "begin") {
      CRollbackStep step{std::move(fields.front()), {}};
      step.fields.assign(std::make_move_iterator(fields.begin() + 1), std::make_move_iterator(fields.end()));
      record.steps.push_back(std::move(step));
    }
  }
  return record;
}

CRollbackRecord ReadRollbackJournal(const CPathName& journal) noexcept {
  CRollbackRecord record;
  try {
    if (journal.IsEmpty()) return record;
    const std::string text = ReadJournalFile(journal, record.found);
    // One that cannot be read (or is not one of ours) undoes nothing.
    if (record.found) record = ParseRollbackJournal(text);
  } catch (...) {
    record.steps.clear();
  }
  return record;
}
