// The record forms, as the loaders read them and the log's writer and the
// kit builder write them: what a form formats reads back as itself, and
// missing or out-of-range fields read as the loaders always took them.
#include <gtest/gtest.h>

#include <string>

#include "setup/profile/ProfileRecords.h"

namespace {

template <class Record>
std::string RoundTrip(const char* value) {
  return Record::Parse(value).Format();
}

}  // namespace

TEST(ProfileRecords, ReadBackAsTheyAreWrittenAndFillWhatIsMissing) {
  const struct {
    const char* value;
    std::string (*roundTrip)(const char*);
    const char* expected;
  } rows[] = {
      {"Veltrane|-1|C:\\VELTRANE", &RoundTrip<CDestinationRecord>, "Veltrane|-1|C:\\VELTRANE"},
      {"Data|0|", &RoundTrip<CDestinationRecord>, "Data|0|"},
      {"Data", &RoundTrip<CDestinationRecord>, "Data|-1|"},  // no parent field: no parent
      {"Data||", &RoundTrip<CDestinationRecord>, "Data|0|"},  // an empty one: parent 0
      {"Data|65537|", &RoundTrip<CDestinationRecord>, "Data|1|"},  // kept in 16 bits
      {"Program files|Veltrane|1|1|1", &RoundTrip<CGroupRecord>, "Program files|Veltrane|1|1|1"},
      {"a|b|7|0", &RoundTrip<CGroupRecord>, "a|b|1|0|0"},
      {"0|0|0|Veltrane|/x||C:\\V\\veltapp.exe", &RoundTrip<CTargetRecord>, "0|0|0|Veltrane|/x||C:\\V\\veltapp.exe"},
      {"3|", &RoundTrip<CTargetRecord>, "3|0|0||||"},
      {"20480|0|1|2|0|", &RoundTrip<CFileEntryRecord>, "20480|0|1|2|0|"},
      {"10000|1|4|-3|-1|note", &RoundTrip<CFileEntryRecord>, "10000|1|4|-3|-1|note"},  // marked, not copied
      {"99999999999|0", &RoundTrip<CFileEntryRecord>, "2147483647|0|0|0|0|"},  // a size clamped to 32 bits
      {"Veltrane Disk 1|", &RoundTrip<CDisketteRecord>, "Veltrane Disk 1|"},
      {"", &RoundTrip<CDisketteRecord>, "|"},
  };
  for (const auto& row : rows) EXPECT_EQ(row.expected, row.roundTrip(row.value)) << row.value;
}
