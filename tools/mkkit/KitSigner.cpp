#include "tools/mkkit/KitSigner.h"

#include <windows.h>

#include "setup/archive/NamedFile.h"
#include "setup/archive/StoredCodec.h"
#include "setup/paths/TemporaryFile.h"
#include "tools/mkkit/KitAuthenticode.h"
#include "tools/mkkit/KitCommand.h"
#include "tools/mkkit/KitException.h"
#include "tools/mkkit/KitOutputFolder.h"
#include "tools/mkkit/LowerCase.h"

namespace {

constexpr DWORD kCarriedAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

bool IsFile(const std::string& path) {
  const DWORD a = ::GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// The folder temporary files go to, with its trailing '\'.
std::string TemporaryFolder() {
  char temp[MAX_PATH];
  const DWORD n = ::GetTempPathA(MAX_PATH, temp);
  return n > 0 && n < MAX_PATH ? std::string(temp, n) : std::string();
}

}  // namespace

CKitSigner::CKitSigner(std::string command, std::function<void(const std::string&)> progress)
    : command_(std::move(command)), progress_(std::move(progress)) {}

CKitSigner::~CKitSigner() {
  for (const std::string& copy : made_) {
    ::SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(copy.c_str());
  }
}

std::string CKitSigner::CheckCommand(const std::string& command) {
  if (command.find_first_not_of(" \t") == std::string::npos) return "--sign wants the signing command";
  if (command.find("%1") == std::string::npos) {
    return "--sign's command has no %1 where the path of the file to sign goes (signtool sign /f my.pfx %1)";
  }
  return {};
}

bool CKitSigner::IsHostCommand(const std::string& command) {
  const auto first = command.find_first_not_of(" \t");
  if (first == std::string::npos || command[first] != '/') return false;
  if (first + 1 < command.size() && command[first + 1] == '/') return false;  // a network path, //server/...
  return CanRunHostCommands();
}

std::string CKitSigner::Substitute(const std::string& command, const std::string& path, bool host) {
  const std::string quoted = host ? ShellQuoted(path) : "\"" + path + "\"";
  const auto quote = [&](char c) { return c == '"' || (host && c == '\''); };
  std::string out;
  for (std::size_t i = 0; i < command.size();) {
    if (command.compare(i, 2, "%1") == 0) {
      // "%1" (or '%1' for the shell): the command's own quotes give way to ours.
      if (!out.empty() && quote(out.back()) && i + 2 < command.size() && command[i + 2] == out.back()) {
        out.pop_back();
        out += quoted;
        i += 3;
        continue;
      }
      out += quoted;
      i += 2;
      continue;
    }
    out += command[i++];
  }
  return out;
}

std::vector<std::string> CKitSigner::Warnings(const CKitDescription& description, bool signing) {
  if (signing) return {};
  std::size_t marked = 0;
  const KitFile* first = nullptr;
  for (const KitFile& f : description.files) {
    if (!f.sign) continue;
    if (!first) first = &f;
    ++marked;
  }
  if (!first) return {};
  return {description.Where(first->line) + ": warning: " +
          (marked == 1 ? first->name + " is marked"
                       : std::to_string(marked) + " files (the first: " + first->name + ") are marked") +
          " for signing, but no --sign command was given: the kit ships them unsigned, and its setup program too"};
}

const std::string& CKitSigner::Input(const std::string& source) const {
  const auto it = copies_.find(Lower(FullPath(source)));
  return it == copies_.end() ? source : it->second;
}

const std::string& CKitSigner::Sign(const std::string& source, const std::string& name, const std::string& where) {
  const std::string key = Lower(FullPath(source));
  if (const auto it = copies_.find(key); it != copies_.end()) return it->second;
  if (progress_) progress_("signing " + name);
  const std::string failed = (where.empty() ? "" : where + ": ") + "signing " + name + " (" + source + ") failed: ";

  // The copy: a new file under an unguessable name, with the source's
  // extension (some signing tools go by it).
  const std::string folder = TemporaryFolder();
  if (folder.empty()) throw CKitException(kExitIoError, failed + "there is no temporary folder for the copy to sign");
  CPathName copy(folder + name);
  try {
    CNamedFile in, out;
    in.OpenRead(CPathName(source));
    if (!CreateTemporaryFile(copy, [&](const CPathName& path) { return out.CreateNew(path); })) {
      throw CKitException(kExitIoError, failed + "every temporary name tried in " + folder + " was taken");
    }
    made_.push_back(copy.GetPath());  // deleted however the build ends
    CStoredCodec().Transfer(in, out);
    out.Close();
  } catch (CFileException& e) {
    throw CKitException(kExitIoError, failed + "cannot copy it to " + copy.GetPath() + " to sign: " + e.GetErrorMessage());
  }

  const bool host = IsHostCommand(command_);
  std::string line;
  KitCommandResult result;
  if (host) {
    const std::string hostPath = HostPathOf(copy.GetPath());
    if (hostPath.empty()) throw CKitException(kExitIoError, failed + "Wine gives no host path for " + copy.GetPath());
    line = Substitute(command_, hostPath, true);
    result = RunHostShell(line);
  } else {
    line = Substitute(command_, copy.GetPath(), false);
    result = RunWindowsCommand(line);
  }
  const std::string command = "; the command was: " + line;
  if (!result.started) {
    const bool wine = CanRunHostCommands();
    throw CKitException(kExitIoError, failed + "the command cannot be started: " + result.error +
                                          (wine && !host ? " (under Wine, a program of the host is given by its path: "
                                                           "/usr/bin/osslsigncode ...)"
                                                         : "") +
                                          command);
  }
  if (result.exitCode != 0) {
    const char* shell = !host                        ? ""
                        : result.exitCode == 127 ? " (the shell found no such command)"
                        : result.exitCode == 126 ? " (the shell could not run the command)"
                                                 : "";
    throw CKitException(kExitIoError,
                        failed + "the command ended with exit code " + std::to_string(result.exitCode) + shell + command);
  }
  if (!IsFile(copy.GetPath())) {
    throw CKitException(kExitIoError, failed + "the command ended with exit code 0, but the copy it was to sign, " +
                                          copy.GetPath() + ", is gone" + command);
  }
  const AuthenticodeInfo signature = ReadAuthenticode(copy.GetPath());
  if (signature.state != AuthenticodeInfo::State::present) {
    throw CKitException(kExitIoError, failed + "the command ended with exit code 0, but the copy " +
                                          DescribeAuthenticode(signature) +
                                          " (a signing command must sign the file %1 names in place)" + command);
  }
  // The copy stands in for the source: it takes the source's time and
  // attributes, which the kit carries.
  CFileStatus status, stamp;
  if (!CFile::GetStatus(source, status)) throw CKitException(kExitIoError, failed + source + " is gone");
  stamp.m_mtime = status.m_mtime;
  stamp.m_attribute = status.m_attribute & kCarriedAttributes;
  CFile::SetStatus(copy.GetPath(), stamp);
  signedNames_.push_back(name);
  return copies_.emplace(key, copy.GetPath()).first->second;
}
