// mkkit: builds the distribution of a product from its kit description,
// and verifies a kit the way the setup program reads it. See README.md,
// "Kit builder", for the options, the description and the exit codes.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <string>

#include "setup/archive/NamedFile.h"
#include "tools/mkkit/KitBuilder.h"
#include "tools/mkkit/KitDescription.h"
#include "tools/mkkit/KitException.h"
#include "tools/mkkit/KitOutputFolder.h"
#include "tools/mkkit/KitSigner.h"
#include "tools/mkkit/KitVerifier.h"
#include "tools/mkkit/NativePath.h"

namespace {

const char kUsage[] =
    "usage: mkkit [options] DESCRIPTION OUTPUT   build the kit DESCRIPTION describes into OUTPUT\n"
    "       mkkit --verify [options] KIT         read the kit in KIT as the setup program would\n"
    "options:\n"
    "  --media=diskettes|cd|flat   the media (build: overrides [kit] media; verify: found when absent)\n"
    "  --capacity=BYTES            bytes per diskette (overrides [kit] capacity)\n"
    "  --setup=PATH                the setup program for the first diskette (overrides [kit] setup)\n"
    "  --allow-missing-setup       go on without the setup program; the exit code is then 5\n"
    "  -D NAME=VALUE               the value of ${NAME} in the description's paths\n"
    "  --description=FILE          verify: also compare every file with its source\n"
    "  --clean                     build: replace the kit an earlier mkkit run built in OUTPUT\n"
    "  --quiet                     no progress lines and no build summary\n"
    "  --list                      build: the summary lists every file and archive member\n"
    "  --report=FILE               build: also write the summary into FILE (outside OUTPUT)\n"
    "  --warnings-as-errors        build: stop with exit code 2, writing nothing, when there are warnings\n"
    "  --cd-menu=DIR               build a CD: its root gets cdlaunch.exe, the files of DIR and autorun.inf\n"
    "  --sign=COMMAND              build: sign _setupx.exe and the files the description marks sign before\n"
    "                              they go into the kit: COMMAND runs on a copy of each, %1 standing for the\n"
    "                              copy's quoted path, and must sign it in place (signtool sign /f my.pfx %1;\n"
    "                              under Wine a command that begins with a Unix path is a /bin/sh line:\n"
    "                              /usr/bin/osslsigncode sign ... -in %1 -out %1.s && mv %1.s %1);\n"
    "                              a command that fails stops the build with exit code 3, OUTPUT untouched\n"
    "  --version                   the version and the formats mkkit writes\n"
    "exit codes: 0 done, 1 usage, 2 bad description or input, 3 read/write failure,\n"
    "            4 verification failed, 5 done without the setup program\n";

const char kVersion[] =
    "mkkit 1.1\n"
    "writes: the setup profile _setupx.ini; multi-file archives (parts headed \"mflh\", entries \"mfen\" of\n"
    "        version 1 with 346-byte headers, members stored or deflated); the kit seal _kitseal.sha, version 2;\n"
    "        for a CD with a menu, autorun.inf for cdlaunch\n";

struct Options {
  bool verify = false;
  bool quiet = false;
  bool list = false;
  bool warningsAsErrors = false;
  std::string report;
  std::string cdMenu;
  std::string sign;
  bool clean = false;
  bool allowMissingSetup = false;
  std::optional<MediaKind> media;
  std::optional<std::uint64_t> capacity;
  std::string setup;
  std::string description;
  std::map<std::string, std::string> defines;
  std::string args[2];
  int argCount = 0;
};

// A path as the Windows calls want it. Under Wine a Unix path ("/home/...")
// is turned into the DOS path of the same file; elsewhere, and for every
// other path, the text stays as given.
std::string FromUnixPath(const std::string& path) {
  if (path.size() < 2 || path[0] != '/' || path[1] == '/') return path;
  using ToDos = WCHAR*(CDECL*)(LPCSTR);
  const HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
  const FARPROC proc = kernel ? ::GetProcAddress(kernel, "wine_get_dos_file_name") : nullptr;
  if (!proc) return path;
  WCHAR* dos = reinterpret_cast<ToDos>(reinterpret_cast<void (*)()>(proc))(path.c_str());
  if (!dos) return path;
  char converted[MAX_PATH] = {};
  const int n = ::WideCharToMultiByte(CP_ACP, 0, dos, -1, converted, sizeof converted, nullptr, nullptr);
  ::HeapFree(::GetProcessHeap(), 0, dos);
  return n > 0 ? std::string(converted) : path;
}

// A path from the command line as the program uses and prints it.
std::string CommandLinePath(const std::string& path) { return NativeSeparators(FromUnixPath(path)); }

[[noreturn]] void Usage(const std::string& problem) {
  std::fprintf(stderr, "mkkit: %s\n%s", problem.c_str(), kUsage);
  std::exit(kExitUsage);
}

bool TakeValue(const std::string& arg, const char* name, std::string& value) {
  const std::string prefix = std::string(name) + "=";
  if (arg.rfind(prefix, 0) != 0) return false;
  value = arg.substr(prefix.size());
  return true;
}

Options ParseCommandLine(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    std::string value;
    if (arg == "--verify") o.verify = true;
    else if (arg == "--quiet") o.quiet = true;
    else if (arg == "--clean") o.clean = true;
    else if (arg == "--allow-missing-setup") o.allowMissingSetup = true;
    else if (arg == "--list") o.list = true;
    else if (arg == "--warnings-as-errors") o.warningsAsErrors = true;
    else if (arg == "--version" || arg == "-V") {
      std::fputs(kVersion, stdout);
      std::exit(kExitOk);
    }
    else if (arg == "--help" || arg == "-h" || arg == "/?") {
      std::fputs(kUsage, stdout);
      std::exit(kExitOk);
    } else if (TakeValue(arg, "--media", value)) {
      MediaKind kind;
      if (!ParseMediaKind(value, kind)) Usage("--media is diskettes, cd or flat");
      o.media = kind;
    } else if (TakeValue(arg, "--capacity", value)) {
      char* end = nullptr;
      const unsigned long long n = std::strtoull(value.c_str(), &end, 10);
      if (value.empty() || *end != '\0' || n == 0 || n > 0xFFFFFFFFull) {
        Usage("--capacity is a number of bytes from 1 to 4294967295");
      }
      o.capacity = n;
    } else if (TakeValue(arg, "--setup", value)) {
      o.setup = CommandLinePath(value);
    } else if (TakeValue(arg, "--description", value)) {
      o.description = CommandLinePath(value);
    } else if (TakeValue(arg, "--report", value)) {
      if (value.empty()) Usage("--report wants a file name");
      o.report = CommandLinePath(value);
    } else if (TakeValue(arg, "--cd-menu", value)) {
      if (value.empty()) Usage("--cd-menu wants the menu's folder");
      o.cdMenu = CommandLinePath(value);
    } else if (TakeValue(arg, "--sign", value)) {
      const std::string problem = CKitSigner::CheckCommand(value);
      if (!problem.empty()) Usage(problem);
      o.sign = value;
    } else if (arg == "-D" || arg.rfind("-D", 0) == 0) {
      const std::string define = arg == "-D" ? (i + 1 < argc ? argv[++i] : "") : arg.substr(2);
      const auto eq = define.find('=');
      if (eq == std::string::npos || eq == 0) Usage("-D wants NAME=VALUE");
      o.defines[define.substr(0, eq)] = CommandLinePath(define.substr(eq + 1));
    } else if (arg.size() > 1 && arg[0] == '-') {
      Usage("unknown option " + arg + (arg == "-v" ? " (--version prints the version)" : ""));
    } else {
      if (o.argCount == 2) Usage("too many arguments");
      o.args[o.argCount++] = CommandLinePath(arg);
    }
  }
  if (o.argCount != (o.verify ? 1 : 2)) Usage(o.verify ? "--verify wants the kit's folder" : "DESCRIPTION and OUTPUT wanted");
  if (o.verify && (o.list || !o.report.empty() || o.warningsAsErrors || !o.cdMenu.empty() || !o.sign.empty())) {
    Usage("--list, --report, --warnings-as-errors, --cd-menu and --sign are options of a build");
  }
  return o;
}

