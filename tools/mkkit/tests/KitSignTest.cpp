// mkkit --sign: the signing command's %1, the Authenticode signature as
// mkkit reads it from a program image, a kit signed with Debian's
// osslsigncode and a throw-away certificate that openssl makes (the
// signature in the kit's programs, the seal over the signed bytes, verify's
// report), and signing commands that fail (exit code 3, OUTPUT as it was,
// no copy left behind).
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "KitTestSupport.h"
#include "framework/ScopedHandle.h"
#include "setup/archive/MediaFileName.h"
#include "setup/archive/MediaReader.h"
#include "tests/support/UiDriver.h"
#include "tools/mkkit/KitAuthenticode.h"
#include "tools/mkkit/KitCommand.h"
#include "tools/mkkit/KitException.h"
#include "tools/mkkit/KitSigner.h"

namespace {

void Put32(std::string& image, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) image[at + i] = static_cast<char>(v >> (8 * i));
}

// A PE32 image (KitTestSupport's ProgramImage) whose 16 data directories
// are empty, as a linker writes them for a program without imports.
std::string PlainImage(std::size_t size) {
  std::string image = ProgramImage(size);
  constexpr std::size_t optional = 0x58, count = optional + 92, directories = optional + 96;
  Put32(image, count, 16);
  image.replace(directories, 16 * 8, 16 * 8, '\0');
  return image;
}

// The DER start of a PKCS #7 ContentInfo: SEQUENCE, then the object
// identifier of signedData (1.2.840.113549.1.7.2), or of data (...7.1).
std::string ContentInfo(bool signedData, std::size_t size) {
  std::string der("\x30\x82\x01\x00\x06\x09\x2A\x86\x48\x86\xF7\x0D\x01\x07", 14);
  der += signedData ? '\x02' : '\x01';
  der.resize(size, '\x42');
  return der;
}

// image with a certificate table appended as a signing tool does: the file
// padded to 8 bytes, one WIN_CERTIFICATE of the given type, the security
// directory pointing at it, and the CheckSum set.
std::string WithCertificate(std::string image, std::uint16_t type, const std::string& content) {
  image.resize((image.size() + 7) / 8 * 8, '\0');
  const std::size_t offset = image.size();
  std::string certificate(8, '\0');
  Put32(certificate, 0, static_cast<std::uint32_t>(8 + content.size()));
  certificate[4] = 0x00;
  certificate[5] = 0x02;  // revision 2.0
  certificate[6] = static_cast<char>(type);
  certificate[7] = static_cast<char>(type >> 8);
  certificate += content;
  certificate.resize((certificate.size() + 7) / 8 * 8, '\0');
  image += certificate;
  Put32(image, 0x58 + 64, 0x12345);  // CheckSum
  Put32(image, 0x58 + 96 + 4 * 8, static_cast<std::uint32_t>(offset));
  Put32(image, 0x58 + 96 + 4 * 8 + 4, static_cast<std::uint32_t>(certificate.size()));
  return image;
}

