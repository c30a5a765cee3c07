#include "tools/mkkit/IniDocument.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

#include "tools/mkkit/KitException.h"

namespace {

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

}  // namespace

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

void CIniDocument::Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) ThrowBadInput(path, "cannot read the file");
  std::ostringstream text;
  text << in.rdbuf();
  Parse(text.str(), path);
}

std::string CIniDocument::Where(int line) const { return fileName_ + ":" + std::to_string(line); }

void CIniDocument::Parse(const std::string& text, const std::string& fileName) {
  fileName_ = fileName;
  sections_.clear();
  std::string body = text;
  if (const auto eof = body.find('\x1A'); eof != std::string::npos) body.resize(eof);
  std::istringstream lines(body);
  std::string raw;
  for (int number = 1; std::getline(lines, raw); ++number) {
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line[0] == '[') {
      if (line.back() != ']') ThrowBadInput(Where(number), "a section header must end with ']'");
      sections_.push_back(Section{Trim(line.substr(1, line.size() - 2)), number, {}});
      continue;
    }
    const auto eq = line.find('=');
    if (eq == std::string::npos) ThrowBadInput(Where(number), "expected key=value, a [section] or a ; comment");
    if (sections_.empty()) ThrowBadInput(Where(number), "key outside any section");
    const std::string key = Trim(line.substr(0, eq));
    if (key.empty()) ThrowBadInput(Where(number), "empty key");
    sections_.back().entries.push_back(Entry{key, Trim(line.substr(eq + 1)), number});
  }
}

const CIniDocument::Section* CIniDocument::Find(const std::string& name) const {
  const auto it = std::find_if(sections_.begin(), sections_.end(), [&](const Section& s) { return SameName(s.name, name); });
  return it == sections_.end() ? nullptr : &*it;
}
