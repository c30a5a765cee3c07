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
    Set("#" + std::to_string(positionalCount_++), std::string(token));
    return;
  }
  if (token.size() == 1) return;
  const std::size_t colon = token.find(':');
  if (colon != std::string_view::npos) {
    Set(std::string(token.substr(1, colon - 1)), std::string(token.substr(colon + 1)));
  } else {
    Set(std::string(token.substr(1, 1)), std::string(token.substr(2)));
  }
}

const std::string* CCommandLineArgs::Find(std::string_view key) const {
  for (const auto& [k, v] : values_) {
    if (k == key) return &v;
  }
  return nullptr;
}

void CCommandLineArgs::Set(std::string key, std::string value) {
  for (auto& [k, v] : values_) {
    if (k == key) {
      v = std::move(value);
      return;
    }
  }
  values_.emplace_back(std::move(key), std::move(value));
}

bool CCommandLineArgs::Get(std::string_view key, std::string& value, const char* defaultValue) const {
  if (const std::string* found = Find(key)) {
    value = *found;
    return true;
  }
  if (defaultValue) value = defaultValue;
  return false;
}
