#include "setup/profile/ProfileSection.h"

#include <cstring>

#include "setup/profile/ProfilePath.h"

namespace {
// Far beyond any real section; only bounds the growth of the buffer.
constexpr DWORD kLargestKeyList = 16u << 20;
}  // namespace

bool CProfileSection::First(CProfileEntry& entry) {
  const std::string file = file_.IsEmpty() ? DefaultProfilePath().GetPath() : file_.GetPath();
  // The list comes back cut to size - 2 characters when it does not fit.
  DWORD size = 256;
  for (;;) {
    keys_.assign(size, '\0');
    const DWORD length =
        ::GetPrivateProfileStringA(section_.c_str(), nullptr, "", keys_.data(), size, file.c_str());
    if (length < size - 2 || size >= kLargestKeyList) break;
    size *= 2;
  }
  keys_.push_back('\0');  // whatever came back, the list ends here
  keys_.push_back('\0');
  cursor_ = 0;
  return Next(entry);
}

bool CProfileSection::Next(CProfileEntry& entry) {
  if (cursor_ < keys_.size() && keys_[cursor_] != '\0') {
    const char* key = keys_.data() + cursor_;
    const std::size_t length = std::strlen(key);
    entry.SetSection(section_);
    entry.SetFile(file_);
    entry.SetKey(std::string(key, length));
    cursor_ += length + 1;
    return true;
  }
  std::vector<char>().swap(keys_);
  cursor_ = 0;
  return false;
}
