// CIniText: the text of an INI file (the setup profile, the install log),
// held whole in memory. It answers what the system's profile functions
// answer for the same bytes, at any size, and changes as
// WritePrivateProfileString would change the file. Nothing is read or
// written here; IniTextFile.h loads and saves.
//
// The rules, as the system applies them:
// - Lines end with CR LF, LF or CR; a last line may have no end.
// - Blanks (space, tab, Ctrl-Z) before and after names and values do not
//   count. Blank lines and lines starting with ';' (comments) carry nothing.
// - "[name]" starts a section: the name is the text between '[' and the
//   last ']' of the line; a line starting with '[' without ']' is an
//   ordinary line of the section it stands in.
// - "key=value": the key is the text before the first '='. A line without
//   '=' is no key, though a read of the whole section gives it.
// - Section names and keys match in any letter case. Where a section stands
//   twice, or a key twice in its section, the first one answers, and edits
//   go to the first one.
// - A read of one key drops a pair of quotes (" or ') around its value; a
//   read of the whole section keeps them.
// - Lines before the first section belong to no section.
//
// Lines that nothing changes are kept as they stand, and saved as they
// stand with CR LF ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CIniText {
public:
  CIniText() = default;
  // Parses text, the bytes of a file.
  explicit CIniText(std::string text);

  bool HasSection(std::string_view section) const;
  // The value of key in section as GetPrivateProfileString gives it (blanks
  // around it removed, a pair of quotes around it dropped), whole however
  // long; nothing when the section or the key is missing.
  std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;

  // Calls visit(key, value) for every key line of section in file order:
  // the key as it stands, the value as Find gives it for that key (a key
  // that stands twice is given twice, each time with its first value).
  template <class Visit>
  void ForEachKey(std::string_view section, Visit&& visit) const {
    const Section* s = FindSection(section);
    if (!s) return;
    for (std::size_t i = 0; i < s->lines.size(); ++i) {
      const Line& line = s->lines[i];
      if (line.kind != LineKind::key) continue;
      const Parsed parsed = Parse(Raw(line));
      const std::size_t first = FindLine(*s, parsed.key, line.hash);
      visit(parsed.key, first == i ? Unquoted(parsed.value) : Unquoted(Parse(Raw(s->lines[first])).value));
    }
  }
  // The number of key lines of section.
  std::size_t KeyCount(std::string_view section) const;
  // The number of lines of the text, headers included.
  std::size_t LineCount() const;

  // The lines of section as GetPrivateProfileSection gives them: "key=value"
  // with blanks around key and value removed and quotes kept, a line
  // without '=' as its text; blank lines and comments left out.
  std::vector<std::string> SectionLines(std::string_view section) const;

  // Writes value under key in section: into the first line of the key
  // (which keeps its own spelling of the key), or as a new line at the end
  // of the section, or in a new section at the end of the text.
  void Set(std::string_view section, std::string_view key, std::string_view value);
  // Removes every line of key in section; false when there was none.
  bool Remove(std::string_view section, std::string_view key);
  // Removes the section (every section of that name), header and lines.
  void RemoveSection(std::string_view section);
  // Replaces the lines of section by values, as WritePrivateProfileSection
  // does: the section keeps its place (or is added at the end).
  void ReplaceSection(std::string_view section, const std::vector<std::pair<std::string, std::string>>& values);

  // The names of the sections in file order (a section written twice once).
  std::vector<std::string> SectionNames() const;

  // The text as a file holds it, every line ended with CR LF. sink is
  // called with pieces of it, in order.
  template <class Sink>
  void Write(Sink&& sink) const {
    std::string chunk;
    chunk.reserve(kWriteChunk + 512);
    const auto flush = [&] {
      if (!chunk.empty()) sink(std::string_view(chunk));
      chunk.clear();
    };
    for (const Section& s : sections_) {
      if (s.hasHeader) AppendLine(chunk, s.header);
      for (const Line& line : s.lines) {
        if (line.kind == LineKind::removed) continue;
        AppendLine(chunk, Raw(line));
        if (chunk.size() >= kWriteChunk) flush();
      }
    }
    flush();
  }
  std::string ToString() const;

  // A key or section name that a line can hold and that reads back as the
  // same text: not empty, no line end, no blanks around it, and for a key
  // no '=' and no leading ';' or '['; for a section no ']'.
  static bool IsKeyName(std::string_view key);
  static bool IsSectionName(std::string_view section);

  // The system's letter case folding, as names are matched.
  static std::string Folded(std::string_view name);

private:
  static constexpr std::size_t kWriteChunk = 64 * 1024;
  static constexpr std::size_t kWrittenBlock = 64 * 1024;

  enum class LineKind : std::uint8_t { other, key, removed };
  // One line: its bytes in text_ (block 0) or in a block of written text,
  // and for a key line the hash of its folded key.
  struct Line {
    std::uint32_t begin = 0;
    std::uint32_t length = 0;
    std::uint32_t hash = 0;
    std::uint16_t block = 0;
    LineKind kind = LineKind::other;
  };
  struct Section {
    std::string header;  // the header line as it stands (none for the lines before the first)
    std::string name;    // as the header gives it
    bool hasHeader = false;
    // In blocks that never move: a section that grows to 20,000 lines is
    // never copied whole to grow, nor leaves its smaller copies behind.
    std::deque<Line> lines;
    // Open addressing over line indices + 1 (0: free), by the folded key's
    // hash; first lines of their keys only. Its size is a power of two.
    std::vector<std::uint32_t> index;
    std::size_t indexed = 0;
  };
  struct Parsed {
    bool isKey = false;
    std::string_view key;
    std::string_view value;
  };

  static Parsed Parse(std::string_view line);
  static std::string_view Unquoted(std::string_view value);
  static std::uint32_t Hash(std::string_view key);
  static void AppendLine(std::string& out, std::string_view line);
  static bool SameName(std::string_view a, std::string_view b);

  std::string_view Raw(const Line& line) const {
    const std::string& block = line.block == 0 ? text_ : written_[line.block - 1];
    return std::string_view(block).substr(line.begin, line.length);
  }
  const Section* FindSection(std::string_view name) const;
  Section* FindSection(std::string_view name);
  Section& AddSection(std::string_view name);
  // The first key line of key in s (its hash given), or npos.
  std::size_t FindLine(const Section& s, std::string_view key, std::uint32_t hash) const;
  void Index(Section& s, std::size_t lineIndex);
  void Reindex(Section& s);
  Line AppendText(std::string_view line);
  void AddLine(Section& s, Line line);

  std::string text_;  // the file's bytes
  // The text of lines written since, in blocks of kWrittenBlock bytes (a
  // longer line has a block of its own) that never move: a log that grows
  // by 20,000 records is never copied whole to grow.
  std::vector<std::string> written_;
  std::size_t writtenBytes_ = 0;
  std::vector<Section> sections_;
  // Sections by folded name (first of each name), open addressing over
  // section indices + 1.
  std::vector<std::uint32_t> sectionIndex_;
  void IndexSection(std::size_t s);
  void ReindexSections();
};
