#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "KitTestSupport.h"
#include "setup/archive/KitSeal.h"
#include "setup/profile/IniText.h"
#include "setup/profile/ProductIdentity.h"
#include "tests/support/BmpBuilder.h"
#include "setup/archive/MediaReader.h"
#include "setup/archive/MediaFileName.h"
#include "tools/mkkit/KitException.h"
#include "tools/mkkit/KitOutputFolder.h"

namespace {

class KitRoundTrip : public ::testing::Test, public KitFolder {
protected:
  // Reads every member of the archive name that starts on diskette 1 of the
  // kit, as the setup program does; returns the member names and the number
  // of the diskette the last part was on.
  std::pair<std::vector<std::string>, int> ReadArchive(MediaKind kind, const std::string& name) {
    class Drive : public CSourceMedia {
    public:
      Drive(std::string root, MediaKind kind) : root_(std::move(root)), kind_(kind) {}

    protected:
      bool PromptForDiskette(const CPathName& expected, int n) override {
        SetSourceDir(CKitBuilder::DisketteFolder(root_, kind_, n));
        return GetSourcePath(expected.GetFileName()).Exists();
      }

    private:
      std::string root_;
      MediaKind kind_;
    } drive(dir / "out", kind);
    drive.SetSourceDir(CKitBuilder::DisketteFolder(dir / "out", kind, 1));
    CMediaReader entry(drive, name, 1);
    entry.OpenArchive(entry.GetSourcePath());
    auto member = entry.CreateMemberFile();
    std::vector<std::string> names;
    ::CreateDirectoryA((dir / "x").c_str(), nullptr);
    while (entry.NextEntry(*member)) {
      names.push_back(member->GetMemberName());
      member->SetOutputPath(CPathName(dir / ("x\\" + FileNamePart(member->GetMemberName()))));
      entry.Extract(*member);
    }
    return {names, entry.GetDisketteNumber()};
  }
};

}  // namespace

TEST_F(KitRoundTrip, EveryMediaKindBuildsAndReadsBack) {
  Source("prog.exe", NoiseOf(9000, 1));
  Source("empty.txt", "");
  Source("big.dat", NoiseOf(30000, 2));  // spans three diskettes of 12 KiB
  Source("read.me", TextOf(4000, 'r'));
  Source("shared.dll", TextOf(20000, 's'));
  const std::string files =
      "[files.Main]\r\nprog.exe=src\\prog.exe|0\r\nread.me=src\\read.me|0|main.ar1\r\n"
      "empty.txt=src\\empty.txt|0|main.ar1\r\nbig.dat=src\\big.dat|1|main.ar1\r\nempty2.txt=src\\empty.txt|-1\r\n"
      "[files.More]\r\nshared.dll=src\\shared.dll|-3|more.ar1\r\n";
  for (MediaKind kind : {MediaKind::diskettes, MediaKind::cd, MediaKind::flat}) {
    SCOPED_TRACE(MediaKindName(kind));
    CKitDescription d = Load(Description("capacity=12288\r\n", files));
    d.media = kind;
    ASSERT_EQ(kExitOk, Build(d));
    EXPECT_EQ(kExitOk, Verify(&d));
    const auto [names, lastDiskette] = ReadArchive(kind, "main.ar1");
    EXPECT_EQ((std::vector<std::string>{"read.me", "empty.txt", "big.dat"}), names);
    EXPECT_EQ(Read(dir / "src\\big.dat"), Read(dir / "x\\big.dat"));
    EXPECT_EQ("", Read(dir / "x\\empty.txt"));
    EXPECT_EQ(kind == MediaKind::flat ? 1 : 4, lastDiskette);  // 1: setup, prog.exe, start; 2, 3, 4
    if (kind == MediaKind::diskettes) {
      // The spanning archive is listed as marked, so that it is read after
      // the other files of its first diskette.
      const std::string profile = Read(dir / "out\\disk1\\_setupx.ini");
      EXPECT_NE(std::string::npos, profile.find("main.ar1=34000|1|3|-1|0|")) << profile;
      EXPECT_NE(std::string::npos, profile.find("prog.exe=9000|0|1|1|0|")) << profile;
      EXPECT_NE(std::string::npos, profile.find("empty2.txt=0|0|1|4|-1|")) << profile;
      // No parent is written as -1: an empty field would read as 0.
      EXPECT_NE(std::string::npos, profile.find("0=Prog|-1|C:\\Prog")) << profile;
    }
  }
}

