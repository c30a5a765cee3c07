#include "setup/profile/IniFileEditor.h"
#include "framework/JoinText.h"

namespace {

constexpr std::string_view kBlanks = " \t\r\n";

std::string_view TrimRight(std::string_view text) {
  const std::size_t end = text.find_last_not_of(kBlanks);
  return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

std::string_view Trim(std::string_view text) {
  const std::size_t start = text.find_first_not_of(kBlanks);
  return start == std::string_view::npos ? std::string_view() : TrimRight(text.substr(start));
}

// Case-insensitive and aware of double-byte characters.
bool SameText(std::string_view a, const std::string& b) { return ::lstrcmpiA(std::string(a).c_str(), b.c_str()) == 0; }

}  // namespace

bool CIniFileEditor::AddEntry(std::string_view section, std::string_view key, std::string_view value) {
  Edit(section, key, value, false);
  return true;
}

bool CIniFileEditor::RemoveEntry(std::string_view section, std::string_view key, std::string_view value) {
  Edit(section, key, value, true);
  return true;
}

void CIniFileEditor::Edit(std::string_view section, std::string_view key, std::string_view value, bool removing) {
  removing_ = removing;
  wantedSection_ = section;
  currentSection_.clear();
  key_ = key;
  value_ = value;
  entryLine_ = JoinText({key_, "=", value_, "\n"});
  done_ = stop_ = false;
  Open();
  Run();
}

bool CIniFileEditor::ProcessLine() {
  const bool inside = SameText(currentSection_, wantedSection_);
  const std::string_view line = Trim(CurrentLine());
  if (!line.empty() && line[0] == '[') {
    if (inside && !removing_) {
      WriteText(entryLine_);  // the wanted section ends here
      done_ = true;
    } else {
      // The name ends at the last ']' (or with the line when there is none).
      const std::size_t close = line.rfind(']');
      currentSection_ = line.substr(1, close == std::string_view::npos ? close : close - 1);
    }
    return true;
  }
  if (inside) {
    const std::size_t equals = line.find('=');
    if (equals != std::string_view::npos && SameText(TrimRight(line.substr(0, equals)), key_) &&
        SameText(Trim(line.substr(equals + 1)), value_)) {
      if (!removing_) {
        stop_ = true;  // the entry is there already
        return true;
      }
      LeaveOutLine();
      return false;
    }
  }
  return true;
}

void CIniFileEditor::EndPass() {
  if (done_ || stop_ || removing_) return;
  if (!SameText(currentSection_, wantedSection_)) WriteText("[" + wantedSection_ + "]\n");
  WriteText(entryLine_);
}