// Sets an environment variable for as long as the object lives.
class ScopedVariable {
public:
  ScopedVariable(const char* name, const std::string& value) : name_(name) {
    char old[MAX_PATH * 2];
    const DWORD n = ::GetEnvironmentVariableA(name, old, sizeof old);
    had_ = n > 0 && n < sizeof old;
    if (had_) old_.assign(old, n);
    ::SetEnvironmentVariableA(name, value.c_str());
  }
  ~ScopedVariable() { ::SetEnvironmentVariableA(name_, had_ ? old_.c_str() : nullptr); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
  const char* name_;
  bool had_ = false;
  std::string old_;
};

// What a run of mkkit.exe ended with and wrote on both its streams.
struct MkKitRun {
  std::optional<DWORD> code;
  std::string output;
};

MkKitRun RunMkKit(const std::string& arguments, const std::string& outputFile) {
  MkKitRun run;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  CHandle output(::CreateFileA(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!output.valid()) return run;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = output.get();
  startup.hStdError = output.get();
  std::string line = "\"" + ui::ProgramBesideTest("mkkit.exe") + "\" " + arguments;
  PROCESS_INFORMATION info{};
  if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
    run.output = "mkkit.exe did not start: error " + std::to_string(::GetLastError());
    return run;
  }
  const CHandle process(info.hProcess), thread(info.hThread);
  DWORD code = 0;
  if (::WaitForSingleObject(process.get(), 180000) == WAIT_OBJECT_0 && ::GetExitCodeProcess(process.get(), &code)) {
    run.code = code;
  }
  output.reset();
  run.output = ReadFileBytes(outputFile);
  return run;
}

// Every file below folder with its bytes, by its path below folder.
std::map<std::string, std::string> Snapshot(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const std::string& name : ListFolder(folder)) {
    const std::string path = folder + "\\" + name;
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      for (const auto& [below, bytes] : Snapshot(path)) files[name + "\\" + below] = bytes;
    } else {
      files[name] = ReadFileBytes(path);
    }
  }
  return files;
}

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The exit code of a line of the host's shell; 999 when it did not start.
std::uint32_t OnHost(const std::string& line) {
  const KitCommandResult result = RunHostShell(line);
  return result.started ? result.exitCode : 999;
}

// Extracts every member of the archive name in folder (one part) into
// into, under its file name.
void ExtractArchive(const std::string& folder, const std::string& name, const std::string& into) {
  ::CreateDirectoryA(into.c_str(), nullptr);
  CSourceMedia media(CPathName(folder + "\\"));
  CMediaReader entry(media, name, 1);
  entry.OpenArchive(entry.GetSourcePath());
  auto member = entry.CreateMemberFile();
  while (entry.NextEntry(*member)) {
    member->SetOutputPath(CPathName(into + "\\" + FileNamePart(member->GetMemberName())));
    entry.Extract(*member);
  }
}

// A kit in a test folder whose temporary folder (TMP, TEMP) is a folder of
// its own for the test's time, inherited by the mkkit.exe it runs: every
// copy to sign lands there, and must be gone afterwards.
class KitSign : public ::testing::Test, public KitFolder {
protected:
  KitSign() : tmp_(MadeFolder(dir / "tmp")), tmpVar_("TMP", tmp_), tempVar_("TEMP", tmp_) {}

  static std::string MadeFolder(const std::string& path) {
    ::CreateDirectoryA(path.c_str(), nullptr);
    return path;
  }

  std::vector<std::string> LeftInTemporaryFolder() const { return ListFolder(tmp_); }
  MkKitRun MkKit(const std::string& arguments) { return RunMkKit(arguments, dir / "mkkit-output.txt"); }

  const std::string tmp_;
  ScopedVariable tmpVar_, tempVar_;
};

}  // namespace

