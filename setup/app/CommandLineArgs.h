// CCommandLineArgs: the setup program's command line as a map of keys to
// values.
//
// The line is cut at single blanks (not at tabs). Inside a switch a double
// quote starts or ends a quoted stretch in which blanks do not cut, and the
// quotes are dropped: /T:"C:\Program Files\Veltrane" is one switch with
// the value C:\Program Files\Veltrane. A token that does not begin with
// "/" is cut at its blanks and kept as it stands, quotes and all, and a
// line without double quotes is cut exactly at its blanks, as always.
// A token that begins with "/" is a switch: with a ":"
// its key is the text between "/" and the first ":" and its value all that
// follows that ":" ("/D:C:\kit" is D = C:\kit); without one, the key is the
// character after "/" and the value the rest ("/D\\srv\kit" is
// D = \\srv\kit). "/" alone is ignored, and a later switch with the same key
// replaces the earlier value. Any other token is kept under "#0", "#1", ...
// Keys are compared case-sensitively.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CCommandLineArgs {
public:
  CCommandLineArgs() = default;
  explicit CCommandLineArgs(std::string_view commandLine) { Parse(commandLine); }

  // Adds the tokens of commandLine (the text after the program name).
  void Parse(std::string_view commandLine);

  bool Has(std::string_view key) const { return Find(key) != nullptr; }
  // Copies the key's value into value when the key is present; otherwise
  // copies defaultValue when one is given and leaves value alone when not.
  // Returns whether the key was present.
  bool Get(std::string_view key, std::string& value, const char* defaultValue = nullptr) const;

  std::size_t size() const { return values_.size(); }

private:
  void AddToken(std::string_view token);
  // The value of key; null when the key is absent.
  const std::string* Find(std::string_view key) const;
  void Set(std::string key, std::string value);

  // Each key once, in the order of its first appearance: a command line
  // holds a few switches.
  std::vector<std::pair<std::string, std::string>> values_;
  int positionalCount_ = 0;
};
