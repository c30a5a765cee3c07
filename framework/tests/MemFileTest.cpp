#include <gtest/gtest.h>

#include <cstring>

#include "framework/MemFile.h"

TEST(MemFile, ReadsWritesSeeksAndGrowsLikeAFile) {
  CMemFile file;
  file.Write("hello world", 11);
  EXPECT_EQ(11u, file.GetLength());
  EXPECT_EQ(6u, file.Seek(6, CFile::begin));
  char buf[16] = {};
  EXPECT_EQ(5u, file.Read(buf, sizeof buf));
  EXPECT_STREQ("world", buf);
  EXPECT_EQ(0u, file.Read(buf, 4));

  // Overwrite in the middle, then write past the end: the gap reads as zeros.
  file.Seek(0, CFile::begin);
  file.Write("J", 1);
  file.Seek(13, CFile::begin);
  file.Write("!", 1);
  const std::vector<std::uint8_t> expected{'J', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', 0, 0, '!'};
  EXPECT_EQ(expected, file.GetData());

  file.SetLength(5);
  EXPECT_EQ(5u, file.GetPosition());  // a position past the new end is pulled back
  EXPECT_EQ(5u, file.Seek(-5, CFile::end) + 5);
}

TEST(MemFile, RefusesNegativePositionsAndWorkAfterClose) {
  CMemFile file(std::vector<std::uint8_t>{1, 2, 3});
  try {
    file.Seek(-4, CFile::end);
    FAIL() << "seek before the start accepted";
  } catch (CFileException& e) {
    EXPECT_EQ(CFileException::badSeek, e.m_cause);
  }
  EXPECT_EQ(0u, file.GetPosition());
  file.Close();
  EXPECT_FALSE(file.IsOpen());
  char c;
  EXPECT_THROW(file.Read(&c, 1), CFileException);
  EXPECT_EQ(3u, file.GetData().size());  // the bytes outlive the close
  EXPECT_FALSE(file.Open("x", CFile::modeRead));
}
