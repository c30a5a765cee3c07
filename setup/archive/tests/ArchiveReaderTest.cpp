#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "ArchiveBytes.h"
#include "setup/archive/ArchiveReader.h"
#include "setup/archive/MediaFileName.h"
#include "setup/archive/MultiFileException.h"
#include "setup/archive/ZLibException.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestFiles.h"

namespace {

using archive_bytes::Member;

std::string Text(std::size_t size, char seed = 'a') {
  std::string s;
  for (std::size_t i = 0; s.size() < size; ++i) s += std::string("line ") + char(seed + i % 26) + " of sample text\r\n";
  s.resize(size);
  return s;
}

class ArchiveReaderTest : public ::testing::Test {
protected:
  ArchiveReaderTest() { ::CreateDirectoryA(out.c_str(), nullptr); }

  std::string Write(const archive_bytes::Bytes& bytes, const std::string& name = "test.ar1") {
    WriteFileBytes(dir / name, bytes);
    return dir / name;
  }

  // Walks the archive the way the copy engine does: every member whose
  // destination is not -1 is extracted into out under its file-name part.
  // Returns the names extracted.
  std::vector<std::string> ExtractAll(const std::string& path, bool seek = false) {
    CArchiveReader reader;
    reader.OpenArchive(CPathName(path));
    auto member = reader.CreateMemberFile();
    std::vector<std::string> names;
    while (reader.NextEntry(*member, seek)) {
      if (member->GetHeader().GetDestination() == -1) continue;
      const std::string name = FileNamePart(member->GetMemberName());
      member->SetOutputPath(CPathName(out + "\\" + name));
      reader.Extract(*member);
      names.push_back(name);
    }
    return names;
  }

  static int Code(const CXException& e) { return e.GetErrorCode(); }
  static int Code(const CFileException& e) { return e.m_cause; }

  template <class E>
  int CodeOf(const std::function<void()>& f) {
    try {
      f();
    } catch (E& e) {
      return Code(e);
    }
    ADD_FAILURE() << "expected exception not thrown";
    return 0;
  }

  TempDir dir;
  std::string out = dir / "out";
};

}  // namespace

