// The kit's INI reader on damaged copies of a setup profile that mkkit
// wrote and of an install log that the log's writer wrote. Every damaged
// text reads (there is no bad INI text), and what it answers holds
// together: a text saved and read back answers the same, a value written
// reads back as written, and the data model loads from it or is refused
// with the profile's own exception.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FuzzTarget.h"
#include "SeedKit.h"
#include "setup/log/InstallLog.h"
#include "setup/log/InstallLogWriter.h"
#include "setup/profile/IniText.h"
#include "setup/profile/InstallModel.h"
#include "setup/profile/InstallProfileException.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestFiles.h"

namespace {

using fuzz::Bytes;

const std::vector<std::string> kIniTokens = {
    "[destinations]\r\n", "[groups]\r\n", "[targets]\r\n", "[diskettes]\r\n", "[PMGroup]\r\n", "[Events]\r\n",
    "[Main]\r\n", "=", "|", "||", "\r\n", "\n", "\r", ";", "[", "]", "\"", "'", " ", "\t", "\x1A", "-1", "-3",
    "65536", "99999999999", std::string(300, 'v')};

// The answers of a text that a reader of it can see.
std::string Answers(const CIniText& text) {
  std::string answers;
  for (const std::string& section : text.SectionNames()) {
    answers += "[" + section + "]\n";
    text.ForEachKey(section, [&](std::string_view key, std::string_view value) {
      answers.append(key).append("=").append(value).append("\n");
    });
    for (const std::string& line : text.SectionLines(section)) answers += line + "\n";
  }
  return answers;
}

fuzz::Outcome ReadAndCheck(const Bytes& input) {
  CIniText text(fuzz::ToText(input));
  const std::string answers = Answers(text);
  fuzz::Check(Answers(CIniText(text.ToString())) == answers, "the text saved and read back answers otherwise");
  text.Set("Main", "written.dat", "0|1|0");
  fuzz::Check(text.Find("main", "WRITTEN.DAT").value_or("") == "0|1|0", "a value written does not read back");
  CInstallModel model("Veltrane");
  try {
    model.Load(text);
    model.destinations.Resolve();
  } catch (const CInstallProfileException&) {
    return fuzz::Outcome::refused;
  }
  return fuzz::Outcome::taken;
}

}  // namespace

TEST(IniTextFuzz, DamagedProfilesReadAndHoldTogether) {
  const SeedKit kit;
  ASSERT_TRUE(kit.built);
  const fuzz::Corpus corpus{{kit.BytesOf("DISK01\\_setupx.ini")}, kIniTokens, true};
  const fuzz::Result result = fuzz::Run(corpus, ReadAndCheck, TargetOptions("ini.profile", 3000));
  EXPECT_TRUE(result.failures.empty()) << ::testing::PrintToString(result.failures);
}

TEST(IniTextFuzz, DamagedLogsReadAndHoldTogether) {
  // A log as an installation leaves it: the model's sections, records and
  // an event.
  const TempDir dir;
  const CPathName path(dir / "veltapp.log");
  {
    CInstallModel model("Veltrane");
    model.Load(CIniText(std::string("[destinations]\r\n0=Veltrane|-1|C:\\Velt\r\n1=Data|0|\r\n[groups]\r\n"
                                    "Main=Main files||1|1|1\r\n[targets]\r\nveltapp.exe=0|0|0|Veltrane|||\r\n")));
    model.destinations.Resolve();
    model.targets.Find("veltapp.exe")->programPath = CPathName("C:\\Velt\\veltapp.exe");
    CInstallLog log(path);
    CInstallLogWriter writer(log);
    writer.BeginRun(model);
    writer.AddFile("Main", CPathName("C:\\Velt\\veltapp.exe"), 0, true, false);
    writer.AddFile("Main", CPathName("C:\\Velt\\Data\\samples.csv"), 1, true, true);
    writer.AddFile("Main", CPathName("C:\\Windows\\System32\\veltsh32.dll"), -3, false, false);
    writer.Event("Kit not checked: it has no seal (%s)", "_kitseal.sha");
    writer.WriteModel(model);
  }
  const fuzz::Corpus corpus{{fuzz::ToBytes(ReadFileBytes(path.GetPath()))}, kIniTokens, true};
  const fuzz::Result result = fuzz::Run(corpus, ReadAndCheck, TargetOptions("ini.log", 3000));
  EXPECT_TRUE(result.failures.empty()) << ::testing::PrintToString(result.failures);
}