TEST_F(KitRoundTrip, PartBoundariesNearMemberBoundaries) {
  // Stored members, so that sizes on the media are known exactly: a (3000
  // bytes), b (5000), an empty c, d (2000). The first diskette holds the
  // setup program, the room of the profile and the seal (2048) and the
  // archive's first part, which would end at offset `end` of the archive's
  // entries.
  Source("a", TextOf(3000, 'a'));
  Source("b", TextOf(5000, 'b'));
  Source("c", "");
  Source("d", TextOf(2000, 'd'));
  const std::string files =
      "[files.Main]\r\na=src\\a|0|set.ar1\r\nb=src\\b|0|set.ar1\r\nc=src\\c|0|set.ar1\r\nd=src\\d|0|set.ar1\r\n";
  const std::int64_t aEnd = 346 + 3000, bEnd = aEnd + 346 + 5000;
  std::vector<std::int64_t> ends;
  for (std::int64_t shift : {-347, -346, -345, -1, 0, 1, 345, 346, 347}) ends.push_back(aEnd + shift);
  for (std::int64_t shift : {-1, 0, 1, 346, 347, 692, 693}) ends.push_back(bEnd + shift);
  for (std::int64_t end : ends) {
    SCOPED_TRACE("first part ends at " + std::to_string(end));
    const std::uint64_t capacity = kSetupSize + 2048 + 8 + end;
    CKitDescription d = Load(Description("cluster=1\r\nmethod=stored\r\ncapacity=" + std::to_string(capacity) + "\r\n", files));
    ASSERT_EQ(kExitOk, Build(d));
    EXPECT_EQ(kExitOk, Verify(&d));
  }
}

TEST_F(KitRoundTrip, TheSameInputsGiveTheSameBytes) {
  Source("one.txt", TextOf(7000, '1'));
  Source("two.bin", NoiseOf(15000, 2));
  const std::string path = Description("capacity=10240\r\n",
                                       "[files.Main]\r\none.txt=src\\one.txt|0|k.ar1\r\ntwo.bin=src\\two.bin|1|k.ar1\r\n");
  const CKitDescription d = Load(path);
  ASSERT_EQ(kExitOk, Build(d, "first"));
  ASSERT_EQ(kExitOk, Build(d, "second"));
  for (const char* file :
       {"disk1\\_setupx.ini", "disk1\\_setupx.exe", "disk1\\k.ar1", "disk2\\k.ar2", "disk1\\_kitseal.sha"}) {
    const std::string a = Read(dir / ("first\\" + std::string(file)));
    EXPECT_FALSE(a.empty()) << file;
    EXPECT_EQ(a, Read(dir / ("second\\" + std::string(file)))) << file;
  }
}

