#include <gtest/gtest.h>

#include <string>

#include "setup/profile/IniText.h"
#include "setup/profile/InstallModel.h"
#include "setup/profile/InstallProfileException.h"
#include "setup/profile/ProfileCheck.h"

namespace {

// A profile as the kit builder writes it, with one place to put damage.
std::string Profile(const std::string& destinations, const std::string& groups, const std::string& files,
                    const std::string& sections = "") {
  return "[destinations]\r\n0=Velt|-1|C:\\Velt\r\n" + destinations + "[groups]\r\nProgram=||1|1|1\r\n" + groups +
         "[Program]\r\nveltapp.exe=100|0|0|1|0|\r\nvelt.ar1=300|1|2|1|0|\r\n" + files + sections;
}

struct ProfileCheckRow {
  const char* name;
  std::string profile;
  int code;            // -1: the profile passes
  const char* fault;   // what the subject must say after the profile's path
};

const ProfileCheckRow kRows[] = {
    {"AKitBuildersProfile", Profile("1=Data|0|\r\n", "", ""), -1, ""},
    {"AGroupWithAnEmptySection", Profile("", "Empty=||1|1|1\r\n", "", "[Empty]\r\n"), -1, ""},
    {"ABuiltInParent", Profile("1=Fonts|-2|\r\n", "", ""), -1, ""},
    {"AParentThatIsNoDestination", Profile("1=Data|99|\r\n", "", ""), CInstallProfileException::unresolvedDestinations,
     "[destinations] 1: its parent 99 is not a destination"},
    {"ADestinationItsOwnParent", Profile("1=Data|1|\r\n", "", ""), CInstallProfileException::unresolvedDestinations,
     "[destinations] 1: its parents go round in a circle"},
    {"ALoopBelowAGoodDestination", Profile("1=A|2|\r\n2=B|3|\r\n3=C|2|\r\n", "", ""),
     CInstallProfileException::unresolvedDestinations, "[destinations] 1: its parents go round in a circle"},
    {"AGroupWithoutItsSection", Profile("", "Data=||0|1|1\r\n", ""), CInstallProfileException::badFileRecord,
     "[groups] Data: its section [Data] is missing"},
    {"AFileOfAThirdKind", Profile("", "", "extra.dat=5|2|0|1|0|\r\n"),
     CInstallProfileException::badFileRecord, "[Program] extra.dat: its kind 2 is neither a plain file (0) nor an archive (1)"},
    {"AKindBeyondSixteenBits", Profile("", "", "extra.dat=5|99999999|0|1|0|\r\n"),
     CInstallProfileException::badFileRecord,
     "[Program] extra.dat: its kind -7937 is neither a plain file (0) nor an archive (1)"},
};

class ProfileCheckTest : public ::testing::TestWithParam<ProfileCheckRow> {};

TEST_P(ProfileCheckTest, RefusesWhatWouldBePassedOverAndNamesTheRecord) {
  const ProfileCheckRow& row = GetParam();
  const CIniText text(row.profile);
  CInstallModel model;
  model.Load(text);
  const CPathName path("C:\\Kit\\_setupx.ini");
  try {
    CheckSetupProfile(text, model, path);
    EXPECT_EQ(-1, row.code) << "the profile passed";
  } catch (const CInstallProfileException& e) {
    EXPECT_EQ(row.code, e.GetErrorCode());
    EXPECT_EQ(std::string("C:\\Kit\\_setupx.ini, ") + row.fault, e.GetSubject());
  }
}

INSTANTIATE_TEST_SUITE_P(Profiles, ProfileCheckTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<ProfileCheckRow>& row) { return std::string(row.param.name); });

}  // namespace
