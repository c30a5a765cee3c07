#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "setup/log/EventTrail.h"
#include "setup/log/InstallLog.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestFiles.h"

namespace {

// The [Events] section as key/value pairs, in file order.
std::vector<std::pair<std::string, std::string>> Events(const CPathName& log) {
  return ReadIniSection(log.GetPath(), "Events");
}

bool IsEventKey(const std::string& key) {
  // HH:MM:SS:0nnn
  if (key.size() != 13) return false;
  for (std::size_t i = 0; i < key.size(); ++i) {
    const bool colon = i == 2 || i == 5 || i == 8;
    if (colon ? key[i] != ':' : !std::isdigit(static_cast<unsigned char>(key[i]))) return false;
  }
  return key[9] == '0';
}

}  // namespace

TEST(EventKey, IsTheTimeOfDayAndTheTickCountModulo1000) {
  struct Row {
    int hour, minute, second;
    DWORD ticks;
    const char* key;
  } const rows[] = {
      {14, 3, 27, 1042, "14:03:27:0042"},
      {0, 0, 0, 0, "00:00:00:0000"},
      {23, 59, 59, 999, "23:59:59:0999"},
      {9, 5, 1, 4294967295u, "09:05:01:0295"},
  };
  for (const Row& row : rows) {
    std::tm time{};
    time.tm_hour = row.hour;
    time.tm_min = row.minute;
    time.tm_sec = row.second;
    EXPECT_EQ(row.key, EventKey(time, row.ticks)) << row.key;
  }
}

TEST(LogEvent, AppendsEventsToTheLogWithoutLosingAny) {
  TempDir dir;
  const CPathName path(dir / "veltapp.log");
  CInstallLog log(path);
  EXPECT_EQ(27, LogEvent(log, "Could not write SMS status."));
  // Events in quick succession: several within one tick, none replaced.
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(43, LogEvent(log, "Could not remove the log file rc=%d ec=%d", 1026 + i, 32));
  }
  // A log that does not journal is saved with each event.
  const auto events = Events(path);
  ASSERT_EQ(6u, events.size());
  EXPECT_EQ("Could not write SMS status.", events[0].second);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ("Could not remove the log file rc=" + std::to_string(1026 + i) + " ec=32", events[1 + i].second);
  }
  for (const auto& [key, text] : events) EXPECT_TRUE(IsEventKey(key)) << key;
}

TEST(LogEvent, CutsAnOverlongEventKeepsItOneLineAndNeedsALogPath) {
  TempDir dir;
  const CPathName path(dir / "veltapp.log");
  CInstallLog log(path);
  const std::string name(700, 'n');
  EXPECT_EQ(kEventBufferSize - 1, LogEvent(log, "Could not remove %s", name.c_str()));
  // A line break of the text would end the value and start a line of its own.
  LogEvent(log, "Could not remove %s", "a\r\nname=1");
  const auto events = Events(path);
  ASSERT_EQ(2u, events.size());
  EXPECT_EQ(static_cast<std::size_t>(kEventBufferSize - 1), events[0].second.size());
  EXPECT_EQ("Could not remove nnn", events[0].second.substr(0, 20));
  EXPECT_EQ("Could not remove a  name=1", events[1].second);

  CInstallLog none{CPathName()};
  EXPECT_EQ(27, LogEvent(none, "Could not write SMS status."));
}