TEST_F(KitRoundTrip, VerifyNamesTheFirstProblem) {
  Source("plain.txt", TextOf(3000, 'p'));
  Source("m1.txt", TextOf(6000, 'm'));
  Source("m2.bin", NoiseOf(3000, 3));
  const CKitDescription d = Load(Description(
      "capacity=8192\r\n",
      "[files.Main]\r\nplain.txt=src\\plain.txt|0\r\nm1.txt=src\\m1.txt|0|v.ar1\r\nm2.bin=src\\m2.bin|1|v.ar1\r\n"));
  ASSERT_EQ(kExitOk, Build(d));
  ASSERT_EQ(kExitOk, Verify(&d));
  const std::string ar1 = dir / "out\\disk1\\v.ar1";
  const std::string ar2 = dir / "out\\disk2\\v.ar2";
  const std::uint64_t ar2Size = Read(ar2).size();
  const struct {
    std::string file;
    std::uint64_t offset;
    bool withDescription;
    const char* message;
  } rows[] = {
      {ar1, 0, false, "File is not an archive file."},
      {ar1, 8 + 2, false, "Archive file damaged (missing entry header)."},
      {ar1, 8 + 346 + 1, false, "Archive file damaged (data error)."},
      {ar1, 8 + 284, false, "Archive file damaged (CRC Mismatch)"},
      // Named by what failed, never by the program's class names.
      {ar1, 8 + 284, false, "Archive file damaged (CRC Mismatch) (archive error 5)"},
      {ar1, 8 + 346 + 1, false, "Archive file damaged (data error). (deflate error 3)"},
      {ar1, 8 + 292, false, "Unknown compression method."},
      {ar1, 8 + 16, true, "not in the description"},  // a member name only the description knows
      {ar2, 3, false, "File is not an archive file."},
      {ar2, ar2Size - 1, false, "m2.bin"},       // stored data: the checksum catches it
      {dir / "out\\disk1\\plain.txt", 100, true, "plain.txt differs from its source"},
      // Plain files carry no checksum: only the seal knows their bytes.
      {dir / "out\\disk1\\plain.txt", 100, false, "plain.txt differs from the kit's seal"},
      {dir / "out\\disk1\\_setupx.exe", 400, false, "_setupx.exe differs from the kit's seal"},
      {dir / "out\\disk1\\_setupx.ini", 40, true, "[destinations] 1 is \"Dat;|0|\"; the description says \"Data|0|\""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file + " @" + std::to_string(row.offset));
    std::string bytes = Read(row.file);
    ASSERT_LT(row.offset, bytes.size());
    const std::string original = bytes;
    bytes[row.offset] = static_cast<char>(bytes[row.offset] ^ 0x5A);
    WriteFileBytes(row.file, bytes);
    try {
      Verify(row.withDescription ? &d : nullptr);
      ADD_FAILURE() << "the damage went unnoticed";
    } catch (CKitException& e) {
      EXPECT_EQ(kExitVerifyFailed, e.GetExitCode());
      EXPECT_NE(std::string::npos, e.GetErrorMessage().find(row.message)) << e.GetErrorMessage();
    }
    WriteFileBytes(row.file, original);
  }
  // The seal's digest of a part's entry headers, which the setup program
  // checks before it extracts a member of the part (the member m2.bin
  // spans both parts, so v.ar2 begins with its data).
  const std::string seal = dir / "out\\disk1\\_kitseal.sha";
  const std::string sealText = Read(seal);
  for (const char* part : {" 1 v.ar1\r\n", " 2 v.ar2\r\n"}) {
    SCOPED_TRACE(part);
    // The header line follows the part's own line.
    const std::size_t own = sealText.find(part);
    ASSERT_NE(std::string::npos, own);
    const std::size_t at = sealText.find(part, own + 1);
    ASSERT_NE(std::string::npos, at);
    ASSERT_EQ(0u, sealText.compare(sealText.rfind('\n', at) + 1, 8, "headers "));
    std::string edited = sealText;
    edited[at - 1] = edited[at - 1] == '0' ? '1' : '0';  // the digest's last hex digit
    WriteFileBytes(seal, edited);
    try {
      Verify(nullptr);
      ADD_FAILURE() << "a header digest that differs went unnoticed";
    } catch (CKitException& e) {
      EXPECT_NE(std::string::npos, e.GetErrorMessage().find("has entry headers other than the kit's seal says"))
          << e.GetErrorMessage();
    }
  }
  WriteFileBytes(seal, sealText);
  // A missing part, and a kit without its setup program.
  ::MoveFileA(ar2.c_str(), (ar2 + ".x").c_str());
  EXPECT_THROW(Verify(nullptr), CKitException);
  ::MoveFileA((ar2 + ".x").c_str(), ar2.c_str());
  ::DeleteFileA((dir / "out\\disk1\\_setupx.exe").c_str());
  try {
    Verify(nullptr);
    ADD_FAILURE() << "a kit without its setup program passed";
  } catch (CKitException& e) {
    EXPECT_NE(std::string::npos, e.GetErrorMessage().find("_setupx.exe is missing"));
  }
  KitVerifyOptions lenient;
  lenient.allowMissingSetup = true;
  EXPECT_EQ(kExitIncomplete, CKitVerifier(dir / "out", lenient).Verify());
}

