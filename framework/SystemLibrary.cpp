#include "framework/SystemLibrary.h"

#include <cstring>

namespace {

// Only a plain file name: no folder, no drive, nothing that could send the
// loader elsewhere than the folder we name.
bool IsPlainFileName(const char* name) {
  if (!name || !*name) return false;
  if (std::strpbrk(name, "\\/:") != nullptr) return false;
  return std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0;
}

std::string FolderOf(UINT(WINAPI* get)(LPSTR, UINT)) {
  char buffer[MAX_PATH] = {};
  const UINT length = get(buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  std::string folder(buffer, length);
  while (!folder.empty() && folder.back() == '\\') folder.pop_back();
  return folder;
}

}  // namespace

std::vector<std::string> LibraryFolderPaths(LibraryFolders where) {
  std::vector<std::string> folders;
  if (std::string system = FolderOf(::GetSystemDirectoryA); !system.empty()) folders.push_back(std::move(system));
  if (where == LibraryFolders::systemThenWindows) {
    if (std::string windows = FolderOf(::GetWindowsDirectoryA); !windows.empty()) folders.push_back(std::move(windows));
  }
  return folders;
}

CSystemLibrary::CSystemLibrary(const char* fileName, LibraryFolders where) {
  LoadFirst(fileName, LibraryFolderPaths(where));
}

CSystemLibrary::CSystemLibrary(const char* fileName, const std::vector<std::string>& folders) {
  LoadFirst(fileName, folders);
}

void CSystemLibrary::LoadFirst(const char* fileName, const std::vector<std::string>& folders) {
  if (!IsPlainFileName(fileName)) return;
  for (const std::string& folder : folders) {
    if (folder.empty()) continue;
    const std::string path = folder + '\\' + fileName;
    if (path.size() >= MAX_PATH) continue;
    // Only a file that is there is handed to the loader, so that a library
    // comes from the folder that holds it and from nowhere else (Wine may
    // answer a path to a missing file with a built-in library of its own).
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    // The library's own imports are looked for beside it first, in the
    // folder it was loaded from, not beside the program.
    module_.reset(::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (module_) return;
  }
}

int RestrictDllSearch() {
  HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
  if (!kernel) return 0;
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  using SetDllDirectoryAFn = BOOL(WINAPI*)(LPCSTR);
  constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
  const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void (*)()>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (setDefault && setDefault(kSearchSystem32)) return 2;
  const auto setDirectory = reinterpret_cast<SetDllDirectoryAFn>(
      reinterpret_cast<void (*)()>(::GetProcAddress(kernel, "SetDllDirectoryA")));
  if (setDirectory && setDirectory("")) return 1;
  return 0;
}
