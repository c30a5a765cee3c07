// Files and folders as tests see them: whole files as bytes, the names in a
// folder, and a folder removed with everything in it. None of these goes
// through the code under test.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The file's bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);

// Creates or replaces the file with exactly these bytes; false on failure.
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

// Gives the file this last-write time, in seconds since 1970-01-01 UTC
// (the time the archives keep); false on failure.
bool SetModificationTime(const std::string& path, std::uint32_t secondsSince1970);

// The names of the files and folders in folder ("." and ".." left out),
// sorted; empty when the folder cannot be read.
std::vector<std::string> ListFolder(const std::string& folder);

// A file or folder as a listing of its folder gives it.
struct FolderEntry {
  std::string path;
  bool directory = false;
  std::uint32_t attributes = 0;
  std::uint64_t written = 0;  // the last-write time, in 100 ns since 1601
  std::uint64_t size = 0;
};

// Every file and folder in folder, and with recursive in its sub-folders
// too (a folder before what it holds); empty when it cannot be read.
std::vector<FolderEntry> ListTree(const std::string& folder, bool recursive = true);

// Removes folder with its files (read-only ones too) and sub-folders;
// what cannot be removed stays. A trailing '\' is allowed.
void RemoveTree(const std::string& folder);

// The key/value pairs of an INI file's section, in file order (a line
// without '=' gives an empty value); empty when the file or section is
// missing. Read with the profile functions, as the setup program reads.
std::vector<std::pair<std::string, std::string>> ReadIniSection(const std::string& file, const std::string& section);