TEST_F(KitRoundTrip, MissingSetupProgramIsAnErrorUnlessAllowed) {
  Source("f.txt", "f");
  const CKitDescription d =
      Load(Description("setup=src\\nothere.exe\r\n", "[files.Main]\r\nf.txt=src\\f.txt|0\r\n"));
  try {
    Build(d);
    ADD_FAILURE() << "built without the setup program";
  } catch (CKitException& e) {
    EXPECT_EQ(kExitBadInput, e.GetExitCode());
    EXPECT_NE(std::string::npos, e.GetErrorMessage().find("nothere.exe is missing"));
  }
  KitBuildOptions options;
  options.outputDir = dir / "out";
  options.allowMissingSetup = true;
  EXPECT_EQ(kExitIncomplete, CKitBuilder(d, options).Build());
}

TEST_F(KitRoundTrip, MissingAndTruncatedPartsAreToldApart) {
  Source("m1.txt", TextOf(6000, 'm'));
  Source("m2.bin", NoiseOf(16000, 3));
  Source("m3.txt", TextOf(3000, 'n'));
  const CKitDescription d = Load(Description("capacity=8192\r\n",
                                             "[files.Main]\r\nm1.txt=src\\m1.txt|0|v.ar1\r\nm2.bin=src\\m2.bin|1|v.ar1\r\n"
                                             "m3.txt=src\\m3.txt|1|v.ar1\r\n"));
  ASSERT_EQ(kExitOk, Build(d));
  const std::string ar2 = dir / "out\\disk2\\v.ar2";
  const std::string ar3 = dir / "out\\disk3\\v.ar3";
  const std::string seal = dir / "out\\disk1\\_kitseal.sha";
  const std::string sealText = Read(seal);
  const auto expectProblem = [&](const std::string& message) {
    try {
      Verify(nullptr);
      ADD_FAILURE() << "passed; expected: " << message;
    } catch (CKitException& e) {
      EXPECT_EQ(kExitVerifyFailed, e.GetExitCode());
      EXPECT_NE(std::string::npos, e.GetErrorMessage().find(message)) << e.GetErrorMessage();
    }
  };
  ASSERT_FALSE(Read(ar3).empty()) << "the archive spans three diskettes";
  // With the seal: the part it lists is missing, or shorter than it says.
  ::MoveFileA(ar2.c_str(), (ar2 + ".x").c_str());
  expectProblem("v.ar2 is missing; the kit's seal lists it");
  ::DeleteFileA(seal.c_str());
  expectProblem("goes on in the part v.ar2, which is missing from diskette 2");
  ::MoveFileA((ar2 + ".x").c_str(), ar2.c_str());
  std::ofstream(seal, std::ios::binary) << sealText;

  // The last member lies wholly in v.ar3; cut its data short.
  const std::string ar3Bytes = Read(ar3);
  std::ofstream(ar3, std::ios::binary) << ar3Bytes.substr(0, ar3Bytes.size() - 10);
  expectProblem("bytes; the kit's seal says " + std::to_string(ar3Bytes.size()) + " (truncated)");
  ::DeleteFileA(seal.c_str());
  expectProblem("the part v.ar3 ends inside the data of m3.txt");
}

