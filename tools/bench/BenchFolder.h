// A working folder of a benchmark's own under the temporary directory,
// deleted with everything in it when the object goes; and the deletion of a
// folder tree, through the shell.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

// Deletes folder with everything in it, quietly; nothing when it is absent.
inline void DeleteTree(const std::string& folder) {
  std::string from = folder;
  from.push_back('\0');  // the shell's list of names ends in two zeros
  SHFILEOPSTRUCTA operation{};
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
  ::SHFileOperationA(&operation);
}

class CBenchFolder {
public:
  explicit CBenchFolder(const char* prefix) {
    char base[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, base);
    for (unsigned n = ::GetTickCount() ^ ::GetCurrentProcessId();; ++n) {
      path_ = std::string(base) + prefix + std::to_string(n % 1000000);
      if (::CreateDirectoryA(path_.c_str(), nullptr)) break;
    }
  }
  ~CBenchFolder() { DeleteTree(path_); }
  CBenchFolder(const CBenchFolder&) = delete;
  CBenchFolder& operator=(const CBenchFolder&) = delete;

  // path + "\" + name
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
  std::string path_;
};
