// Whole files as bytes, for tests that check exactly what a program wrote.
#pragma once

#include <windows.h>

#include <string>

// The file's bytes; empty when it cannot be read.
inline std::string ReadFileBytes(const std::string& path) {
  std::string bytes;
  HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return bytes;
  char buffer[4096];
  DWORD read = 0;
  while (::ReadFile(h, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  ::CloseHandle(h);
  return bytes;
}

// Creates or replaces the file with exactly these bytes; false on failure.
inline bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::CloseHandle(h);
  return ok && written == bytes.size();
}