TEST(KitSigner, PutsTheCopysQuotedPathForEveryPercentOne) {
  const struct {
    const char* command;
    const char* path;
    bool host;
    const char* line;
  } rows[] = {
      {"signtool sign /a %1", "C:\\T\\ab.exe", false, "signtool sign /a \"C:\\T\\ab.exe\""},
      {"signtool sign /a \"%1\"", "C:\\T\\ab.exe", false, "signtool sign /a \"C:\\T\\ab.exe\""},
      {"tool -in %1 -out %1.s", "C:\\My Temp\\ab.exe", false,
       "tool -in \"C:\\My Temp\\ab.exe\" -out \"C:\\My Temp\\ab.exe\".s"},
      {"/usr/bin/osslsigncode sign -in %1 -out %1.s && mv %1.s %1", "/t/x y/a'b.exe", true,
       "/usr/bin/osslsigncode sign -in '/t/x y/a'\\''b.exe' -out '/t/x y/a'\\''b.exe'.s && mv '/t/x y/a'\\''b.exe'.s "
       "'/t/x y/a'\\''b.exe'"},
      {"/bin/tool '%1'", "/t/a.exe", true, "/bin/tool '/t/a.exe'"},
      {"/bin/tool \"%1\"", "/t/$HOME`x`.exe", true, "/bin/tool '/t/$HOME`x`.exe'"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.command);
    EXPECT_EQ(row.line, CKitSigner::Substitute(row.command, row.path, row.host));
  }
  EXPECT_NE("", CKitSigner::CheckCommand(""));
  EXPECT_NE(std::string::npos, CKitSigner::CheckCommand("signtool sign /a").find("has no %1"));
  EXPECT_EQ("", CKitSigner::CheckCommand("signtool sign /a %1"));
  EXPECT_FALSE(CKitSigner::IsHostCommand("signtool sign %1"));
  EXPECT_FALSE(CKitSigner::IsHostCommand("//server/share/sign.exe %1"));
  EXPECT_EQ(CanRunHostCommands(), CKitSigner::IsHostCommand("  /usr/bin/osslsigncode %1"));
}

