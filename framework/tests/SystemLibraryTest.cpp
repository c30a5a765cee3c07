// Libraries of the system loaded by full path: only a plain name, only from
// the folders given, the first folder that holds the file wins.
#include <gtest/gtest.h>

#include <windows.h>

#include <cctype>
#include <string>
#include <vector>

#include "framework/SystemLibrary.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestFiles.h"

namespace {

std::string Folder(UINT(WINAPI* get)(LPSTR, UINT)) {
  char path[MAX_PATH] = {};
  get(path, MAX_PATH);
  return path;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string ModulePath(HMODULE module) {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(module, path, MAX_PATH);
  return Lower(path);
}

}  // namespace

TEST(SystemLibrary, TheFoldersAreTheSystemDirectoryThenTheWindowsDirectoryAndNothingElse) {
  EXPECT_EQ(std::vector<std::string>{Folder(::GetSystemDirectoryA)}, LibraryFolderPaths(LibraryFolders::system));
  EXPECT_EQ((std::vector<std::string>{Folder(::GetSystemDirectoryA), Folder(::GetWindowsDirectoryA)}),
            LibraryFolderPaths(LibraryFolders::systemThenWindows));
}

TEST(SystemLibrary, LoadsOnlyAPlainNameFromTheFirstFolderThatHoldsIt) {
  TempDir empty;
  TempDir planted;
  // A file of that name that is no library: the next folder is tried.
  ASSERT_TRUE(WriteFileBytes(planted / "version.dll", "not a library"));
  const std::string system = Folder(::GetSystemDirectoryA);
  const struct {
    const char* name;
    std::vector<std::string> folders;
    bool loads;
  } rows[] = {
      {"version.dll", {empty.path(), system}, true},
      {"version.dll", {"", system}, true},
      {"version.dll", {planted.path(), system}, true},
      {"version.dll", {empty.path()}, false},
      {"version.dll", {}, false},
      {"no-such-library.dll", {system}, false},
      {"..\\version.dll", {system + "\\drivers"}, false},
      {"C:version.dll", {system}, false},
      {"sub/version.dll", {system}, false},
      {"", {system}, false},
  };
  for (const auto& row : rows) {
    const CSystemLibrary library(row.name, row.folders);
    EXPECT_EQ(row.loads, library.IsLoaded()) << row.name << " in " << row.folders.size() << " folders";
    if (library.IsLoaded()) {
      EXPECT_EQ(Lower(system + "\\" + row.name), ModulePath(library.Module()));
      EXPECT_NE(nullptr, library.Find<FARPROC>("GetFileVersionInfoSizeA"));
      EXPECT_EQ(nullptr, library.Find<FARPROC>("NoSuchFunction"));
    } else {
      EXPECT_EQ(nullptr, library.Find<FARPROC>("GetFileVersionInfoSizeA"));
    }
  }
}

TEST(SystemLibrary, RestrictingTheSearchStillLeavesTheSystemsLibrariesToLoadByName) {
  // Every system this suite runs on (Wine, Windows 8 and later, and earlier
  // ones with SetDllDirectoryA) takes one of the two ways.
  EXPECT_NE(0, RestrictDllSearch());
  const HMODULE loaded = ::LoadLibraryA("version.dll");
  EXPECT_NE(nullptr, loaded);
  if (loaded) ::FreeLibrary(loaded);
}