TEST_F(ArchiveReaderTest, ExtractsStoredAndDeflateMembersWithTimeAndAttributes) {
  Member a{"veltapp.txt", Text(20000)};
  Member b{"data\\veltdata.dat", "binary\x01\x02\x03", 2};
  b.attributes = 0x01 | 0x20;  // read-only
  b.time = 946684800;          // 2000-01-01
  Member empty{"empty.txt", ""};
  empty.method = 2;
  Member unchecked{"unchecked.txt", Text(100, 'q')};
  unchecked.checked = false;
  const auto names = ExtractAll(Write(archive_bytes::Archive({a, b, empty, unchecked})));

  EXPECT_EQ((std::vector<std::string>{"veltapp.txt", "veltdata.dat", "empty.txt", "unchecked.txt"}), names);
  EXPECT_EQ(a.data, ReadFileBytes(out + "\\veltapp.txt"));
  EXPECT_EQ(b.data, ReadFileBytes(out + "\\veltdata.dat"));
  EXPECT_EQ("", ReadFileBytes(out + "\\empty.txt"));
  EXPECT_EQ(unchecked.data, ReadFileBytes(out + "\\unchecked.txt"));

  CFileStatus status;
  ASSERT_TRUE(CFile::GetStatus(out + "\\veltdata.dat", status));
  EXPECT_EQ(b.time, FileTimeToArchiveTime(status.m_mtime));
  EXPECT_TRUE(status.m_attribute & FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(CFile::GetStatus(out + "\\empty.txt", status));
  EXPECT_EQ(empty.time, FileTimeToArchiveTime(status.m_mtime));
}

TEST_F(ArchiveReaderTest, HeaderOnlyArchivesAndTrailingBytesEndTheWalk) {
  EXPECT_TRUE(ExtractAll(Write(archive_bytes::PartHeader())).empty());

  archive_bytes::Bytes bytes = archive_bytes::Archive({Member{"one.txt", "1"}});
  bytes.insert(bytes.end(), 345, 'm');  // one byte short of a header
  EXPECT_EQ(std::vector<std::string>{"one.txt"}, ExtractAll(Write(bytes)));
}

TEST_F(ArchiveReaderTest, MembersNotInstalledAndBytesAfterAStreamArePassedOver) {
  Member skipped{"skipped.dat", Text(9000, 'k')};
  skipped.destination = -1;
  Member last{"last.txt", "the last one"};
  for (bool seek : {false, true}) {
    // The first member's stored data holds junk after its deflate stream:
    // its compressed size counts the junk, the stream ends before it.
    archive_bytes::Bytes bytes = archive_bytes::PartHeader();
    Member padded{"padded.txt", Text(3000)};
    archive_bytes::Bytes data = archive_bytes::Deflate(padded.data);
    data.insert(data.end(), 500, 'J');
    for (const auto& part : {archive_bytes::EntryHeader(padded, static_cast<std::uint32_t>(data.size())), data})
      bytes.insert(bytes.end(), part.begin(), part.end());
    const archive_bytes::Bytes rest = archive_bytes::Archive({skipped, last});
    bytes.insert(bytes.end(), rest.begin() + 8, rest.end());

    EXPECT_EQ((std::vector<std::string>{"padded.txt", "last.txt"}), ExtractAll(Write(bytes), seek)) << seek;
    EXPECT_EQ(last.data, ReadFileBytes(out + "\\last.txt"));
  }
}

TEST_F(ArchiveReaderTest, EveryDamageIsATypedError) {
  const Member good{"good.txt", Text(30000)};
  const archive_bytes::Bytes archive = archive_bytes::Archive({good});
  auto damaged = [&](std::size_t at, std::uint8_t value) {
    archive_bytes::Bytes b = archive;
    b[at] = value;
    return Write(b, "damaged.ar1");
  };
  auto extract = [&](const std::string& path) { return [this, path] { ExtractAll(path); }; };

  EXPECT_EQ(CMultiFileException::notAnArchive, CodeOf<CMultiFileException>(extract(damaged(0, 'M'))));
  EXPECT_EQ(CMultiFileException::missingEntryHeader, CodeOf<CMultiFileException>(extract(damaged(8 + 3, 'N'))));
  EXPECT_EQ(CMultiFileException::unknownMethod, CodeOf<CMultiFileException>(extract(damaged(8 + 292, 3))));
  EXPECT_EQ(CMultiFileException::crcMismatch, CodeOf<CMultiFileException>(extract(damaged(8 + 284, 0x77))));
  // Truncated deflate data: the compressed size claims more than the file holds.
  archive_bytes::Bytes truncated(archive.begin(), archive.end() - 100);
  EXPECT_EQ(CZLibException::bufferError, CodeOf<CZLibException>(extract(Write(truncated, "short.ar1"))));
  EXPECT_EQ(CZLibException::dataError, CodeOf<CZLibException>(extract(damaged(8 + 346 + 1, 0xFF))));
  // A stored member whose data ends early; a short archive header.
  Member stored{"stored.txt", Text(500)};
  stored.method = 2;
  archive_bytes::Bytes cut = archive_bytes::Archive({stored});
  cut.resize(cut.size() - 1);
  EXPECT_EQ(CFileException::endOfFile, CodeOf<CFileException>(extract(Write(cut, "cut.ar1"))));
  EXPECT_EQ(CFileException::endOfFile,
            CodeOf<CFileException>(extract(Write(archive_bytes::Bytes{'m', 'f', 'l'}, "tiny.ar1"))));
  EXPECT_EQ(CFileException::fileNotFound, CodeOf<CFileException>(extract(dir / "missing.ar1")));

  // Method 3 still leaves the output file created, empty.
  try {
    ExtractAll(damaged(8 + 292, 3));
  } catch (CMultiFileException&) {
  }
  EXPECT_EQ("", ReadFileBytes(out + "\\good.txt"));
}

TEST_F(ArchiveReaderTest, AHeaderClaimingMoreThanTheArchiveHoldsFailsCleanly) {
  Member big{"big.txt", Text(1000)};
  for (std::uint32_t method : {2u, 4u}) {
    big.method = method;
    archive_bytes::Bytes b = archive_bytes::Archive({big});
    archive_bytes::Put32(b, 8 + 280, 0xFFFFFFF0u);  // compressed size
    archive_bytes::Put32(b, 8 + 276, 0xFFFFFFF0u);  // size
    const std::string path = Write(b, "big.ar1");
    try {
      ExtractAll(path);
      ADD_FAILURE() << "accepted, method " << method;
    } catch (CFileException& e) {
      EXPECT_EQ(CFileException::endOfFile, e.m_cause);
    } catch (CZLibException&) {
      // the stream ends long before the size claimed
    }
    // Not installed: passed over by its size, which is not there.
    archive_bytes::Put16(b, 8 + 300, 0xFFFF);
    archive_bytes::Put32(b, 8 + 280, 5000);
    EXPECT_EQ(CFileException::endOfFile, CodeOf<CFileException>([&] { ExtractAll(Write(b, "big.ar1")); }));
  }
}

TEST_F(ArchiveReaderTest, UnsafeMemberNamesAreRefusedBeforeAnyFileIsCreated) {
  const char* names[] = {"", ".", "..", "dir\\", "..\\..\\", "c:", "c:evil.txt", "a.txt:stream", "CON", "nul.txt",
                         "lpt1", "bell\a.txt", "trailing.", "..\\..\\aux",
                         // names the install log could not record as keys
                         "a=b.dll", "dir\\;comment.txt", "[section].txt", " lead.txt", "trail.txt "};
  for (const char* name : names) {
    const std::string path = Write(archive_bytes::Archive({Member{"first.txt", "ok"}, Member{name, "evil"}}));
    EXPECT_EQ(CMultiFileException::corruptTable, CodeOf<CMultiFileException>([&] { ExtractAll(path); })) << name;
  }
  // A name that fills its field without a terminating NUL.
  archive_bytes::Bytes b = archive_bytes::Archive({Member{"x", "data"}});
  std::fill_n(b.begin() + 8 + 16, 260, 'n');
  EXPECT_EQ(CMultiFileException::corruptTable, CodeOf<CMultiFileException>([&] { ExtractAll(Write(b)); }));

  EXPECT_EQ(std::vector<std::string>{"first.txt"}, ListFolder(out));
  EXPECT_EQ((std::vector<std::string>{"out", "test.ar1"}), ListFolder(dir.path()));
  // Directory parts are dropped, not followed.
  ExtractAll(Write(archive_bytes::Archive({Member{"..\\..\\escaped.txt", "x"}})));
  EXPECT_EQ((std::vector<std::string>{"escaped.txt", "first.txt"}), ListFolder(out));
}

TEST_F(ArchiveReaderTest, AbortCancelsTheRunningMemberAfterItIsComplete) {
  const Member m{"long.txt", Text(200000), 2};  // stored: many segment ticks
  const std::string path = Write(archive_bytes::Archive({m}));
  // Abort from the progress tick, as the progress display's Cancel does.
  class CancellingReader : public CArchiveReader {
  public:
    void OnSegmentBoundary() override {
      if (++ticks == 2) Abort();
    }
    int ticks = 0;
  } reader;
  reader.OpenArchive(CPathName(path));
  auto member = reader.CreateMemberFile();
  ASSERT_TRUE(reader.NextEntry(*member));
  member->SetOutputPath(CPathName(out + "\\long.txt"));
  EXPECT_THROW(reader.Extract(*member), CUserException);
  EXPECT_EQ(m.data, ReadFileBytes(out + "\\long.txt"));
  EXPECT_TRUE(reader.IsOpen());  // cancelling is not closing
  EXPECT_FALSE(reader.IsExtracting());
  reader.Abort();  // nothing running: the quiet close
  EXPECT_FALSE(reader.IsOpen());
}

TEST_F(ArchiveReaderTest, AMemberCancelledOrDamagedHalfWayLeavesTheNextOneOfTheSameReaderWhole) {
  // The reader keeps its codec, and the codec its zlib state, from member
  // to member: nothing of an interrupted member may reach the next.
  std::string noise(40000, '\0');
  std::uint32_t x = 1996;
  for (char& c : noise) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 24);  // incompressible
  const Member cancelled{"cancelled.bin", noise}, damaged{"damaged.txt", Text(30000, 'd')},
      good{"good.txt", Text(30000, 'g')};
  archive_bytes::Bytes bytes = archive_bytes::Archive({cancelled, damaged, good});
  bytes[8 + 346 + archive_bytes::Deflate(noise).size() + 346 + 40] ^= 0x55;  // inside the second stream

  class CancellingReader : public CArchiveReader {
  public:
    void OnSegmentBoundary() override {
      if (cancelling && ++ticks == 2) Abort();
    }
    bool cancelling = true;
    int ticks = 0;
  } reader;
  reader.OpenArchive(CPathName(Write(bytes)));
  auto member = reader.CreateMemberFile();
  const auto extract = [&](const char* name) {
    ASSERT_TRUE(reader.NextEntry(*member));
    member->SetOutputPath(CPathName(out + "\\" + name));
    reader.Extract(*member);
  };
  EXPECT_THROW(extract("cancelled.bin"), CUserException);
  reader.cancelling = false;
  EXPECT_ANY_THROW(extract("damaged.txt"));
  extract("good.txt");
  EXPECT_EQ(good.data, ReadFileBytes(out + "\\good.txt"));
  EXPECT_FALSE(reader.NextEntry(*member));
}

