#include "setup/install/ReplaceRule.h"

#include <windows.h>

#include <ctime>
#include <vector>

#include "framework/FormatText.h"
#include "framework/ScopedHandle.h"
#include "framework/SystemLibrary.h"
#include "setup/archive/ArchiveMember.h"
#include "framework/JoinText.h"

namespace {

// The version functions, from the system directory's VERSION.DLL, loaded
// once for the run when the first existing file is compared.
struct CVersionFunctions {
  using GetSizeFn = DWORD(WINAPI*)(LPCSTR, LPDWORD);
  using GetInfoFn = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
  using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);

  bool Complete() const { return getSize && getInfo && query; }

  const CSystemLibrary library{"version.dll"};
  const GetSizeFn getSize = library.Find<GetSizeFn>("GetFileVersionInfoSizeA");
  const GetInfoFn getInfo = library.Find<GetInfoFn>("GetFileVersionInfoA");
  const QueryFn query = library.Find<QueryFn>("VerQueryValueA");
};

const CVersionFunctions& VersionFunctions() {
  static const CVersionFunctions functions;
  return functions;
}

}  // namespace

bool ReadFileVersion(const CPathName& path, CFileVersion& version) {
  if (path.IsEmpty() || path.IsTooLong()) return false;
  const CVersionFunctions& api = VersionFunctions();
  // Without the library no file has a version: times decide.
  if (!api.Complete()) return false;
  DWORD handle = 0;
  const DWORD size = api.getSize(path.c_str(), &handle);
  if (size == 0) return false;
  std::vector<char> block(size);
  if (!api.getInfo(path.c_str(), 0, size, block.data())) return false;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!api.query(block.data(), "\\", reinterpret_cast<void**>(&info), &length) || !info ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return false;
  }
  version.part[0] = HIWORD(info->dwFileVersionMS);
  version.part[1] = LOWORD(info->dwFileVersionMS);
  version.part[2] = HIWORD(info->dwFileVersionLS);
  version.part[3] = LOWORD(info->dwFileVersionLS);
  return true;
}

namespace {

// A file's modification time and size; both 0 when it cannot be read.
struct CFileStamp {
  std::uint32_t time = 0;
  std::uint64_t size = 0;
};

CFileStamp ReadStamp(const CPathName& path) {
  CFileStamp stamp;
  if (path.IsEmpty() || path.IsTooLong()) return stamp;
  WIN32_FIND_DATAA data;
  const CFindHandle find(::FindFirstFileA(path.c_str(), &data));
  if (!find.valid()) return stamp;
  stamp.time = FileTimeToArchiveTime(data.ftLastWriteTime);
  stamp.size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  return stamp;
}

}  // namespace

std::uint32_t ReadModificationTime(const CPathName& path) { return ReadStamp(path).time; }

namespace {

std::string VersionText(const CFileVersion& v) {
  char text[32];
  FormatText(text, sizeof text, "%u.%u.%u.%u", v.part[0], v.part[1], v.part[2], v.part[3]);
  return text;
}

std::string TimeText(std::uint32_t secondsSince1970) {
  if (secondsSince1970 == 0) return "unknown";
  const std::time_t time = static_cast<std::time_t>(secondsSince1970);
  char text[32] = "unknown";
  if (const std::tm* utc = std::gmtime(&time)) std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", utc);
  return text;
}

}  // namespace

CReplaceDecision DecideReplacement(const CPathName& newFile, const CPathName& existingFile, bool describe) {
  CFileVersion newVersion;
  CFileVersion existingVersion;
  const bool newHasVersion = ReadFileVersion(newFile, newVersion);
  const bool existingHasVersion = ReadFileVersion(existingFile, existingVersion);
  CReplaceDecision decision;
  if (newHasVersion && existingHasVersion) {
    decision.replace = newVersion >= existingVersion;
    if (describe) decision.reason = JoinText({"version ", VersionText(newVersion), " against ", VersionText(existingVersion)});
    return decision;
  }
  if (newHasVersion != existingHasVersion) {
    decision.replace = newHasVersion;
    if (describe) {
      decision.reason = newHasVersion
                            ? JoinText({"the new file has a version (", VersionText(newVersion),
                                        "), the existing one has none"})
                            : JoinText({"the existing file has a version (", VersionText(existingVersion),
                                        "), the new one has none"});
    }
    return decision;
  }
  const CFileStamp created = ReadStamp(newFile);
  const CFileStamp existing = ReadStamp(existingFile);
  if (existing.size == 0 && created.size != 0) {
    decision.replace = true;
    if (describe) decision.reason = "the existing file is empty";
    return decision;
  }
  decision.replace = created.time > existing.time;
  if (describe) decision.reason = JoinText({"modified ", TimeText(created.time), " against ", TimeText(existing.time), " (UTC)"});
  return decision;
}

bool ShouldReplace(const CPathName& newFile, const CPathName& existingFile) {
  return DecideReplacement(newFile, existingFile, false).replace;
}
