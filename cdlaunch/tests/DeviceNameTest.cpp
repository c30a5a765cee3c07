#include <gtest/gtest.h>

#include "framework/DeviceName.h"

TEST(DeviceNameTest, DeviceNamesAreKnownWhateverTheDirectoryExtensionOrCase) {
  const struct {
    const char* path;
    bool device;
  } cases[] = {
      {"COM1", true},
      {"com9.wav", true},
      {"Lpt1.bmp", true},
      {"LPT9", true},
      {"CON", true},
      {"prn.x.bmp", true},
      {"nul.txt", true},
      {"sounds\\aux.wav", true},
      {"D:\\cd\\pics/Com2.bmp", true},
      {"D:COM3.BMP", true},
      {"COM1 .bmp", true},
      {"COM1.", true},
      {"COM1:", true},
      {"\\\\.\\COM4", true},
      {"conin$", true},
      {"CLOCK$.x", true},
      {"COM0", false},
      {"COM10", false},
      {"COM", false},
      {"COM.bmp", false},
      {"LPT", false},
      {"COMA", false},
      {"console.bmp", false},
      {"com1x.bmp", false},
      {"xcon", false},
      {"AUX1.bmp", false},
      {"CON\\menu.bmp", false},
      {"menu.con", false},
      {"", false},
      {"D:", false},
  };
  for (const auto& c : cases) EXPECT_EQ(c.device, IsDeviceName(c.path)) << "[" << c.path << "]";
}