// Prints a progress line once a run has taken a while, at most one a second.
class ProgressLine {
public:
  explicit ProgressLine(bool quiet) : quiet_(quiet), last_(::GetTickCount()) {}
  void operator()(const std::string& line) {
    const DWORD now = ::GetTickCount();
    if (quiet_ || now - last_ < 1000) return;
    last_ = now;
    std::fprintf(stderr, "mkkit: %s\n", line.c_str());
    std::fflush(stderr);
  }

private:
  bool quiet_;
  DWORD last_;
};

// The file name beside mkkit.exe itself.
std::string BesideThisProgram(const std::string& name) {
  char path[MAX_PATH] = {};
  const DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return name;
  std::string folder(path, n);
  return folder.substr(0, folder.find_last_of('\\') + 1) + name;
}

void CountWarnings(std::size_t count) {
  if (count > 0) std::fprintf(stderr, "mkkit: %zu %s\n", count, count == 1 ? "warning" : "warnings");
}

int Run(const Options& o) {
  ProgressLine progress(o.quiet);
  auto report = [&](const std::string& line) { progress(line); };
  if (o.verify) {
    CKitDescription description;
    KitVerifyOptions options;
    options.media = o.media;
    options.allowMissingSetup = o.allowMissingSetup;
    options.progress = report;
    if (!o.description.empty()) {
      description.Load(o.description, o.defines);
      options.description = &description;
    }
    CKitVerifier verifier(o.args[0], options);
    const KitExitCode code = verifier.Verify();
    std::printf("mkkit: %s kit %s: %d files and %d archive members read, all as the profile says%s; %s\n",
                MediaKindName(verifier.GetMedia()), o.args[0].c_str(), verifier.GetFilesChecked(),
                verifier.GetMembersChecked(), options.description ? " and equal to their sources" : "",
                verifier.GetFilesSealed() > 0
                    ? (std::to_string(verifier.GetFilesSealed()) + " files as the kit's seal says").c_str()
                    : "the kit carries no seal");
    if (verifier.GetCdMenuNames() > 0) {
      std::printf("mkkit: the CD's autorun.inf: all %d commands, pictures and sounds it names are on the CD\n",
                  verifier.GetCdMenuNames());
    }
    if (verifier.GetSetupSignature().state != AuthenticodeInfo::State::notImage) {
      std::printf("mkkit: the setup program _setupx.exe %s%s\n", DescribeAuthenticode(verifier.GetSetupSignature()).c_str(),
                  verifier.GetSetupSignature().state == AuthenticodeInfo::State::present
                      ? "; whom it names and whether Windows trusts it are not checked"
                      : "");
    }
    if (code == kExitIncomplete) std::printf("mkkit: INCOMPLETE: the setup program _setupx.exe is missing\n");
    return code;
  }
  if (!o.report.empty() && IsInside(FullPath(o.report), FullPath(o.args[1]))) {
    Usage("--report=" + o.report + " lies in OUTPUT, where the next --clean would refuse it; write it beside the kit");
  }
  CKitDescription description;
  description.Load(o.args[0], o.defines);
  if (o.media) description.media = *o.media;
  if (o.capacity) description.capacity = *o.capacity;
  KitBuildOptions options;
  options.outputDir = o.args[1];
  options.setupProgram = o.setup;
  options.allowMissingSetup = o.allowMissingSetup;
  options.clean = o.clean;
  options.progress = report;
  options.warningsAsErrors = o.warningsAsErrors;
  options.cdMenu = o.cdMenu;
  options.defaultLauncher = BesideThisProgram("cdlaunch.exe");
  options.signCommand = o.sign;
  options.warn = [](const std::string& warning) {
    std::fprintf(stderr, "mkkit: %s\n", warning.c_str());
    std::fflush(stderr);
  };
  CKitBuilder builder(description, options);
  const KitExitCode code = builder.Build();
  const int diskettes = builder.GetLayout()->GetDisketteCount();
  std::printf("mkkit: built a %s kit in %s (%d %s)\n", MediaKindName(description.media), o.args[1].c_str(),
              diskettes, description.media == MediaKind::flat ? "folder" : diskettes == 1 ? "diskette" : "diskettes");
  if (code == kExitIncomplete) {
    std::printf("mkkit: INCOMPLETE: built without the setup program _setupx.exe; this kit cannot be installed\n");
  }
  if (!builder.GetSignedFiles().empty()) {
    std::string names;
    for (const std::string& name : builder.GetSignedFiles()) names += (names.empty() ? "" : ", ") + name;
    std::printf("mkkit: signed with the --sign command: %s\n", names.c_str());
  }
  if (!o.quiet) std::fputs(builder.GetSummary().Render(description, o.args[1], o.list).c_str(), stdout);
  if (!o.report.empty()) {
    const std::string text = builder.GetSummary().Render(description, o.args[1], o.list, true);
    CNamedFile file;
    file.OpenWrite(CPathName(o.report));
    file.Write(text.data(), static_cast<UINT>(text.size()));
    file.Close();
  }
  CountWarnings(builder.GetWarnings().size());
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = ParseCommandLine(argc, argv);
  try {
    return Run(options);
  } catch (CKitException& e) {
    std::fprintf(stderr, "mkkit: %s\n", e.GetErrorMessage().c_str());
    return e.GetExitCode();
  } catch (CFileException& e) {
    std::fprintf(stderr, "mkkit: %s\n", e.GetErrorMessage().c_str());
    return kExitIoError;
  } catch (CException& e) {
    std::fprintf(stderr, "mkkit: %s\n", e.GetErrorMessage().c_str());
    return kExitIoError;
  } catch (std::exception& e) {
    std::fprintf(stderr, "mkkit: %s\n", e.what());
    return kExitIoError;
  }
}
