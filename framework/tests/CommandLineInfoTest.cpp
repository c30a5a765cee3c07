#include <gtest/gtest.h>

#include "framework/CommandLineInfo.h"
#include "framework/GlobalBlock.h"

namespace {

struct SplitCase {
  const char* text;
  std::vector<std::string> params;
};

class RecordingInfo : public CCommandLineInfo {
public:
  struct Call {
    std::string param;
    bool flag;
    bool last;
  };
  std::vector<Call> calls;

  void ParseParam(const char* param, BOOL flag, BOOL last) override {
    calls.push_back({param, flag != FALSE, last != FALSE});
    CCommandLineInfo::ParseParam(param, flag, last);
  }
};

}  // namespace

TEST(CommandLineInfoTest, SplitsLikeTheRunTime) {
  const SplitCase cases[] = {
      {"", {}},
      {"   \t ", {}},
      {"one", {"one"}},
      {"  one   two\tthree ", {"one", "two", "three"}},
      {"\"C:\\Program Files\\x.exe\" /q", {"C:\\Program Files\\x.exe", "/q"}},
      {"a\"b c\"d", {"ab cd"}},
      {"\"\"", {""}},
      {"C:\\dir\\ next", {"C:\\dir\\", "next"}},
      {"a\\\\\"b c\"", {"a\\b c"}},        // 2 backslashes + quote: one backslash, quote opens
      {"a\\\"b", {"a\"b"}},                // 1 backslash + quote: literal quote
      {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
      {"\"unterminated quote", {"unterminated quote"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.params, CCommandLineInfo::SplitCommandLine(c.text)) << "command line: [" << c.text << "]";
  }
}

TEST(CommandLineInfoTest, HandsEveryParameterOverWithFlagAndLastMarks) {
  RecordingInfo info;
  info.ParseCommandLine("/first file.txt -Second other.txt");
  ASSERT_EQ(4u, info.calls.size());
  EXPECT_EQ("first", info.calls[0].param);
  EXPECT_TRUE(info.calls[0].flag);
  EXPECT_FALSE(info.calls[0].last);
  EXPECT_EQ("file.txt", info.calls[1].param);
  EXPECT_FALSE(info.calls[1].flag);
  EXPECT_EQ("Second", info.calls[2].param);
  EXPECT_TRUE(info.calls[2].flag);
  EXPECT_TRUE(info.calls[3].last);
  EXPECT_EQ("file.txt", info.m_strFileName) << "the first parameter that is not a flag";
  EXPECT_EQ(CCommandLineInfo::FileOpen, info.m_nShellCommand);

  CCommandLineInfo flagsOnly;
  flagsOnly.ParseCommandLine("/a -b");
  EXPECT_EQ(CCommandLineInfo::FileNew, flagsOnly.m_nShellCommand);
  EXPECT_TRUE(flagsOnly.m_strFileName.empty());
}

TEST(GlobalBlockTest, AllocatesZeroedLockedMemoryWithOneOwner) {
  CGlobalBlock block;
  EXPECT_FALSE(block);
  ASSERT_TRUE(block.Allocate(64));
  ASSERT_NE(nullptr, block.data());
  EXPECT_EQ(64u, block.size());
  for (std::size_t i = 0; i < 64; ++i) EXPECT_EQ(0, block.as<unsigned char>()[i]);
  EXPECT_GE(::GlobalSize(block.handle()), 64u);

  const HGLOBAL handle = block.handle();
  CGlobalBlock moved(std::move(block));
  EXPECT_FALSE(block);
  EXPECT_EQ(handle, moved.handle());
  moved.Free();
  EXPECT_FALSE(moved);
  EXPECT_EQ(0u, moved.size());
}
