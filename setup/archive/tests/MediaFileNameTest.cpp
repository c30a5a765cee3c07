#include <gtest/gtest.h>

#include <string>

#include "setup/archive/MediaFileName.h"

TEST(MediaFileName, OnlyTheFileNamePartOfAStoredNameIsUsed) {
  EXPECT_EQ("veltapp.exe", FileNamePart("veltapp.exe"));
  EXPECT_EQ("veltapp.exe", FileNamePart("..\\..\\windows\\veltapp.exe"));
  EXPECT_EQ("passwd", FileNamePart("/etc/passwd"));
  EXPECT_EQ("C:boot.ini", FileNamePart("C:boot.ini"));  // refused later: a drive colon
  EXPECT_EQ("", FileNamePart("dir\\"));
}

TEST(MediaFileName, UsableNames) {
  const struct {
    std::string name;
    bool usable;
  } rows[] = {
      {"veltapp.exe", true},    {"README", true},         {"a b.txt", true},       {".profile", true},
      {"con.txt.bak", false},   {"", false},              {".", false},            {"..", false},
      {"...", false},           {"name.", false},         {"name ", false},        {"a:b", false},
      {"a\\b", false},          {"a/b", false},           {"a*b", false},          {"a?b", false},
      {"a\"b", false},          {"a<b", false},           {"a>b", false},          {"a|b", false},
      {"tab\there", false},     {std::string("n\0l", 3), false},                   {"CON", false},
      {"con", false},           {"Nul.txt", false},       {"COM1", false},         {"lpt9.dat", false},
      {"AUX .txt", false},      {"CONOUT$", false},       {"COM0", true},          {"COM10", true},
      {"console", true},        {"LPT", true},            {std::string(259, 'x'), true},
      {std::string(260, 'x'), false},
  };
  for (const auto& row : rows) EXPECT_EQ(row.usable, IsUsableFileName(row.name)) << '"' << row.name << '"';
}

TEST(MediaFileName, LoggableNamesCanBeKeysOfTheInstallLog) {
  const struct {
    const char* name;
    bool loggable;
  } rows[] = {
      {"veltapp.exe", true}, {"a b.txt", true},  {"semi;colon.txt", true}, {"br[ack]et.txt", true},
      {"a=b.dll", false},    {"=x", false},      {"x=", false},            {";x.txt", false},
      {"[x].txt", false},    {" x.txt", false},  {"x.txt ", false},        {"", false},
  };
  for (const auto& row : rows) EXPECT_EQ(row.loggable, IsLoggableFileName(row.name)) << '"' << row.name << '"';
}

TEST(MediaFileName, NextPartNameRaisesTheLastCharacterOfTheLowerCaseName) {
  const struct {
    const char* name;
    const char* next;
  } rows[] = {
      {"velt.ar1", "velt.ar2"}, {"VELT.AR1", "velt.ar2"}, {"DATA.Z", "data.{"}, {"x.a@", "x.aA"},
      {"x.a8", "x.a9"},         {"x.a9", ""},  // ':' is no file name character
      {"x.a-", ""},             // a trailing '.' would be dropped by Windows
      {"x.a)", ""},             // '*'
      {"x.a;", ""},             // '<'
      {"", ""},
  };
  for (const auto& row : rows) EXPECT_EQ(row.next, NextPartName(row.name)) << row.name;
}
