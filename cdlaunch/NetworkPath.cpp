#include "cdlaunch/NetworkPath.h"

namespace {
bool IsSeparator(char c) { return c == '\\' || c == '/'; }
}  // namespace

bool IsNetworkPath(std::string_view path) {
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) return true;
  return path.size() >= 4 && IsSeparator(path[0]) && path[1] == '?' && path[2] == '?' && IsSeparator(path[3]);
}