// Members that take turns at being stored and deflated: each kind of codec
// is made once for the archive, and a deflated member after a stored one
// still comes out whole from the inflate state kept since.
TEST_F(ArchiveReaderTest, MakesEachKindOfCodecOnceForMembersThatAlternate) {
  std::vector<Member> members;
  for (int i = 0; i < 40; ++i) {
    members.emplace_back("m" + std::to_string(i) + ".txt", Text(3000 + 100 * i, static_cast<char>('a' + i % 20)),
                         i % 2 ? 2u : 4u);
  }
  class CountingReader : public CArchiveReader {
  public:
    std::unique_ptr<CCodec> CreateCodec(std::uint32_t method, std::uint32_t parameter) const override {
      ++made;
      return CArchiveReader::CreateCodec(method, parameter);
    }
    mutable int made = 0;
  } reader;
  reader.OpenArchive(CPathName(Write(archive_bytes::Archive(members))));
  auto member = reader.CreateMemberFile();
  for (const Member& m : members) {
    ASSERT_TRUE(reader.NextEntry(*member));
    member->SetOutputPath(CPathName(out + "\\" + m.name));
    reader.Extract(*member);
    EXPECT_EQ(m.data, ReadFileBytes(out + "\\" + m.name)) << m.name;
  }
  EXPECT_EQ(2, reader.made);
}

TEST_F(ArchiveReaderTest, MultiFileExceptionTexts) {
  const struct {
    int code;
    const char* shortText;
  } rows[] = {{1, "Unknown compression method."},
              {2, "File is not an archive file."},
              {3, "Archive file damaged (missing entry header)."},
              {4, "Archive file damaged (corrupt table)."},
              {5, "Archive file damaged (CRC Mismatch)"}};
  for (const auto& row : rows) EXPECT_EQ(row.shortText, CMultiFileException(row.code).LoadErrorInfo().shortText);
  EXPECT_NE(std::string::npos, CMultiFileException(5).LoadErrorInfo().longText.find("(CRC Mismacth)"));
  // A code without a row of its own gets the family's "unknown error" texts.
  EXPECT_EQ("An unkown error occured.", CMultiFileException(9).LoadErrorInfo().shortText);
  EXPECT_STREQ("CMultiFileException", CMultiFileException(1).GetRuntimeClassName());
}
