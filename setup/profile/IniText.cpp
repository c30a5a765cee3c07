#include "setup/profile/IniText.h"

#include <windows.h>

#include <algorithm>
#include <limits>
#include <new>

#include "framework/HashIndex.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\x1a'; }

std::string_view TrimmedLeft(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  return text.substr(i);
}

std::string_view TrimmedRight(std::string_view text) {
  std::size_t n = text.size();
  while (n > 0 && IsBlank(text[n - 1])) --n;
  return text.substr(0, n);
}

std::string_view Trimmed(std::string_view text) { return TrimmedRight(TrimmedLeft(text)); }

// The name of a section header line, or nothing when the line is none.
std::optional<std::string_view> HeaderName(std::string_view line) {
  line = TrimmedLeft(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  const std::size_t close = line.rfind(']');
  if (close == std::string_view::npos || close == 0) return std::nullopt;
  return line.substr(1, close - 1);
}

// Index tables are kept at most half full.
std::size_t TableSizeFor(std::size_t count) {
  std::size_t size = 16;
  while (size < 2 * count + 2) size *= 2;
  return size;
}

}  // namespace

std::string CIniText::Folded(std::string_view name) {
  std::string folded(name);
  if (!folded.empty()) ::CharLowerBuffA(folded.data(), static_cast<DWORD>(folded.size()));
  return folded;
}

bool CIniText::SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  if (a == b) return true;
  return Folded(a) == Folded(b);
}

std::uint32_t CIniText::Hash(std::string_view key) {
  // FNV-1a over the folded name.
  return Fnv1aHash(Folded(key));
}

CIniText::Parsed CIniText::Parse(std::string_view line) {
  Parsed parsed;
  line = TrimmedLeft(line);
  if (line.empty() || line.front() == ';') return parsed;
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return parsed;
  parsed.key = TrimmedRight(line.substr(0, equals));
  parsed.value = Trimmed(line.substr(equals + 1));
  parsed.isKey = !parsed.key.empty();
  return parsed;
}

