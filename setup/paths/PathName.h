// CPathName: the one path type of the setup program. A full or partial path
// held as text and taken apart, the way _splitpath does, into drive,
// directory, base name and extension ('\' and '/' both separate, DBCS
// trail bytes never do). Parts are handed out trimmed: the drive without
// its ':', the directory without its trailing '\' (unless it is the root),
// the extension without its '.'.
//
// Long paths: composing never cuts a path, so an error message can name it
// whole. Every operation that touches the file system refuses a path longer
// than kMaxLength characters (MAX_PATH with its terminator), as the system
// would: false, 0 or -1, and CreateDirectoryOrThrow throws "bad path".
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "framework/Exception.h"
#include "setup/paths/TempNameGenerator.h"

// The directories a CPathName can start from. The result ends with '\' and
// has no file name.
enum class SpecialDirectory {
  current = 0,  // the process's current directory
  windows = 1,  // GetWindowsDirectory
  system = 2,   // GetSystemDirectory
  setup = 3,    // the directory of the running program
  temp = 4,     // GetTempPath
};

class CPathName {
public:
  static constexpr std::size_t kMaxLength = MAX_PATH - 1;

  CPathName() = default;
  explicit CPathName(std::string path) : path_(std::move(path)) {}
  // The directory of that kind; empty when the system cannot tell.
  explicit CPathName(SpecialDirectory kind) { SetSpecialDirectory(kind); }

  const std::string& GetPath() const noexcept { return path_; }
  const char* c_str() const noexcept { return path_.c_str(); }
  bool IsEmpty() const noexcept { return path_.empty(); }
  void SetPath(std::string path) { path_ = std::move(path); }
  // True when the file-system operations refuse this path.
  bool IsTooLong() const noexcept { return path_.size() > kMaxLength; }

  // Sets the path to the directory of that kind; false (and empty) when the
  // system cannot tell.
  bool SetSpecialDirectory(SpecialDirectory kind);
  // The running program's own file (the application's module); empty when
  // its path does not fit MAX_PATH.
  static CPathName GetProgramPath();

  // Replaces drive and directory by directory ('\' added when missing);
  // base name and extension stay. An empty directory leaves the file name.
  void SetDirectory(std::string_view directory);
  // Adds directory (one leading '\' dropped, '\' added when missing) below
  // the current directory; drive, base name and extension stay. An empty
  // text changes nothing.
  void AppendDirectory(std::string_view directory);
  // Replaces base name and extension by name (which may carry an extension).
  void SetFileName(std::string_view name);
  void SetBaseName(std::string_view name);
  // ext with or without its leading '.'; empty removes the extension.
  void SetExtension(std::string_view ext);

  // The base name, then '.' and the extension when there is one.
  std::string GetFileName() const;
  // Drive with ':' and directory, without a trailing '\' unless the
  // directory is the root ("C:\", "C:\WINDOWS", "\\server\share").
  std::string GetDirectory() const;
  std::string GetDrive() const;  // the letter alone
  std::string GetBaseName() const;
  std::string GetExtension() const;  // without '.'
  // Removes the last component of the directory and gives it in name ("C:\a\b\"
  // becomes "C:\a\" with name "b"). False, and nothing changed, at a root (a
  // drive's or a share's).
  bool SplitLastDirectory(std::string& name);

  // FindFirstFile finds the path (a file, or a directory named without a
  // trailing '\').
  bool Exists() const;
  // What one look-up of the name says (GetFileAttributes; FindFirstFile
  // opens and reads the whole folder): something has it, nothing has it
  // (the system says not found), or it cannot be told (no access, a
  // device, a path too long for the system).
  enum class NameLookup { taken, free, unknown };
  NameLookup LookUpName() const;
  // The directory part names an existing directory (an empty one or the
  // root of an empty drive included).
  bool DirectoryExists() const;
  // Creates the directory the whole path names (a trailing '\' ignored),
  // with its missing parents when asked. True when it exists afterwards.
  // The process's current directory is not changed.
  bool CreateDirectory(bool withParents = true) const;
  // The same; throws CFileException for the system's error on failure.
  // True when the directory itself was made by this call: it did not
  // exist before, so that nothing but what is made in it afterwards is in it.
  bool CreateDirectoryOrThrow(bool withParents = true) const;
  // Removes the directory part (only an empty directory goes).
  bool RemoveDirectory() const;
  // Deletes the file, after clearing its read-only attribute when asked.
  bool Delete(bool clearReadOnly = false) const;
  // Renames the file or directory to newPath (this path is not changed).
  bool MoveTo(const CPathName& newPath) const;
  // Gives the path a base name of 8 lower-case hexadecimal digits that
  // cannot be guessed (the next name of names), keeping drive, directory and
  // extension; with unique set, tries up to attempts names until one does
  // not exist. False when no name was found (the path then holds the last
  // name tried). A name that is free now may be taken before a file is
  // made: create temporary files with CreateTemporaryFile.
  bool MakeTempName(bool unique, int attempts, CTempNameGenerator& names = CTempNameGenerator::ForProcess());
  // Bytes free to the caller on the volume of this path (drive or share),
  // capped at 2147483647; -1 when unknown.
  int FreeSpace() const;
  // Bytes per cluster of the volume of this path; 0 when unknown.
  DWORD ClusterSize() const;

private:
  std::string path_;
};

namespace path_name_detail {
// The root FreeSpace measures for a directory as GetDirectory gives it:
// "X:\" for a drive, "\\server\share\" for a UNC path, empty otherwise.
std::string VolumeRoot(std::string_view directory);
// A 64-bit byte count as FreeSpace reports it.
int CapByteCount(unsigned long long bytes) noexcept;
}  // namespace path_name_detail
