#include "setup/app/CommandLineArgs.h"

void CCommandLineArgs::Parse(std::string_view commandLine) {
  std::string token;
  bool quoted = false;
  for (const char c : commandLine) {
    // Quotes mean something only inside a switch.
    const bool inSwitch = !token.empty() && token.front() == '/';
    if (c == '"' && inSwitch) {
      quoted = !quoted;
    } else if (c == ' ' && !quoted) {
      if (!token.empty()) AddToken(token);
      token.clear();
    } else {
      token += c;
    }
  }
  if (!token.empty()) AddToken(token);
}

void CCommandLineArgs::AddToken(std::string_view token) {
  if (token.front() != '/') {
    values_["#" + std::to_string(positionalCount_++)] = std::string(token);
    return;
  }
  if (token.size() == 1) return;
  const std::size_t colon = token.find(':');
  if (colon != std::string_view::npos) {
    values_[std::string(token.substr(1, colon - 1))] = std::string(token.substr(colon + 1));
  } else {
    values_[std::string(token.substr(1, 1))] = std::string(token.substr(2));
  }
}

bool CCommandLineArgs::Get(const std::string& key, std::string& value, const char* defaultValue) const {
  const auto found = values_.find(key);
  if (found != values_.end()) {
    value = found->second;
    return true;
  }
  if (defaultValue) value = defaultValue;
  return false;
}
