#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "framework/Exception.h"
#include "framework/File.h"
#include "framework/StdioFile.h"
#include "tests/support/TempDir.h"

namespace {

class FileTest : public ::testing::Test {
protected:
  TempDir dir;
};

template <class F>
CFileException CatchFileException(F&& f) {
  try {
    f();
  } catch (CFileException& e) {
    return e;
  }
  ADD_FAILURE() << "no CFileException";
  return CFileException();
}

}  // namespace

TEST_F(FileTest, WritesReadsSeeksAndReportsLength) {
  const std::string path = dir / "data.bin";
  {
    CFile file(path, CFile::modeCreate | CFile::modeWrite);
    file.Write("abcdefgh", 8);
    EXPECT_EQ(8u, file.GetLength());
    file.Close();
  }
  CFile file(path, CFile::modeRead);
  char buf[8] = {};
  EXPECT_EQ(3u, file.Seek(3, CFile::begin));
  EXPECT_EQ(4u, file.Read(buf, 4));
  EXPECT_EQ(0, std::memcmp(buf, "defg", 4));
  EXPECT_EQ(7u, file.GetPosition());
  EXPECT_EQ(1u, file.Read(buf, 8));
  EXPECT_EQ(0u, file.Read(buf, 8));

  CFileStatus status;
  ASSERT_TRUE(CFile::GetStatus(path, status));
  EXPECT_EQ(8u, status.m_size);
  EXPECT_FALSE(status.m_attribute & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(FileTest, PositionsAndLengthsBeyondFourGigabytesKeepTheirHighPart) {
  // A sparse file: no disk space is taken by the hole.
  const std::string path = dir / "large.bin";
  constexpr std::uint64_t kLarge = 0x100000005ull;
  CFile file(path, CFile::modeCreate | CFile::modeReadWrite);
  file.SetLength(kLarge);
  EXPECT_EQ(kLarge, file.GetLength());
  EXPECT_EQ(kLarge, file.GetPosition());
  EXPECT_EQ(kLarge - 2, file.Seek(-2, CFile::end));
  EXPECT_EQ(kLarge - 1, file.Seek(1, CFile::current));
  // A low part of all ones is a position, not the failure value.
  EXPECT_EQ(0xFFFFFFFFull, file.Seek(0xFFFFFFFFll, CFile::begin));
  EXPECT_EQ(0xFFFFFFFFull, file.GetPosition());
  CFileStatus status;
  ASSERT_TRUE(CFile::GetStatus(path, status));
  EXPECT_EQ(kLarge, status.m_size);

  EXPECT_EQ(CFileException::badSeek, CatchFileException([&] { file.Seek(-1, CFile::begin); }).m_cause);
  EXPECT_EQ(0xFFFFFFFFull, file.GetPosition()) << "a refused seek leaves the position";
  file.SetLength(0xFFFFFFFFull);
  EXPECT_EQ(0xFFFFFFFFull, file.GetLength()) << "a length of all ones is a length, not a failure";
}

TEST_F(FileTest, StatusOfAPathIsThatOfItsDirectoryEntry) {
  CStdioFile(dir / "file.txt", CFile::modeCreate | CFile::modeWrite | CFile::typeBinary).WriteString("12345");
  ASSERT_TRUE(::CreateDirectoryA((dir / "sub").c_str(), nullptr));
  char windows[MAX_PATH];
  ASSERT_GT(::GetWindowsDirectoryA(windows, MAX_PATH), 2u);
  const std::string root = std::string(windows, 3);  // "C:\"

  struct Case {
    std::string path;
    bool found;
    bool directory;
    std::uint64_t size;
  };
  const Case cases[] = {
      {dir / "file.txt", true, false, 5},
      {dir / "sub", true, true, 0},
      {dir / "sub\\", true, true, 0},
      {dir.path() + "/sub/", true, true, 0},
      {root, true, true, 0},
      {dir / "file.txt\\", false, false, 0},
      {dir / "*.txt", false, false, 0},
      {dir / "fil?.txt", false, false, 0},
      {dir / "missing.txt", false, false, 0},
      {dir / "missing\\file.txt", false, false, 0},
      {"", false, false, 0},
  };
  for (const Case& c : cases) {
    CFileStatus status;
    status.m_size = 77;
    ASSERT_EQ(c.found, CFile::GetStatus(c.path, status)) << c.path;
    if (!c.found) continue;
    EXPECT_EQ(c.directory, (status.m_attribute & FILE_ATTRIBUTE_DIRECTORY) != 0) << c.path;
    if (!c.directory) {
      EXPECT_EQ(c.size, status.m_size) << c.path;
    }
    EXPECT_FALSE(status.m_szFullName.empty()) << c.path;
  }
  CFileStatus status;
  ASSERT_TRUE(CFile::GetStatus(dir / "file.txt", status));
  EXPECT_NE(0u, status.m_mtime.dwHighDateTime) << "the times come with the entry";

  // An open file's status, asked of its handle, is its entry's.
  ASSERT_TRUE(::SetFileAttributesA((dir / "file.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
  ASSERT_TRUE(CFile::GetStatus(dir / "file.txt", status));
  const CFile open(dir / "file.txt", CFile::modeRead | CFile::shareDenyNone);
  CFileStatus ofOpen;
  ASSERT_TRUE(open.GetStatus(ofOpen));
  EXPECT_EQ(5u, ofOpen.m_size);
  EXPECT_EQ(status.m_attribute, ofOpen.m_attribute);
  EXPECT_EQ(0, ::CompareFileTime(&status.m_mtime, &ofOpen.m_mtime));
  EXPECT_EQ(dir / "file.txt", ofOpen.m_szFullName);
  // The same through a buffered stream, whose handle is the run-time's.
  CStdioFile stream(dir / "file.txt", CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary);
  CFileStatus ofStream;
  ASSERT_TRUE(stream.GetStatus(ofStream));
  EXPECT_EQ(5u, ofStream.m_size);
  EXPECT_EQ(status.m_attribute, ofStream.m_attribute);
  EXPECT_EQ(0, ::CompareFileTime(&status.m_mtime, &ofStream.m_mtime));
  stream.Close();
  EXPECT_FALSE(stream.GetStatus(ofStream)) << "a closed file has no status";
  ASSERT_TRUE(::SetFileAttributesA((dir / "file.txt").c_str(), FILE_ATTRIBUTE_NORMAL));
}

TEST_F(FileTest, Win32FailuresBecomeFileExceptionsWithCauseAndPath) {
  const std::string missing = dir / "missing.txt";
  CFileException e = CatchFileException([&] { CFile f(missing, CFile::modeRead); });
  EXPECT_EQ(CFileException::fileNotFound, e.m_cause);
  EXPECT_EQ(missing, e.m_strFileName);
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, e.m_lOsError);

  e = CatchFileException([&] { CFile f(dir / "no\\such\\dir\\x.txt", CFile::modeRead); });
  EXPECT_EQ(CFileException::badPath, e.m_cause);

  const std::string locked = dir / "locked.txt";
  CFile holder(locked, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive);
  e = CatchFileException([&] { CFile f(locked, CFile::modeRead); });
  EXPECT_EQ(CFileException::sharingViolation, e.m_cause);

  CFileException quiet;
  CFile probe;
  EXPECT_FALSE(probe.Open(missing, CFile::modeRead, &quiet));
  EXPECT_EQ(CFileException::fileNotFound, quiet.m_cause);
  EXPECT_FALSE(probe.IsOpen());

  e = CatchFileException([&] { CFile::Remove(missing); });
  EXPECT_EQ(CFileException::fileNotFound, e.m_cause);
}

TEST_F(FileTest, ADirectoryCannotBeOpenedAsAFile) {
  // (A read-only attribute would do on Windows, but Wine running as root
  // writes to read-only files.)
  CFileException e = CatchFileException([&] { CFile f(dir.path(), CFile::modeWrite); });
  EXPECT_EQ(CFileException::accessDenied, e.m_cause);
  e = CatchFileException([&] { CStdioFile f(dir.path(), CFile::modeWrite | CFile::typeBinary); });
  EXPECT_EQ(CFileException::accessDenied, e.m_cause);
  EXPECT_EQ(EACCES, e.m_lOsError);
}

TEST_F(FileTest, StdioFailuresCarryErrnoCauses) {
  CFileException e = CatchFileException([&] { CStdioFile f(dir / "none.txt", CFile::modeRead); });
  EXPECT_EQ(CFileException::fileNotFound, e.m_cause);
  EXPECT_EQ(ENOENT, e.m_lOsError);
}

TEST_F(FileTest, StdioTextModeReadsLinesWithTheirEndsAndCutsLongOnes) {
  const std::string path = dir / "lines.txt";
  {
    CFile raw(path, CFile::modeCreate | CFile::modeWrite);
    const char text[] = "first\r\nsecond\nthird-without-end";
    raw.Write(text, sizeof text - 1);
  }
  CStdioFile file(path, CFile::modeRead | CFile::typeText);
  std::string line;
  ASSERT_TRUE(file.ReadString(line));
  EXPECT_EQ("first\n", line);
  ASSERT_TRUE(file.ReadString(line, 3));
  EXPECT_EQ("sec", line);
  ASSERT_TRUE(file.ReadString(line));
  EXPECT_EQ("ond\n", line);
  ASSERT_TRUE(file.ReadString(line));
  EXPECT_EQ("third-without-end", line);
  EXPECT_FALSE(file.ReadString(line));
}

TEST_F(FileTest, StdioBinaryModeKeepsBytesAndCreatesWithoutTruncating) {
  const std::string path = dir / "keep.bin";
  {
    CStdioFile f(path, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
    f.WriteString("one\r\ntwo\n");
  }
  {
    CStdioFile f(path, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite | CFile::typeBinary);
    EXPECT_EQ(9u, f.GetLength());
    f.SeekToEnd();
    f.WriteString("3");
  }
  CStdioFile f(path, CFile::modeRead | CFile::typeBinary);
  char buf[16] = {};
  EXPECT_EQ(10u, f.Read(buf, sizeof buf));
  EXPECT_EQ(std::string("one\r\ntwo\n3"), std::string(buf, 10));
}

TEST_F(FileTest, StdioCreateNewMakesOnlyFilesThatDoNotExistAndNeverTruncates) {
  const std::string path = dir / "new.bin";
  {
    CStdioFile f;
    ASSERT_TRUE(f.CreateNewBinary(path));
    f.WriteString("a\nb");
    f.SeekToBegin();
    char buf[8] = {};
    EXPECT_EQ(3u, f.Read(buf, sizeof buf));  // binary, and readable as well
    EXPECT_EQ(std::string("a\nb"), std::string(buf, 3));
  }
  // Whatever stands under the name stays as it is, and nothing is left open.
  const std::string refused[] = {path, dir.path(), dir / "missing\\x.bin"};
  for (const std::string& name : refused) {
    CStdioFile f;
    EXPECT_FALSE(f.CreateNewBinary(name)) << name;
    EXPECT_FALSE(f.IsOpen()) << name;
  }
  CStdioFile f(path, CFile::modeRead | CFile::typeBinary);
  EXPECT_EQ(3u, f.GetLength());
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA((dir / "missing").c_str()));
}

TEST_F(FileTest, SetStatusStampsTimeAndAttributesEvenOnReadOnlyFiles) {
  const std::string path = dir / "stamped.txt";
  CStdioFile(path, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary).WriteString("x");

  CFileStatus wanted;
  wanted.m_mtime.dwLowDateTime = 0x12345600;  // some day in 1996
  wanted.m_mtime.dwHighDateTime = 0x01BB0000;
  wanted.m_attribute = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
  CFile::SetStatus(path, wanted);
  wanted.m_mtime.dwHighDateTime += 1;  // a second stamp on the now read-only file
  CFile::SetStatus(path, wanted);

  CFileStatus got;
  ASSERT_TRUE(CFile::GetStatus(path, got));
  EXPECT_EQ(wanted.m_mtime.dwHighDateTime, got.m_mtime.dwHighDateTime);
  EXPECT_EQ(wanted.m_mtime.dwLowDateTime, got.m_mtime.dwLowDateTime);
  EXPECT_EQ(DWORD{FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN},
            got.m_attribute & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));

  CFileStatus plain;  // zero times leave the time alone; zero attributes mean a plain file
  CFile::SetStatus(path, plain);
  ASSERT_TRUE(CFile::GetStatus(path, got));
  EXPECT_EQ(wanted.m_mtime.dwHighDateTime, got.m_mtime.dwHighDateTime);
  EXPECT_EQ(0u, got.m_attribute & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));

  EXPECT_THROW(CFile::SetStatus(dir / "missing.txt", wanted), CFileException);
}

namespace {
// A file whose Abort means "cancel", as a layered file may define it.
class CancellingFile : public CStdioFile {
public:
  void Abort() override { ++cancels; }
  int cancels = 0;
};
}  // namespace

TEST_F(FileTest, ReopeningDoesNotCallADerivedAbortAndClosedFilesRefuseIo) {
  const std::string a = dir / "a.bin", b = dir / "b.bin";
  CStdioFile(a, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary).WriteString("A");
  CStdioFile(b, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary).WriteString("B");
  CancellingFile file;
  ASSERT_TRUE(file.Open(a, CFile::modeRead | CFile::typeBinary));
  ASSERT_TRUE(file.Open(b, CFile::modeRead | CFile::typeBinary));
  EXPECT_EQ(0, file.cancels);
  char c = 0;
  EXPECT_EQ(1u, file.Read(&c, 1));
  EXPECT_EQ('B', c);
  file.Close();
  CFileException e = CatchFileException([&] { file.Read(&c, 1); });
  EXPECT_EQ(CFileException::invalidFile, e.m_cause);
  e = CatchFileException([&] { file.Write("x", 1); });
  EXPECT_EQ(CFileException::invalidFile, e.m_cause);
}

TEST_F(FileTest, StdioLengthKeepsBufferedInputAndCountsBufferedOutput) {
  const std::string path = dir / "len.bin";
  CStdioFile out(path, CFile::modeCreate | CFile::modeReadWrite | CFile::typeBinary);
  out.WriteString("0123456789");
  EXPECT_EQ(10u, out.GetLength());  // still in the buffer
  out.Close();

  CStdioFile in(path, CFile::modeRead | CFile::typeBinary);
  char c = 0;
  ASSERT_EQ(1u, in.Read(&c, 1));
  EXPECT_EQ(10u, in.GetLength());
  ASSERT_EQ(1u, in.Read(&c, 1));
  EXPECT_EQ('1', c);
  EXPECT_EQ(2u, in.GetPosition());
  in.Close();

  // Output still buffered inside the file or past its end.
  struct Case {
    std::int64_t at;
    const char* text;
    std::uint64_t length;
  };
  const Case cases[] = {{2, "abc", 10}, {8, "abcde", 13}, {10, "x", 11}, {0, "", 10}};
  for (const Case& write : cases) {
    CStdioFile file(path, CFile::modeReadWrite | CFile::typeBinary);
    file.SetBufferSize(4096);
    file.Seek(write.at, CFile::begin);
    file.WriteString(write.text);
    EXPECT_EQ(write.length, file.GetLength()) << write.at << " " << write.text;
    EXPECT_EQ(write.at + static_cast<std::int64_t>(std::strlen(write.text)),
              static_cast<std::int64_t>(file.GetPosition()));
    file.Close();
    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(path, status));
    EXPECT_EQ(write.length, status.m_size) << "what was written is what was counted";
    CFile(path, CFile::modeReadWrite).SetLength(10);
  }
}

TEST_F(FileTest, StdioModificationTimeSurvivesBufferedOutputAndClose) {
  const std::string path = dir / "timed.bin";
  FILETIME stamp{0x12345600, 0x01BB0000};  // some day in 1996
  {
    CStdioFile out(path, CFile::modeCreate | CFile::modeReadWrite | CFile::typeBinary);
    out.SetBufferSize(64 * 1024);
    out.WriteString("still in the stream buffer");
    out.SetModificationTime(stamp);
    out.Close();  // nothing left to write that could move the time
  }
  CFileStatus got;
  ASSERT_TRUE(CFile::GetStatus(path, got));
  EXPECT_EQ(26u, got.m_size);
  EXPECT_EQ(stamp.dwHighDateTime, got.m_mtime.dwHighDateTime);
  EXPECT_EQ(stamp.dwLowDateTime, got.m_mtime.dwLowDateTime);

  CStdioFile closed;
  EXPECT_EQ(CFileException::invalidFile, CatchFileException([&] { closed.SetModificationTime(stamp); }).m_cause);
}
