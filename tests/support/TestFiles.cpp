#include "tests/support/TestFiles.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "framework/ScopedHandle.h"

namespace {

bool WriteBytes(const std::string& path, const void* data, std::size_t size) {
  const CHandle file(
      ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  DWORD written = 0;
  const BOOL ok = ::WriteFile(file.get(), data, static_cast<DWORD>(size), &written, nullptr);
  return ok && written == size;
}

std::string WithoutTrailingSeparator(std::string folder) {
  while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  return folder;
}

}  // namespace

std::string ReadFileBytes(const std::string& path) {
  std::string bytes;
  const CHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file.valid()) return bytes;
  char buffer[4096];
  DWORD read = 0;
  while (::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  return bytes;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  return WriteBytes(path, bytes.data(), bytes.size());
}

bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  return WriteBytes(path, bytes.data(), bytes.size());
}

bool SetModificationTime(const std::string& path, std::uint32_t secondsSince1970) {
  const CHandle file(::CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
  constexpr std::uint64_t kUnixEpoch = 116444736000000000ull;  // 1970-01-01 in 100 ns units
  const std::uint64_t ticks = kUnixEpoch + secondsSince1970 * 10000000ull;
  const FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  return file.valid() && ::SetFileTime(file.get(), nullptr, nullptr, &time);
}

std::vector<std::string> ListFolder(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA((WithoutTrailingSeparator(folder) + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = data.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (::FindNextFileA(find, &data));
  ::FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<FolderEntry> ListTree(const std::string& folder, bool recursive) {
  std::vector<FolderEntry> entries;
  const std::string dir = WithoutTrailingSeparator(folder);
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA((dir + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return entries;
  do {
    const std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    FolderEntry entry;
    entry.path = dir + "\\" + name;
    entry.directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.attributes = data.dwFileAttributes;
    entry.written = (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
    entry.size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    entries.push_back(entry);
    if (entry.directory && recursive && (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
      for (FolderEntry& below : ListTree(entry.path, true)) entries.push_back(std::move(below));
    }
  } while (::FindNextFileA(find, &data));
  ::FindClose(find);
  return entries;
}

void RemoveTree(const std::string& folder) {
  const std::string dir = WithoutTrailingSeparator(folder);
  if (dir.empty()) return;
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA((dir + "\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      const std::string full = dir + "\\" + name;
      ::SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(full);
      } else {
        ::DeleteFileA(full.c_str());
      }
    } while (::FindNextFileA(find, &data));
    ::FindClose(find);
  }
  ::RemoveDirectoryA(dir.c_str());
}

std::vector<std::pair<std::string, std::string>> ReadIniSection(const std::string& file, const std::string& section) {
  std::vector<char> buffer(64 * 1024);
  const DWORD length = ::GetPrivateProfileSectionA(section.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()),
                                                   file.c_str());
  std::vector<std::pair<std::string, std::string>> entries;
  for (const char* p = buffer.data(); p < buffer.data() + length && *p; p += std::strlen(p) + 1) {
    const std::string line = p;
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) {
      entries.emplace_back(line, std::string());
    } else {
      entries.emplace_back(line.substr(0, equals), line.substr(equals + 1));
    }
  }
  return entries;
}
