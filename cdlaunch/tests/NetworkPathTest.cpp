#include <gtest/gtest.h>

#include "cdlaunch/NetworkPath.h"

TEST(NetworkPathTest, PathsThatMayReachAnotherMachineAreKnownWhateverTheSeparators) {
  const struct {
    const char* path;
    bool network;
  } cases[] = {
      {"\\\\server\\share\\menu.bmp", true},
      {"//server/share/open.wav", true},
      {"\\/server\\share\\menu.bmp", true},
      {"/\\server/share/menu.bmp", true},
      {"\\\\server", true},
      {"\\\\?\\UNC\\server\\share\\menu.bmp", true},
      {"\\\\?\\C:\\cd\\menu.bmp", true},  // the long-path form is refused as a whole
      {"\\\\.\\UNC\\server\\share\\menu.bmp", true},
      {"\\??\\UNC\\server\\share\\menu.bmp", true},
      {"/?\?/UNC/server/share/menu.bmp", true},
      {"menu.bmp", false},
      {"pics\\menu.bmp", false},
      {"pics\\\\server\\menu.bmp", false},
      {"\\menu.bmp", false},
      {"/menu.bmp", false},
      {"D:\\menu.bmp", false},
      {"D:\\\\server\\menu.bmp", false},
      {"\\?\\menu.bmp", false},
      {"\\??menu.bmp", false},
      {"", false},
      {"\\", false},
  };
  for (const auto& c : cases) EXPECT_EQ(c.network, IsNetworkPath(c.path)) << "[" << c.path << "]";
}
