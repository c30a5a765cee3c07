#include "setup/system/RegistrySnapshot.h"

#include <cstdint>
#include <string_view>
#include <vector>

#include "framework/HexText.h"
#include "framework/ScopedHandle.h"
#include "setup/system/KeyTree.h"

namespace {

// Records of a key tree's snapshot.
constexpr char kValueRecord = 'V';
constexpr char kKeyRecord = 'K';
constexpr char kUpRecord = 'U';
// A key tree deeper than this was not made by anyone's installation.
constexpr int kMaxDepth = 32;

void PutWord(std::string& out, std::uint32_t word) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((word >> (8 * i)) & 0xFF);
}

void PutText(std::string& out, std::string_view text) {
  PutWord(out, static_cast<std::uint32_t>(text.size()));
  out.append(text);
}

class CBlobReader {
public:
  explicit CBlobReader(std::string_view blob) : rest_(blob) {}
  bool AtEnd() const noexcept { return rest_.empty(); }
  bool Byte(char& c) {
    if (rest_.empty()) return false;
    c = rest_.front();
    rest_.remove_prefix(1);
    return true;
  }
  bool Word(std::uint32_t& word) {
    if (rest_.size() < 4) return false;
    word = 0;
    for (int i = 0; i < 4; ++i) word |= static_cast<std::uint32_t>(static_cast<unsigned char>(rest_[i])) << (8 * i);
    rest_.remove_prefix(4);
    return true;
  }
  bool Text(std::string& text) {
    std::uint32_t size = 0;
    if (!Word(size) || rest_.size() < size) return false;
    text.assign(rest_.substr(0, size));
    rest_.remove_prefix(size);
    return true;
  }

private:
  std::string_view rest_;
};

// Every value of key, each as a record.
bool PutValues(HKEY key, std::string& out) {
  DWORD count = 0, longestName = 0, longestData = 0;
  if (::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longestName, &longestData,
                         nullptr, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  std::vector<char> name(longestName + 2);
  std::vector<BYTE> data(longestData + 1);
  for (DWORD i = 0; i < count; ++i) {
    DWORD nameSize = static_cast<DWORD>(name.size());
    DWORD dataSize = static_cast<DWORD>(data.size());
    DWORD type = 0;
    if (::RegEnumValueA(key, i, name.data(), &nameSize, nullptr, &type, data.data(), &dataSize) != ERROR_SUCCESS) {
      return false;
    }
    out += kValueRecord;
    PutText(out, std::string_view(name.data(), nameSize));
    PutWord(out, type);
    PutText(out, std::string_view(reinterpret_cast<const char*>(data.data()), dataSize));
  }
  return true;
}

bool PutTree(HKEY key, std::string& out, int depth) {
  if (depth > kMaxDepth || !PutValues(key, out)) return false;
  char child[256];
  for (DWORD i = 0; ::RegEnumKeyA(key, i, child, sizeof child) == ERROR_SUCCESS; ++i) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(key, child, 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    const CRegistryKeyHandle sub(opened);
    out += kKeyRecord;
    PutText(out, child);
    if (!PutTree(sub.get(), out, depth + 1)) return false;
    out += kUpRecord;
  }
  return true;
}

bool SetValue(HKEY key, const std::string& name, DWORD type, const std::string& data) {
  return ::RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

// Writes the records of one key (and, through its sub-key records, of the
// keys below it) into key.
bool WriteTree(HKEY key, CBlobReader& blob, int depth) {
  if (depth > kMaxDepth) return false;
  bool whole = true;
  char record = 0;
  while (blob.Byte(record)) {
    if (record == kUpRecord) return depth > 0 && whole;
    std::string name;
    if (!blob.Text(name)) return false;
    if (record == kValueRecord) {
      std::uint32_t type = 0;
      std::string data;
      if (!blob.Word(type) || !blob.Text(data)) return false;
      whole = SetValue(key, name, type, data) && whole;
    } else if (record == kKeyRecord) {
      HKEY created = nullptr;
      if (name.empty() || ::RegCreateKeyExA(key, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created,
                                            nullptr) != ERROR_SUCCESS) {
        return false;
      }
      const CRegistryKeyHandle sub(created);
      if (!WriteTree(sub.get(), blob, depth + 1)) return false;
    } else {
      return false;
    }
  }
  return depth == 0 && whole;
}

// The bytes of a "+" snapshot; none for "-" or no snapshot at all.
std::optional<std::string> PresentBytes(const std::string& snapshot, bool& absent) {
  absent = snapshot == "-";
  if (absent || snapshot.empty() || snapshot.front() != '+') return std::nullopt;
  return FromHex(snapshot.substr(1));
}

}  // namespace

std::string RegistryRootName(HKEY root) {
  if (root == HKEY_LOCAL_MACHINE) return "HKLM";
  if (root == HKEY_CURRENT_USER) return "HKCU";
  if (root == HKEY_CLASSES_ROOT) return "HKCR";
  if (root == HKEY_USERS) return "HKU";
  return {};
}

std::optional<HKEY> RegistryRootOf(const std::string& name) {
  if (name == "HKLM") return HKEY_LOCAL_MACHINE;
  if (name == "HKCU") return HKEY_CURRENT_USER;
  if (name == "HKCR") return HKEY_CLASSES_ROOT;
  if (name == "HKU") return HKEY_USERS;
  return std::nullopt;
}

std::string SnapshotKeyTree(HKEY root, const std::string& path) {
  HKEY opened = nullptr;
  if (path.empty() || ::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return "-";
  const CRegistryKeyHandle key(opened);
  std::string blob;
  // A key that cannot be read whole is kept as far as it could be read.
  PutTree(key.get(), blob, 0);
  return "+" + ToHex(blob);
}

bool RestoreKeyTree(HKEY root, const std::string& path, const std::string& snapshot) {
  if (path.empty()) return false;
  bool absent = false;
  const std::optional<std::string> blob = PresentBytes(snapshot, absent);
  if (!absent && !blob) return false;
  const LONG deleted = DeleteKeyTree(root, path.c_str());
  if (deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND) return false;
  if (absent) return true;
  HKEY created = nullptr;
  if (::RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  const CRegistryKeyHandle key(created);
  CBlobReader reader(*blob);
  return WriteTree(key.get(), reader, 0);
}

std::string SnapshotValue(HKEY root, const std::string& path, const std::string& name) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return "-";
  const CRegistryKeyHandle key(opened);
  DWORD type = 0, size = 0;
  if (::RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return "-";
  std::vector<BYTE> data(size + 1);
  if (::RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS) return "-";
  std::string blob;
  PutWord(blob, type);
  blob.append(reinterpret_cast<const char*>(data.data()), size);
  return "+" + ToHex(blob);
}

bool RestoreValue(HKEY root, const std::string& path, const std::string& name, const std::string& snapshot) {
  bool absent = false;
  const std::optional<std::string> blob = PresentBytes(snapshot, absent);
  if (!absent && (!blob || blob->size() < 4)) return false;
  HKEY opened = nullptr;
  if (absent) {
    if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &opened) != ERROR_SUCCESS) return true;
    const CRegistryKeyHandle key(opened);
    const LONG status = ::RegDeleteValueA(key.get(), name.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
  }
  if (::RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  const CRegistryKeyHandle key(opened);
  CBlobReader reader(*blob);
  std::uint32_t type = 0;
  reader.Word(type);
  return SetValue(key.get(), name, type, blob->substr(4));
}
