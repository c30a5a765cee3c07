#include <gtest/gtest.h>

#include "setup/errors/ErrorDescription.h"
#include "setup/profile/InstallProfileException.h"

namespace {

TEST(InstallProfileException, KeepsItsOwnTextsForEveryCode) {
  const char kLong[] =
      "The profile that holds application install information is missing or damaged. Possible causes:\r\n\r\n- "
      "damaged diskette 1\r\n- possible diskette alignment or hardware problem\r\n- insufficient disk space";
  for (int code : {CInstallProfileException::noDestinations, CInstallProfileException::unresolvedDestinations}) {
    try {
      throw CInstallProfileException(code);
    } catch (CException& e) {
      const ErrorDescription d = DescribeException(9, e);
      EXPECT_EQ("Incomplete or missing profile.", d.info.shortText) << code;
      EXPECT_EQ(kLong, d.info.longText) << code;
      EXPECT_EQ(0, d.info.helpContext) << code;
      EXPECT_EQ("CInstallProfileException", d.className) << code;
      EXPECT_EQ(code, d.errorCode);
      EXPECT_EQ("9." + std::to_string(code) + " (CInstallProfileException)", d.errorInformation);
    }
  }
}

}  // namespace