std::string_view CIniText::Unquoted(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

void CIniText::AppendLine(std::string& out, std::string_view line) {
  out.append(line);
  out.append("\r\n");
}

bool CIniText::IsKeyName(std::string_view key) {
  return !key.empty() && key.find_first_of("=\r\n") == std::string_view::npos && key.front() != ';' &&
         key.front() != '[' && !IsBlank(key.front()) && !IsBlank(key.back());
}

bool CIniText::IsSectionName(std::string_view section) {
  return !section.empty() && section.find_first_of("]\r\n") == std::string_view::npos && !IsBlank(section.front()) &&
         !IsBlank(section.back());
}

CIniText::CIniText(std::string text) : text_(std::move(text)) {
  // Beyond what a 32-bit process holds (and what the line offsets count).
  if (text_.size() > std::numeric_limits<std::uint32_t>::max() / 2) throw std::bad_alloc();
  // The lines before the first header belong to no section.
  sections_.emplace_back();
  std::size_t pos = 0;
  const std::size_t end = text_.size();
  while (pos < end) {
    std::size_t stop = pos;
    while (stop < end && text_[stop] != '\r' && text_[stop] != '\n') ++stop;
    const std::string_view raw = std::string_view(text_).substr(pos, stop - pos);
    if (const std::optional<std::string_view> name = HeaderName(raw)) {
      Section& s = sections_.emplace_back();
      s.header = std::string(raw);
      s.name = std::string(*name);
      s.hasHeader = true;
    } else {
      Line line;
      line.begin = static_cast<std::uint32_t>(pos);
      line.length = static_cast<std::uint32_t>(stop - pos);
      const Parsed parsed = Parse(raw);
      if (parsed.isKey) {
        line.kind = LineKind::key;
        line.hash = Hash(parsed.key);
      }
      sections_.back().lines.push_back(line);
    }
    // One line end: CR LF, LF or CR.
    if (stop < end && text_[stop] == '\r') {
      ++stop;
      if (stop < end && text_[stop] == '\n') ++stop;
    } else if (stop < end) {
      ++stop;
    }
    pos = stop;
  }
  for (Section& s : sections_) Reindex(s);
  ReindexSections();
}

void CIniText::IndexSection(std::size_t s) {
  const std::string_view name = sections_[s].name;
  std::uint32_t& entry = sectionIndex_[FindHashSlot(
      sectionIndex_, Hash(name), [&](std::uint32_t other) { return SameName(sections_[other].name, name); })];
  if (entry == 0) entry = static_cast<std::uint32_t>(s + 1);  // else an earlier one answers
}

void CIniText::ReindexSections() {
  sectionIndex_.assign(TableSizeFor(sections_.size()), 0);
  for (std::size_t s = 0; s < sections_.size(); ++s) {
    if (sections_[s].hasHeader) IndexSection(s);
  }
}

const CIniText::Section* CIniText::FindSection(std::string_view name) const {
  if (sectionIndex_.empty()) return nullptr;
  const std::uint32_t entry = sectionIndex_[FindHashSlot(
      sectionIndex_, Hash(name), [&](std::uint32_t s) { return SameName(sections_[s].name, name); })];
  return entry == 0 ? nullptr : &sections_[entry - 1];
}

CIniText::Section* CIniText::FindSection(std::string_view name) {
  return const_cast<Section*>(static_cast<const CIniText*>(this)->FindSection(name));
}

CIniText::Section& CIniText::AddSection(std::string_view name) {
  if (sections_.empty()) sections_.emplace_back();
  Section s;
  s.name = std::string(name);
  s.header = "[" + s.name + "]";
  s.hasHeader = true;
  sections_.push_back(std::move(s));
  Reindex(sections_.back());
  if (2 * sections_.size() + 2 > sectionIndex_.size()) {
    ReindexSections();
  } else {
    IndexSection(sections_.size() - 1);
  }
  return sections_.back();
}

std::size_t CIniText::FindLine(const Section& s, std::string_view key, std::uint32_t hash) const {
  if (s.index.empty()) return std::string_view::npos;
  const std::uint32_t entry = s.index[FindHashSlot(s.index, hash, [&](std::uint32_t i) {
    const Line& line = s.lines[i];
    return line.hash == hash && SameName(Parse(Raw(line)).key, key);
  })];
  return entry == 0 ? std::string_view::npos : entry - 1;
}

void CIniText::Index(Section& s, std::size_t lineIndex) {
  if (2 * (s.indexed + 1) + 2 > s.index.size()) {
    Reindex(s);  // grows the table; takes lineIndex in when it is a key line already there
    return;
  }
  const Line& line = s.lines[lineIndex];
  const std::string_view key = Parse(Raw(line)).key;
  std::uint32_t& entry = s.index[FindHashSlot(s.index, line.hash, [&](std::uint32_t i) {
    const Line& other = s.lines[i];
    return other.hash == line.hash && SameName(Parse(Raw(other)).key, key);
  })];
  if (entry != 0) return;  // the first line answers
  entry = static_cast<std::uint32_t>(lineIndex + 1);
  ++s.indexed;
}

void CIniText::Reindex(Section& s) {
  std::size_t keys = 0;
  for (const Line& line : s.lines) keys += line.kind == LineKind::key ? 1 : 0;
  s.index.assign(TableSizeFor(keys + 1), 0);
  s.indexed = 0;
  for (std::size_t i = 0; i < s.lines.size(); ++i) {
    if (s.lines[i].kind == LineKind::key) Index(s, i);
  }
}

CIniText::Line CIniText::AppendText(std::string_view text) {
  // Beyond what a 32-bit process holds, or than the blocks count.
  if (text_.size() + writtenBytes_ + text.size() > std::numeric_limits<std::uint32_t>::max() / 2) {
    throw std::bad_alloc();
  }
  if (written_.empty() || written_.back().size() + text.size() > written_.back().capacity()) {
    if (written_.size() >= std::numeric_limits<std::uint16_t>::max()) throw std::bad_alloc();
    written_.emplace_back().reserve(std::max(kWrittenBlock, text.size()));
  }
  std::string& block = written_.back();
  Line line;
  line.begin = static_cast<std::uint32_t>(block.size());
  line.length = static_cast<std::uint32_t>(text.size());
  line.block = static_cast<std::uint16_t>(written_.size());
  block.append(text);
  writtenBytes_ += text.size();
  const Parsed parsed = Parse(text);
  if (parsed.isKey) {
    line.kind = LineKind::key;
    line.hash = Hash(parsed.key);
  }
  return line;
}

void CIniText::AddLine(Section& s, Line line) {
  // After the section's last line that is not blank, so that a blank line
  // before the next section stays before it. The lines after that place
  // hold no key, so no index entry moves.
  std::size_t at = s.lines.size();
  while (at > 0 && (s.lines[at - 1].kind == LineKind::removed || Trimmed(Raw(s.lines[at - 1])).empty())) --at;
  s.lines.insert(s.lines.begin() + static_cast<std::ptrdiff_t>(at), line);
  if (line.kind == LineKind::key) Index(s, at);
}

bool CIniText::HasSection(std::string_view section) const { return FindSection(section) != nullptr; }

std::optional<std::string_view> CIniText::Find(std::string_view section, std::string_view key) const {
  const Section* s = FindSection(section);
  if (!s) return std::nullopt;
  const std::string_view wanted = Trimmed(key);
  const std::size_t line = FindLine(*s, wanted, Hash(wanted));
  if (line == std::string_view::npos) return std::nullopt;
  return Unquoted(Parse(Raw(s->lines[line])).value);
}

std::size_t CIniText::KeyCount(std::string_view section) const {
  const Section* s = FindSection(section);
  if (!s) return 0;
  return static_cast<std::size_t>(
      std::count_if(s->lines.begin(), s->lines.end(), [](const Line& line) { return line.kind == LineKind::key; }));
}

std::size_t CIniText::LineCount() const {
  std::size_t count = 0;
  for (const Section& s : sections_) count += s.lines.size() + (s.hasHeader ? 1 : 0);
  return count;
}

std::vector<std::string> CIniText::SectionLines(std::string_view section) const {
  std::vector<std::string> lines;
  const Section* s = FindSection(section);
  if (!s) return lines;
  for (const Line& line : s->lines) {
    if (line.kind == LineKind::removed) continue;
    const std::string_view raw = Trimmed(Raw(line));
    if (raw.empty() || raw.front() == ';') continue;
    const Parsed parsed = Parse(raw);
    if (parsed.isKey || raw.find('=') != std::string_view::npos) {
      lines.push_back(std::string(parsed.key) + "=" + std::string(parsed.value));
    } else {
      lines.emplace_back(raw);
    }
  }
  return lines;
}

void CIniText::Set(std::string_view section, std::string_view key, std::string_view value) {
  Section* s = FindSection(section);
  if (!s) s = &AddSection(section);
  const std::string_view wanted = Trimmed(key);
  const std::size_t found = FindLine(*s, wanted, Hash(wanted));
  if (found != std::string_view::npos) {
    // The line keeps its own spelling of the key.
    std::string text(Parse(Raw(s->lines[found])).key);
    text.append(1, '=').append(value);
    const Line replaced = AppendText(text);
    s->lines[found] = replaced;
    return;
  }
  std::string text(wanted);
  text.append(1, '=').append(value);
  AddLine(*s, AppendText(text));
}

bool CIniText::Remove(std::string_view section, std::string_view key) {
  Section* s = FindSection(section);
  if (!s) return false;
  const std::string_view wanted = Trimmed(key);
  const std::uint32_t hash = Hash(wanted);
  bool removed = false;
  for (Line& line : s->lines) {
    if (line.kind == LineKind::key && line.hash == hash && SameName(Parse(Raw(line)).key, wanted)) {
      line.kind = LineKind::removed;
      removed = true;
    }
  }
  if (removed) Reindex(*s);
  return removed;
}

void CIniText::RemoveSection(std::string_view section) {
  const auto gone = std::remove_if(sections_.begin(), sections_.end(), [&](const Section& s) {
    return s.hasHeader && SameName(s.name, section);
  });
  if (gone == sections_.end()) return;
  sections_.erase(gone, sections_.end());
  ReindexSections();
}

void CIniText::ReplaceSection(std::string_view section,
                              const std::vector<std::pair<std::string, std::string>>& values) {
  Section* s = FindSection(section);
  if (!s) s = &AddSection(section);
  // Blank lines at its end stay, before the next section.
  std::vector<Line> trailing;
  while (!s->lines.empty() && (s->lines.back().kind == LineKind::removed || Trimmed(Raw(s->lines.back())).empty())) {
    if (s->lines.back().kind != LineKind::removed) trailing.insert(trailing.begin(), s->lines.back());
    s->lines.pop_back();
  }
  s->lines.clear();
  for (const auto& [key, value] : values) s->lines.push_back(AppendText(key + "=" + value));
  s->lines.insert(s->lines.end(), trailing.begin(), trailing.end());
  Reindex(*s);
}

std::vector<std::string> CIniText::SectionNames() const {
  std::vector<std::string> names;
  for (const Section& s : sections_) {
    if (s.hasHeader && FindSection(s.name) == &s) names.push_back(s.name);
  }
  return names;
}

std::string CIniText::ToString() const {
  std::string text;
  Write([&text](std::string_view piece) { text.append(piece); });
  return text;
}
