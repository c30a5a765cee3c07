#include "tools/mkkit/AutorunCheck.h"

#include <windows.h>

#include "tools/mkkit/IniDocument.h"
#include "tools/mkkit/KitException.h"

namespace {

std::string Value(const CIniDocument& ini, const std::string& section, const std::string& key) {
  const auto* s = ini.Find(section);
  if (!s) return {};
  for (const auto& e : s->entries) {
    if (SameName(e.key, key)) return e.value;
  }
  return {};
}

// The program of a command line: the quoted text, or the text up to the
// first blank.
std::string ProgramOf(const std::string& command) {
  if (!command.empty() && command.front() == '"') {
    const auto close = command.find('"', 1);
    return command.substr(1, close == std::string::npos ? std::string::npos : close - 1);
  }
  return command.substr(0, command.find(' '));
}

bool IsRelative(const std::string& path) {
  return !path.empty() && path.find(':') == std::string::npos && path.front() != '\\' && path.front() != '/';
}

// A program of Windows itself, which the menu starts from the search path.
bool IsProgramOfWindows(const std::string& name) {
  if (name.find_first_of("\\/") != std::string::npos) return false;
  char folder[MAX_PATH], found[MAX_PATH];
  for (const bool system : {true, false}) {
    const UINT n = system ? ::GetSystemDirectoryA(folder, MAX_PATH) : ::GetWindowsDirectoryA(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) continue;
    if (::SearchPathA(folder, name.c_str(), ".exe", MAX_PATH, found, nullptr) > 0) return true;
  }
  return false;
}

}  // namespace

std::string FindAutorunProblem(const std::string& autorunText,
                               const std::function<bool(const std::string&, bool)>& onCd, int* checked) {
  CIniDocument ini;
  try {
    ini.Parse(autorunText, "autorun.inf");
  } catch (const CException& e) {
    return e.GetErrorMessage();
  }
  int count = 0;
  const auto file = [&](const std::string& what, const std::string& name) -> std::string {
    if (name.empty()) return {};
    ++count;
    if (IsRelative(name) && onCd(name, false)) return {};
    return "autorun.inf: " + what + " " + name + " is not on the CD";
  };
  const auto command = [&](const std::string& what, const std::string& line) -> std::string {
    const std::string program = ProgramOf(line);
    if (SameName(line, "QuitProgram") || program.empty()) return {};
    ++count;
    if (IsRelative(program) && onCd(program, program.find('.') == std::string::npos)) return {};
    if (IsProgramOfWindows(program)) return {};
    return "autorun.inf: " + what + " starts " + program + ", which is not on the CD";
  };
  // A button's picture pair: the name up to its first '.', then 1 or 2,
  // then the name from its last '.' on.
  const auto pair = [&](const std::string& what, const std::string& name) -> std::string {
    if (name.empty()) return {};
    const auto dot = name.find('.');
    const std::string base = name.substr(0, dot);
    const std::string extension = dot == std::string::npos ? std::string() : name.substr(name.rfind('.'));
    std::string problem = file(what, base + "1" + extension);
    return problem.empty() ? file(what, base + "2" + extension) : problem;
  };

  std::string problem;
  const auto first = [&](const std::string& p) {
    if (problem.empty()) problem = p;
  };
  std::string open = Value(ini, "autorun", "open");
  first(command("[autorun] open", open));
  std::string icon = Value(ini, "autorun", "icon");
  first(file("[autorun] icon", icon.substr(0, icon.find(','))));
  first(file("the background picture", Value(ini, "Application Info", "Bitmap")));
  first(file("the start-up sound", Value(ini, "Application Info", "PlaySound")));
  if (const auto* commands = ini.Find("Commands")) {
    for (const auto& e : commands->entries) {
      if (e.value.empty()) continue;
      const std::string button = "the button " + e.value + ":";
      const std::string line = Value(ini, e.value, "Command");
      if (line.empty()) first("autorun.inf: the button " + e.value + " has no command");
      first(command(button, line));
      first(pair(button + " the picture", Value(ini, e.value, "Bitmap")));
      first(file(button + " the sound", Value(ini, e.value, "PlaySound")));
    }
  }
  if (checked) *checked = count;
  return problem;
}
