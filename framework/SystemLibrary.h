// CSystemLibrary: a DLL of Windows loaded by its full path in the system
// directory, never by a bare name. A program that runs elevated from a
// Downloads folder or a share must not load a DLL that someone put beside
// it, in the current directory or on PATH.
//
// RestrictDllSearch, the first step of every program, takes the program's
// own directory out of the search for DLLs loaded by name (by the system's
// own DLLs, too) where Windows allows it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/ScopedHandle.h"

// Where Windows keeps its own files: the system directory, then the Windows
// directory (for libraries that older systems or other vendors put there).
enum class LibraryFolders { system, systemThenWindows };

class CSystemLibrary {
public:
  CSystemLibrary() = default;
  // Loads fileName (a plain file name such as "version.dll") from the
  // folders given; empty when it is in none of them or does not load. A
  // name with a path or a drive in it is never loaded.
  explicit CSystemLibrary(const char* fileName, LibraryFolders where = LibraryFolders::system);
  // Loads fileName from the first of folders (full paths) that holds it.
  CSystemLibrary(const char* fileName, const std::vector<std::string>& folders);

  bool IsLoaded() const { return module_.valid(); }
  HMODULE Module() const { return module_.get(); }

  // The exported function procName as a pointer of type Fn; null when the
  // library is not loaded or lacks the function.
  template <class Fn>
  Fn Find(const char* procName) const {
    if (!module_) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(module_.get(), procName)));
  }

private:
  void LoadFirst(const char* fileName, const std::vector<std::string>& folders);

  CLibrary module_;
};

// The folders LibraryFolders names, as full paths without a final '\'.
std::vector<std::string> LibraryFolderPaths(LibraryFolders where);

// Calls SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) where the
// system has it, or else SetDllDirectoryA(""), which takes the current
// directory out of the search. Windows 95 and NT 4.0 have neither: there the
// programs rely on loading every DLL beyond the system's own by full path.
// Returns which of the two took effect (for tests): 2, 1, or 0 for none.
int RestrictDllSearch();