TEST_F(KitRoundTrip, TheSetupProgramIsInstalledIntoTheInstallationDirectory) {
  Source("f.txt", "f");
  const std::string setupRecord = std::to_string(kSetupSize) + "|0|1|1|0|";
  const auto record = [&](const char* group) {
    char value[256] = {};
    ::GetPrivateProfileStringA(group, "_setupx.exe", "", value, sizeof value, (dir / "out\\disk1\\_setupx.ini").c_str());
    return std::string(value);
  };
  ASSERT_EQ(kExitOk, Build(Load(Description("", "[files.More]\r\nf.txt=src\\f.txt|1\r\n"))));
  EXPECT_EQ(setupRecord, record("Main")) << "by default in the first group";
  EXPECT_EQ(kExitOk, Verify(nullptr));
  ASSERT_EQ(kExitOk, Build(Load(Description("setupgroup=more\r\n", "[files.More]\r\nf.txt=src\\f.txt|1\r\n"))));
  EXPECT_EQ(setupRecord, record("More"));
  EXPECT_EQ("", record("Main"));

  // A profile that installs it elsewhere leaves a product that cannot be removed.
  std::string profile = Read(dir / "out\\disk1\\_setupx.ini");
  const auto at = profile.find("_setupx.exe=" + setupRecord);
  ASSERT_NE(std::string::npos, at);
  profile[at + std::string("_setupx.exe=").size() + setupRecord.size() - 2] = '1';  // destination 1
  std::ofstream(dir / "out\\disk1\\_setupx.ini", std::ios::binary) << profile;
  try {
    Verify(nullptr);
    ADD_FAILURE() << "a kit that cannot be removed passed";
  } catch (CKitException& e) {
    EXPECT_EQ(kExitVerifyFailed, e.GetExitCode());
    EXPECT_NE(std::string::npos, e.GetErrorMessage().find("does not install the setup program _setupx.exe"))
        << e.GetErrorMessage();
  }
}

namespace {

// Every file and folder below root, relative to it.
void ListTree(const std::string& root, const std::string& rel, std::vector<std::string>& out) {
  WIN32_FIND_DATAA data;
  CFindHandle find(::FindFirstFileA((root + rel + "\\*").c_str(), &data));
  if (!find.valid()) return;
  do {
    const std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    out.push_back(rel + "\\" + name);
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ListTree(root, rel + "\\" + name, out);
  } while (::FindNextFileA(find.get(), &data));
}

// Building d into output is refused: exit code 1, a message that names
// output and says why, and nothing below root changes.
void ExpectRefused(const CKitDescription& d, const std::string& root, const std::string& output, bool clean,
                   const std::string& why) {
  std::vector<std::string> before, after;
  ListTree(root, "", before);
  KitBuildOptions options;
  options.outputDir = output;
  options.clean = clean;
  try {
    CKitBuilder(d, options).Build();
    ADD_FAILURE() << "built into " << output;
  } catch (CKitException& e) {
    EXPECT_EQ(kExitUsage, e.GetExitCode());
    EXPECT_NE(std::string::npos, e.GetErrorMessage().find(why)) << e.GetErrorMessage();
    EXPECT_NE(std::string::npos, e.GetErrorMessage().find("cannot build into " + FullPath(output)))
        << e.GetErrorMessage();
  }
  ListTree(root, "", after);
  EXPECT_EQ(before, after) << "nothing is deleted";
}

}  // namespace

TEST_F(KitRoundTrip, CleanReplacesOnlyAKitThatMkkitBuilt) {
  Source("f.txt", TextOf(3000, 'f'));
  const CKitDescription d = Load(Description("", "[files.Main]\r\nf.txt=src\\f.txt|0\r\n"));
  ASSERT_EQ(kExitOk, Build(d));
  ASSERT_EQ(kExitOk, Build(d)) << "a kit mkkit built is replaced";
  ::CreateDirectoryA((dir / "stranger").c_str(), nullptr);
  ::CreateDirectoryA((dir / "stranger\\disk1").c_str(), nullptr);
  std::ofstream(dir / "stranger\\disk1\\_kitseal.sha", std::ios::binary) << Read(dir / "out\\disk1\\_kitseal.sha");
  std::ofstream(dir / "stranger\\disk1\\_setupx.ini", std::ios::binary) << "the user's own";
  std::ofstream(dir / "stranger\\disk1\\letter.doc", std::ios::binary) << "the user's own";
  ::CreateDirectoryA((dir / "plain").c_str(), nullptr);
  std::ofstream(dir / "plain\\notes.txt", std::ios::binary) << "the user's own";

  const struct {
    std::string output;
    bool clean;
    const char* message;
  } rows[] = {
      {dir.path(), true, "which the kit is built from"},          // the description's folder
      {dir / "src", true, "which the kit is built from"},         // the sources' folder
      {dir / "stranger", true, "letter.doc, which no earlier mkkit run wrote there"},
      {dir / "plain", true, "holds no kit that mkkit built"},
      {dir / "out", false, "it is not empty (--clean replaces"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.output);
    ExpectRefused(d, dir.path(), row.output, row.clean, row.message);
  }
}

