// The batched file records must leave the install log byte for byte as one
// LogInstalledFile per record leaves it: on a new log, and merged into a
// log an earlier installation wrote (keys in another letter case, other
// sections around, a key written twice in one batch), across the automatic
// flush of a full batch.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/log/InstallLog.h"
#include "setup/log/InstalledFileBatch.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TempDir.h"

namespace {

struct Record {
  std::string group;
  std::string path;
  std::int16_t destination;
  bool placed, replaced;
};

class InstalledFileBatchTest : public ::testing::Test {
protected:
  // The log that single writes give, and the one a batch gives, both
  // starting from earlier (the text of an existing log; none when empty).
  void ExpectSameLog(const std::string& earlier, const std::vector<Record>& records) {
    const CPathName single(dir / "single.log"), batched(dir / "batched.log");
    if (!earlier.empty()) {
      ASSERT_TRUE(WriteFileBytes(single.GetPath(), earlier));
      ASSERT_TRUE(WriteFileBytes(batched.GetPath(), earlier));
    }
    for (const Record& r : records) {
      LogInstalledFile(single, r.group, CPathName(r.path), r.destination, r.placed, r.replaced);
    }
    {
      CInstalledFileBatch batch(batched);
      for (const Record& r : records) batch.Add(r.group, CPathName(r.path), r.destination, r.placed, r.replaced);
    }
    const std::string expected = ReadFileBytes(single.GetPath());
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(expected, ReadFileBytes(batched.GetPath()));
  }

  TempDir dir;
};

}  // namespace

TEST_F(InstalledFileBatchTest, ANewLogIsWrittenAsSingleRecordsWriteIt) {
  ExpectSameLog("", {{"Program", "C:\\Velt\\veltapp.exe", 0, true, false},
                     {"Shared", "C:\\WINDOWS\\SYSTEM\\veltsh32.dll", -3, false, false},
                     {"Program", "C:\\Velt\\Data\\README", 1, true, true},
                     {"Shared", "C:\\WINDOWS\\velt.ini", -2, true, false},
                     {"Program", "C:\\Velt\\Data\\in-use.dat", 1, false, true}});
}

TEST_F(InstalledFileBatchTest, MergesIntoAnEarlierLogAsSingleRecordsDo) {
  const std::string earlier =
      "[destinations]\r\n0=Veltrane|-1|C:\\Velt\\\r\n"
      "[Program]\r\nVELTAPP.EXE=0|1|0\r\nold.dll=0|1|0\r\nnovalue\r\n"
      "[Events]\r\n10:00:00:0001=Successful installation.\r\n";
  ExpectSameLog(earlier, {{"Program", "C:\\Velt\\veltapp.exe", 0, false, false},  // another letter case
                          {"Program", "C:\\Velt\\new.txt", 0, true, false},
                          {"Program", "C:\\Velt\\Data\\old.dll", 1, true, false},  // same name, other folder
                          {"Data", "C:\\Velt\\Data\\new.txt", 1, true, false},     // a new section at the end
                          {"Program", "C:\\Velt\\new.txt", 1, true, true}});       // twice in one batch
}

// Sections whose every line has a value are merged with one write: a key
// that stands twice gets the new value in its first line only.
TEST_F(InstalledFileBatchTest, MergesIntoSectionsItRewritesWholeAsSingleRecordsDo) {
  const std::string earlier =
      "[Program]\r\nVELTAPP.EXE=0|1|0\r\nold.dll=0|1|0\r\nOld.DLL=9|9|9\r\nkept.txt=1|1|1\r\n"
      "[Data]\r\nsamples.csv=1|1|0\r\n";
  ExpectSameLog(earlier, {{"Program", "C:\\Velt\\veltapp.exe", 0, false, false},
                          {"Data", "C:\\Velt\\Data\\new.csv", 1, true, false},
                          {"Program", "C:\\Velt\\OLD.dll", 0, true, true},
                          {"Program", "C:\\Velt\\added.txt", 0, true, false},
                          {"Program", "C:\\Velt\\Added.TXT", 1, false, true},
                          {"Data", "C:\\Velt\\Data\\SAMPLES.csv", 1, false, false}});
}

TEST_F(InstalledFileBatchTest, AFullBatchIsWrittenAndTheRestOnDestruction) {
  std::vector<Record> records;
  for (std::size_t i = 0; i < CInstalledFileBatch::kFirstBatch * 4 + 7; ++i) {
    records.push_back({i % 3 ? "Data" : "Program", "C:\\Velt\\file" + std::to_string(i) + ".dat",
                       static_cast<std::int16_t>(i % 5), i % 2 == 0, i % 7 == 0});
  }
  ExpectSameLog("", records);

  const CPathName log(dir / "counted.log");
  CInstalledFileBatch batch(log);
  std::size_t added = 0;
  const auto add = [&](std::size_t count) {
    for (std::size_t end = added + count; added < end; ++added) {
      batch.Add("Data", CPathName("C:\\Velt\\f" + std::to_string(added)), 0, true, false);
    }
  };
  // Each batch as long as everything written before it: 256, 256, 512, ...
  const struct {
    std::size_t add, waiting, inLog;
  } steps[] = {{CInstalledFileBatch::kFirstBatch, 0, 256}, {255, 255, 256}, {1, 0, 512}, {511, 511, 512}, {1, 0, 1024}};
  for (const auto& step : steps) {
    add(step.add);
    EXPECT_EQ(step.waiting, batch.WaitingCount()) << added;
    EXPECT_EQ(step.inLog, ReadInstalledFiles(log, "Data").size()) << added;
  }
}