TEST(KitAuthenticode, TellsASignatureFromNoneAndFromATableThatIsNone) {
  TempDir dir;
  const std::string image = PlainImage(1001);
  std::string outside = image;
  Put32(outside, 0x58 + 96 + 32, 4096);
  Put32(outside, 0x58 + 96 + 36, 64);
  std::string halfEmpty = image;
  Put32(halfEmpty, 0x58 + 96 + 36, 64);
  const struct {
    const char* name;
    std::string bytes;
    AuthenticodeInfo::State state;
    const char* says;
  } rows[] = {
      {"text", "not a program at all", AuthenticodeInfo::State::notImage, "is not a program image"},
      {"unsigned", image, AuthenticodeInfo::State::none, "carries no Authenticode signature"},
      {"signed", WithCertificate(image, 2, ContentInfo(true, 300)), AuthenticodeInfo::State::present,
       "carries an Authenticode signature (PKCS #7 signed data, 300 bytes)"},
      {"x509", WithCertificate(image, 1, ContentInfo(true, 300)), AuthenticodeInfo::State::damaged,
       "a certificate of type 1, not PKCS signed data"},
      {"data", WithCertificate(image, 2, ContentInfo(false, 300)), AuthenticodeInfo::State::damaged,
       "holds no PKCS #7 signed data"},
      {"outside", outside, AuthenticodeInfo::State::damaged, "points outside the file"},
      {"half", halfEmpty, AuthenticodeInfo::State::damaged, "half empty"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    WriteFileBytes(dir / row.name, row.bytes);
    const AuthenticodeInfo info = ReadAuthenticode(dir / row.name);
    EXPECT_EQ(row.state, info.state);
    EXPECT_NE(std::string::npos, DescribeAuthenticode(info).find(row.says)) << DescribeAuthenticode(info);
  }

  // Apart from its signature, a signed image is the image it was made from.
  EXPECT_EQ(-1, FirstDifferenceApartFromSignature(dir / "signed", dir / "unsigned"));
  EXPECT_EQ(-1, FirstDifferenceApartFromSignature(dir / "unsigned", dir / "signed"));
  std::string changed = WithCertificate(image, 2, ContentInfo(true, 300));
  changed[0x200] = 'X';
  WriteFileBytes(dir / "changed", changed);
  EXPECT_EQ(0x200, FirstDifferenceApartFromSignature(dir / "changed", dir / "unsigned"));
  WriteFileBytes(dir / "longer", image + std::string(3, '\0'));
  EXPECT_EQ(1001, FirstDifferenceApartFromSignature(dir / "longer", dir / "unsigned"))
      << "zero bytes that align no certificate table are a difference";
}

TEST_F(KitSign, ASignedKitCarriesTheSignaturesAndItsSealCoversTheSignedBytes) {
  if (!CanRunHostCommands()) GTEST_SKIP() << "not under Wine: the test signs with the host's osslsigncode";
  if (OnHost("command -v osslsigncode >/dev/null && command -v openssl >/dev/null") != 0) {
    GTEST_SKIP() << "osslsigncode or openssl is not installed on this machine (tools/bootstrap.sh installs both)";
  }
  // A throw-away certificate and its key.
  const std::string host = HostPathOf(dir.path());
  ASSERT_FALSE(host.empty());
  const std::string key = host + "/signer.key", certificate = host + "/signer.pem";
  ASSERT_EQ(0u, OnHost("openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj '/CN=Veltrane Test Signer' -keyout " +
                       ShellQuoted(key) + " -out " + ShellQuoted(certificate) + " 2>/dev/null"))
      << "openssl makes the certificate";

  // The real programs, built beside the test: osslsigncode signs only
  // images it can hash.
  const std::string bin = ui::ProgramBesideTest("");
  Source("readme.txt", TextOf(2000, 'r'));
  const std::string description = Description(
      "media=flat\r\nsetup=" + bin + "_setupx.exe\r\n",
      "[files.Main]\r\nveltapp.exe=" + bin + "veltapp.exe|0|velt.ar1||sign\r\nveltsh32.dll=" + bin +
          "veltsh32.dll|-3|||sign\r\nreadme.txt=src\\readme.txt|0\r\n");
  const std::string sources[] = {bin + "_setupx.exe", bin + "veltapp.exe", bin + "veltsh32.dll"};
  std::map<std::string, std::string> before;
  for (const std::string& source : sources) {
    before[source] = Read(source);
    ASSERT_EQ(AuthenticodeInfo::State::none, ReadAuthenticode(source).state) << source << " is built unsigned";
  }
  const std::string osslsigncode = "/usr/bin/env osslsigncode sign -certs " + ShellQuoted(certificate) + " -key " +
                                   ShellQuoted(key) + " -n Veltrane -h sha256";
  const std::string sign = osslsigncode + " -in %1 -out %1.signed && mv %1.signed %1";
  const std::string out = dir / "out";

  const MkKitRun built = MkKit("--quiet \"--sign=" + sign + "\" \"" + description + "\" \"" + out + "\"");
  ASSERT_EQ(std::optional<DWORD>(0), built.code) << built.output;
  EXPECT_NE(std::string::npos,
            built.output.find("signed with the --sign command: _setupx.exe, veltapp.exe, veltsh32.dll"))
      << built.output;
  EXPECT_EQ(std::vector<std::string>{}, LeftInTemporaryFolder()) << "the copies to sign are deleted";

  // The signatures are in the kit: the setup program, a plain file and an
  // archive member; the sources are as they were.
  ExtractArchive(out, "velt.ar1", dir / "members");
  for (const std::string& signedFile : {out + "\\_setupx.exe", out + "\\veltsh32.dll", dir / "members\\veltapp.exe"}) {
    SCOPED_TRACE(signedFile);
    EXPECT_EQ(AuthenticodeInfo::State::present, ReadAuthenticode(signedFile).state)
        << DescribeAuthenticode(ReadAuthenticode(signedFile));
  }
  EXPECT_EQ(-1, FirstDifferenceApartFromSignature(out + "\\_setupx.exe", bin + "_setupx.exe"))
      << "the kit's setup program is the built one with a signature";
  EXPECT_EQ(Read(dir / "src\\readme.txt"), Read(out + "\\readme.txt")) << "a file not marked is not signed";
  for (const std::string& source : sources) EXPECT_EQ(before[source], Read(source)) << source << " is never changed";
  // osslsigncode finds the signature's digest equal to the kit's bytes.
  EXPECT_EQ(0u, OnHost("osslsigncode verify -CAfile " + ShellQuoted(certificate) + " -in " +
                       ShellQuoted(HostPathOf(out + "\\_setupx.exe")) + " >/dev/null"));

  // verify reads the signed kit as sealed, reports the signature, and
  // compares the signed files with their sources apart from it.
  const MkKitRun verified = MkKit("--verify \"" + out + "\"");
  EXPECT_EQ(std::optional<DWORD>(0), verified.code) << verified.output;
  EXPECT_NE(std::string::npos, verified.output.find("files as the kit's seal says")) << verified.output;
  EXPECT_NE(std::string::npos,
            verified.output.find("mkkit: the setup program _setupx.exe carries an Authenticode signature (PKCS #7 "
                                 "signed data, "))
      << verified.output;
  const MkKitRun compared = MkKit("--verify \"--description=" + description + "\" \"" + out + "\"");
  EXPECT_EQ(std::optional<DWORD>(0), compared.code) << compared.output;
  EXPECT_NE(std::string::npos, compared.output.find("and equal to their sources")) << compared.output;
  // The seal holds the signed bytes: a byte of the signature changed is
  // damage like any other.
  std::string setup = Read(out + "\\_setupx.exe");
  setup[setup.size() - 20] = static_cast<char>(setup[setup.size() - 20] ^ 0x5A);
  WriteFileBytes(out + "\\_setupx.exe", setup);
  const MkKitRun damaged = MkKit("--verify \"" + out + "\"");
  EXPECT_EQ(std::optional<DWORD>(4), damaged.code) << damaged.output;
  EXPECT_NE(std::string::npos, damaged.output.find("_setupx.exe differs from the kit's seal")) << damaged.output;
  setup[setup.size() - 20] = static_cast<char>(setup[setup.size() - 20] ^ 0x5A);
  WriteFileBytes(out + "\\_setupx.exe", setup);

  // A product file whose signing fails is named with its line; the kit
  // built before stays as it was.
  const std::map<std::string, std::string> kit = Snapshot(out);
  const std::string failOnDll =
      "/bin/sh -c 'case \"$1\" in *.dll) exit 9;; esac; osslsigncode sign -certs \"$2\" -key \"$3\" -n Veltrane "
      "-in \"$1\" -out \"$1.s\" >/dev/null && mv \"$1.s\" \"$1\"' sh %1 " +
      ShellQuoted(certificate) + " " + ShellQuoted(key);
  const MkKitRun failed =
      MkKit("--quiet --clean \"--sign=" + failOnDll + "\" \"" + description + "\" \"" + out + "\"");
  EXPECT_EQ(std::optional<DWORD>(3), failed.code) << failed.output;
  EXPECT_NE(std::string::npos, failed.output.find("kit.ini:18: signing veltsh32.dll (" + bin + "veltsh32.dll) failed: "
                                                  "the command ended with exit code 9"))
      << failed.output;
  EXPECT_EQ(kit, Snapshot(out)) << "the kit built before is as it was";
  EXPECT_EQ(std::vector<std::string>{}, LeftInTemporaryFolder()) << "the copies signed before are deleted too";

  // On a CD, the menu program that AutoPlay starts is signed as well.
  const std::string menu = dir / "menu";
  ASSERT_TRUE(::CreateDirectoryA(menu.c_str(), nullptr));
  WriteFileBytes(menu + "\\readme.txt", "menu");
  const MkKitRun cd = MkKit("--quiet --media=cd \"--cd-menu=" + menu + "\" \"--sign=" + sign + "\" \"" + description +
                            "\" \"" + (dir / "cd") + "\"");
  ASSERT_EQ(std::optional<DWORD>(0), cd.code) << cd.output;
  EXPECT_EQ(AuthenticodeInfo::State::present, ReadAuthenticode(dir / "cd\\cdlaunch.exe").state);
  EXPECT_EQ(std::optional<DWORD>(0), MkKit("--verify \"" + (dir / "cd") + "\"").code) << "sealed as signed";
}

TEST_F(KitSign, AFailingCommandStopsTheBuildNamingTheFileAndLeavesOutputAsItWas) {
  const std::string setup = Source("_setupx.exe", PlainImage(kSetupSize));  // no certificate table, not a damaged one
  Source("f.txt", TextOf(3000, 'f'));
  const std::string description = Description("", "[files.Main]\r\nf.txt=src\\f.txt|0\r\n");
  ASSERT_EQ(kExitOk, Build(Load(description))) << "the kit a failed build must leave alone";
  const std::map<std::string, std::string> kit = Snapshot(dir / "out");
  const struct {
    const char* command;
    bool host;  // a line of the host's shell: only under Wine
    const char* message;
  } rows[] = {
      {"cmd /c exit 7 %1", false, "the command ended with exit code 7"},
      {"no-such-signer.exe %1", false, "the command cannot be started"},
      {"cmd /c rem %1", false, "the command ended with exit code 0, but the copy carries no Authenticode signature"},
      {"cmd /c del %1", false, "is gone"},
      {"/usr/bin/env false %1", true, "the command ended with exit code 1"},
      {"/no/such/signer %1", true, "the command ended with exit code 127 (the shell found no such command)"},
      {"/bin/true %1", true, "the command ended with exit code 0, but the copy carries no Authenticode signature"},
      {"/bin/rm %1", true, "is gone"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.command);
    if (row.host && !CanRunHostCommands()) continue;
    for (const char* output : {"out", "new"}) {
      const MkKitRun run = MkKit("--quiet --clean \"--sign=" + std::string(row.command) + "\" \"" + description +
                                 "\" \"" + (dir / output) + "\"");
      EXPECT_EQ(std::optional<DWORD>(3), run.code) << run.output;
      EXPECT_NE(std::string::npos, run.output.find("kit.ini:2: signing _setupx.exe (" + setup + ") failed: "))
          << run.output;
      EXPECT_NE(std::string::npos, run.output.find(row.message)) << run.output;
    }
    EXPECT_EQ(kit, Snapshot(dir / "out")) << "the earlier kit is as it was";
    EXPECT_FALSE(Exists(dir / "new")) << "no output folder is made";
    EXPECT_EQ(std::vector<std::string>{}, LeftInTemporaryFolder()) << "the copy to sign is deleted";
  }
}

TEST_F(KitSign, FilesMarkedForSigningWithoutACommandAreAWarning) {
  Source("a.exe", PlainImage(700));
  Source("b.dll", PlainImage(900));
  const CKitDescription d = Load(Description(
      "", "[files.Main]\r\na.exe=src\\a.exe|0|a.ar1||sign\r\nb.dll=src\\b.dll|-3|||SIGN\r\n"));
  ASSERT_EQ(2u, d.files.size());
  EXPECT_TRUE(d.files[0].sign);
  EXPECT_TRUE(d.files[1].sign) << "the flag's letter case does not matter";
  KitBuildOptions options;
  options.outputDir = dir / "out";
  std::vector<std::string> warnings;
  options.warn = [&](const std::string& w) { warnings.push_back(w); };
  CKitBuilder builder(d, options);
  EXPECT_EQ(kExitOk, builder.Build());
  std::vector<std::string> aboutSigning;
  for (const std::string& w : warnings) {
    if (w.find("signing") != std::string::npos) aboutSigning.push_back(w);
  }
  ASSERT_EQ(1u, aboutSigning.size());
  EXPECT_NE(std::string::npos,
            aboutSigning[0].find("kit.ini:15: warning: 2 files (the first: a.exe) are marked for signing, but no --sign "
                                 "command was given"))
      << aboutSigning[0];
  EXPECT_EQ(Read(dir / "src\\b.dll"), Read(dir / "out\\disk1\\b.dll")) << "unsigned, as it is";
  EXPECT_TRUE(builder.GetSignedFiles().empty());
  EXPECT_TRUE(CKitSigner::Warnings(d, true).empty()) << "with a command there is nothing to warn of";
}