namespace {

template <class Fn>
Fn Export(const char* module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleA(module), name)));
}

bool IsReparsePoint(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

std::wstring Widen(const std::string& text) {
  std::wstring wide(text.size() + 1, L'\0');
  const int n = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  wide.resize(n > 0 ? static_cast<std::size_t>(n - 1) : 0);
  return wide;
}

// Under Wine: the file's path on the host, or empty.
std::string HostPath(const std::string& path) {
  using UnixNameFn = char*(CDECL*)(LPCWSTR);
  const auto unixName = Export<UnixNameFn>("kernel32.dll", "wine_get_unix_file_name");
  char* name = unixName ? unixName(Widen(path).c_str()) : nullptr;
  if (!name) return {};
  std::string out = name;
  ::HeapFree(::GetProcessHeap(), 0, name);
  return out;
}

// Under Wine: runs a program of the host on paths of this system and waits
// until done says it has done its work (Wine does not wait for such a
// program). False when this is not Wine or the program did not start.
bool RunOnHost(const char* program, const std::vector<std::string>& arguments, const std::function<bool()>& done) {
  using DosNameFn = WCHAR*(CDECL*)(const char*);
  const auto dosName = Export<DosNameFn>("kernel32.dll", "wine_get_dos_file_name");
  WCHAR* dosProgram = dosName ? dosName(program) : nullptr;
  if (!dosProgram) return false;
  std::wstring command = L"\"" + std::wstring(dosProgram) + L"\"";
  ::HeapFree(::GetProcessHeap(), 0, dosProgram);
  for (const std::string& argument : arguments) {
    const std::string hostPath = argument.front() == '-' ? argument : HostPath(argument);
    if (hostPath.empty()) return false;
    command += L" \"" + Widen(hostPath) + L"\"";
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    return false;
  }
  const CHandle process(info.hProcess), thread(info.hThread);
  for (int waited = 0; waited < 5000 && !done(); waited += 50) ::Sleep(50);
  return done();
}

// Makes link a symbolic link to the folder target and says whether the
// system shows it as a reparse point. CreateSymbolicLinkA where Windows has
// it; Wine's does nothing, but Wine shows a link of the host to a folder as
// one, so there the host's ln makes it. (A host link to a file Wine shows
// as the file itself, and deleting it deletes the file it leads to: no
// such link is made.)
bool MakeLink(const std::string& link, const std::string& target, bool folder) {
  using CreateSymbolicLinkFn = BOOLEAN(WINAPI*)(LPCSTR, LPCSTR, DWORD);
  constexpr DWORD kDirectoryLink = 1;       // SYMBOLIC_LINK_FLAG_DIRECTORY
  constexpr DWORD kUnprivilegedCreate = 2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
  if (const auto create = Export<CreateSymbolicLinkFn>("kernel32.dll", "CreateSymbolicLinkA")) {
    if (create(link.c_str(), target.c_str(), (folder ? kDirectoryLink : 0) | kUnprivilegedCreate) &&
        IsReparsePoint(link)) {
      return true;
    }
  }
  return folder && RunOnHost("/bin/ln", {"-s", target, link}, [&] { return IsReparsePoint(link); });
}

// Takes the link away, never what it leads to.
void RemoveLink(const std::string& link, bool folder) {
  const auto gone = [&] { return ::GetFileAttributesA(link.c_str()) == INVALID_FILE_ATTRIBUTES; };
  if (RunOnHost("/bin/rm", {link}, gone)) return;
  if (folder) {
    ::RemoveDirectoryA(link.c_str());
  } else {
    ::DeleteFileA(link.c_str());
  }
}

}  // namespace

