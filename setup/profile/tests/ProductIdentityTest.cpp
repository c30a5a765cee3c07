// The product a kit names: the key becomes a registry key, a file name and
// a lock's name, and comes from files anyone can edit; the texts go into
// formatted messages.
#include <gtest/gtest.h>

#include <string>

#include "setup/profile/IniText.h"
#include "setup/profile/InstallProfileException.h"
#include "setup/profile/ProductIdentity.h"

namespace {

const std::string kKorvel =
    "[Product]\r\nname=Korvel Atlas\r\nversion=3.2\r\npublisher=Korvel Maps Ltd\r\nprogram=atlas.exe\r\n"
    "licence=_license.txt\r\n";

}  // namespace

TEST(ProductIdentity, KeysHoldOnlyWhatARegistryKeyAFileAndALockNameTake) {
  const struct {
    const char* key;
    bool valid;
  } rows[] = {
      {"KorvelAtlas", true}, {"Korvel_Atlas-3.2", true}, {"_k", true}, {"9", true},
      {"", false}, {"Korvel Atlas", false}, {"Korvel\\Atlas", false}, {"..\\x", false}, {"a/b", false},
      {"a:b", false}, {"a*", false}, {"-a", false}, {".a", false}, {"a.", false}, {"K\xe4se", false},
      {"CON", false}, {"nul.txt", false}, {"Com1", false}, {"LPT9.log", false}, {"COM0", true},
      {"Veltrane", false}, {"VELTAPP", false},  // the built-in product's entry, lock and log
      {"a%s", false},
  };
  for (const auto& row : rows) EXPECT_EQ(row.valid, IsProductKey(row.key)) << row.key;
  EXPECT_FALSE(IsProductKey(std::string(CProductIdentity::kMaxNameLength + 1, 'k')));
  EXPECT_TRUE(IsProductKey(std::string(CProductIdentity::kMaxNameLength, 'k')));

  EXPECT_EQ("KorvelAtlas3.2", ProductKeyFromName("Korvel Atlas 3.2"));
  EXPECT_EQ("Atlas", ProductKeyFromName("--.Atlas..."));
  EXPECT_EQ("", ProductKeyFromName("Veltrane")) << "never the built-in product's key";
  EXPECT_EQ("", ProductKeyFromName("\xc4\xd6 !"));
}

TEST(ProductIdentity, ReadRefusesEveryValueThatCannotNameTheProduct) {
  const struct {
    const char* line;
    const char* fault;
  } rows[] = {
      {"key=Korvel/Atlas", "a key is 1 to"},
      {"key=con", "a key is 1 to"},
      {"name=Korvel %s Atlas", "holds '%'"},
      {"name=", "it is empty"},
      {"version=3.2\x01", "a control character"},
      {"publisher=" "0123456789012345678901234567890123456789012345678901234567890123456789", "longer than 64"},
      {"program=..\\atlas.exe", "not a plain file name"},
      {"program=NUL", "not a plain file name"},
      {"licence=C:\\licence.txt", "not a plain file name"},
      {"billboards=a.bmp|b.bmp|c.bmp|d.bmp", "at most 3"},
      {"billboards=a.bmp||c.bmp", "not a plain file name"},
      {"url=file:///C:/x", "http:// or https://"},
      {"hostmenu=yes", "0 or 1"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    // The row's line comes first: it is the one read.
    const CIniText text("[Product]\r\n" + std::string(row.line) + "\r\n" + kKorvel.substr(11));
    try {
      CProductIdentity::Read(text);
      ADD_FAILURE() << "accepted";
    } catch (const CInstallProfileException& e) {
      EXPECT_EQ(CInstallProfileException::badProduct, e.GetErrorCode());
      EXPECT_NE(std::string::npos, e.GetSubject().find(row.fault)) << e.GetSubject();
    }
  }
  // Each key the product needs, left out.
  for (const char* key : {"name=", "version=", "publisher=", "program=", "licence="}) {
    std::string text = kKorvel;
    text.erase(text.find(key), text.find("\r\n", text.find(key)) + 2 - text.find(key));
    EXPECT_THROW(CProductIdentity::Read(CIniText(text)), CInstallProfileException) << key;
  }
}

TEST(ProductIdentity, WhatItWritesReadsBackAndOnlyANamedProductRenamesTexts) {
  const CProductIdentity builtin = CProductIdentity::Read(CIniText("[destinations]\r\n0=V||C:\\V\r\n"));
  EXPECT_FALSE(builtin.named);
  EXPECT_EQ("Veltrane", builtin.key);
  EXPECT_EQ("veltapp.exe", builtin.program);
  EXPECT_EQ("veltapp.log", builtin.LogFileName());
  EXPECT_TRUE(builtin.hostMenu);
  EXPECT_TRUE(builtin.Records().empty()) << "Veltrane's profile and log have no [Product]";
  EXPECT_EQ("Welcome to Veltrane.", builtin.InText("Welcome to Veltrane."));

  CProductIdentity korvel = CProductIdentity::Read(CIniText(kKorvel + "splash=_splash.bmp\r\nbillboards=_board1.bmp|_board2.bmp\r\n"
                                                                      "url=https://korvel.example/atlas\r\n"));
  EXPECT_TRUE(korvel.named);
  EXPECT_EQ("KorvelAtlas", korvel.key) << "taken from the name";
  EXPECT_EQ("KorvelAtlas.log", korvel.LogFileName());
  EXPECT_FALSE(korvel.hostMenu) << "off unless the kit asks for it";
  EXPECT_EQ("Korvel Atlas", korvel.DisplayName());
  EXPECT_EQ("Cannot install  Korvel Atlas. Korvel Atlas Setup",
            korvel.InText("Cannot install  Veltrane. Veltrane Setup"));

  CIniText log;
  log.ReplaceSection(CProductIdentity::kSection, korvel.Records());
  const CProductIdentity again = CProductIdentity::Read(log);
  EXPECT_EQ(korvel.Records(), again.Records());
  EXPECT_EQ((std::vector<std::string>{"_board1.bmp", "_board2.bmp"}), again.billboards);
  EXPECT_EQ("https://korvel.example/atlas", again.url);
}
