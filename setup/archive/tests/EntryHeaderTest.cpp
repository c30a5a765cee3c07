#include <gtest/gtest.h>

#include <string>

#include "ArchiveBytes.h"
#include "setup/archive/EntryHeader.h"

TEST(EntryHeader, FieldsLieAtTheirOffsetsLittleEndian) {
  archive_bytes::Member m("dir\\veltapp.exe", std::string(70000, 'x'));
  m.destination = -3;
  m.attributes = 0x21;
  m.time = 0x89ABCDEF;
  m.continued = 1;
  m.text = "carried text";
  const archive_bytes::Bytes expected = archive_bytes::EntryHeader(m, 0x01020304);

  CEntryHeader h;
  h.SetName(m.name);
  h.SetSize(70000);
  h.SetCompressedSize(0x01020304);
  h.SetChecksum(Crc(0, m.data.data(), m.data.size()));
  h.SetMethod(4);
  h.SetDestination(-3);
  h.SetAttributes(0x21);
  h.SetTime(0x89ABCDEF);
  h.SetContinued(true);
  h.SetText(m.text);
  ASSERT_EQ(346u, h.GetBytes().size());
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), h.GetBytes().begin()));

  EXPECT_TRUE(h.HasMagic());
  EXPECT_EQ(m.name, h.GetName());
  EXPECT_EQ(-3, h.GetDestination());
  EXPECT_EQ(0x01020304u, h.GetCompressedSize());
  EXPECT_EQ(0x89ABCDEFu, h.GetTime());
  EXPECT_TRUE(h.IsContinued());
  EXPECT_EQ("carried text", h.GetText());
}

TEST(EntryHeader, TextsAreCutToTheirFieldsAndReadOnlyUpToTheirEnd) {
  CEntryHeader h;
  h.SetName(std::string(400, 'n'));
  h.SetText(std::string(100, 't'));
  EXPECT_EQ(259u, h.GetName().size());
  EXPECT_TRUE(h.NameIsTerminated());
  EXPECT_EQ(39u, h.GetText().size());
  EXPECT_EQ(0, h.GetBytes()[276]);  // the size field after the name is untouched

  // A name field without a NUL is read up to its end and reported.
  std::fill_n(&h.GetBytes()[16], 260, static_cast<std::uint8_t>('a'));
  EXPECT_EQ(260u, h.GetName().size());
  EXPECT_FALSE(h.NameIsTerminated());
}