TEST_F(KitRoundTrip, CleanNeitherFollowsNorDeletesThroughALink) {
  Source("f.txt", TextOf(3000, 'f'));
  const CKitDescription d = Load(Description("", "[files.Main]\r\nf.txt=src\\f.txt|0\r\n"));
  ASSERT_EQ(kExitOk, Build(d));
  // What a link leads to: the user's own files, which no clean may touch.
  ::CreateDirectoryA((dir / "victim").c_str(), nullptr);
  std::ofstream(dir / "victim\\f.txt", std::ios::binary) << "the user's own";

  const struct {
    std::string link;  // made for the row and taken away after it
    std::string target;
    bool folder;
    std::string output;  // what is cleaned
    std::string message;
  } rows[] = {
      {dir / "out\\disk1\\more", dir / "victim", true, dir / "out",
       "holds the junction or symbolic link " + (dir / "out\\disk1\\more")},
      {dir / "out\\disk1\\linked.txt", dir / "victim\\f.txt", false, dir / "out",
       "holds the junction or symbolic link " + (dir / "out\\disk1\\linked.txt")},
      {dir / "outlink", dir / "out", true, dir / "outlink", "it is a junction or symbolic link"},
  };
  int made = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.link);
    if (!MakeLink(row.link, row.target, row.folder)) {
      std::printf("no link that shows as a reparse point could be made at %s\n", row.link.c_str());
      continue;
    }
    ++made;
    ExpectRefused(d, dir.path(), row.output, true, row.message);
    EXPECT_EQ("the user's own", Read(dir / "victim\\f.txt"));
    RemoveLink(row.link, row.folder);
  }
  if (made == 0) GTEST_SKIP() << "this system makes no symbolic links";
  EXPECT_EQ(kExitOk, Build(d)) << "without the links the kit is replaced again";
}

TEST_F(KitRoundTrip, AKitNamingItsProductCarriesItOnTheFirstDisketteSealed) {
  Source("atlas.exe", ProgramImage(700, 5));
  Source("licence.txt", "Korvel Atlas may be used on one computer.\r\n");
  const std::vector<std::uint8_t> bmp = BmpBuilder{}.Build();
  Source("splash.bmp", std::string(bmp.begin(), bmp.end()));
  const std::string description = Description(
      "", "[files.Main]\r\natlas.exe=src\\atlas.exe|0|a.ar1\r\n",
      "[product]\r\nname=Korvel Atlas ${ver}\r\nversion=${ver}\r\npublisher=Korvel Maps Ltd\r\nprogram=atlas.exe\r\n"
      "licence=src\\licence.txt\r\nsplash=src\\splash.bmp\r\nbillboards=src\\splash.bmp|src\\splash.bmp\r\n"
      "url=https://korvel.example/\r\nhostmenu=yes\r\n");
  CKitDescription d;
  d.Load(description, {{"ver", "3.2"}});
  ASSERT_EQ(kExitOk, Build(d));

  const CProductIdentity product = CProductIdentity::Read(CIniText(Read(dir / "out\\disk1\\_setupx.ini")));
  EXPECT_TRUE(product.named);
  EXPECT_EQ("Korvel Atlas 3.2", product.name) << "${NAME} in a text";
  EXPECT_EQ("3.2", product.version);
  EXPECT_EQ("KorvelAtlas3.2", product.key);
  EXPECT_TRUE(product.hostMenu);
  CKitSeal seal;
  ASSERT_TRUE(seal.Parse(Read(dir / "out\\disk1\\" + CKitSeal::kFileName)));
  for (const std::string& name : {std::string(CProductIdentity::kLicenceFile), std::string(CProductIdentity::kSplashFile),
                                  CProductIdentity::BillboardFile(0), CProductIdentity::BillboardFile(1)}) {
    EXPECT_TRUE(seal.Find(1, name)) << name << " is on the first diskette, sealed";
  }
  EXPECT_EQ(Read(dir / "src\\licence.txt"), Read(dir / "out\\disk1\\_license.txt"));
  EXPECT_EQ(kExitOk, Verify(&d));
}
