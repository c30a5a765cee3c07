#include "tools/mkkit/KitProgramImage.h"

#include <windows.h>

#include <array>
#include <fstream>

bool IsWindowsProgramImage(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::array<unsigned char, 4096> head{};
  in.read(reinterpret_cast<char*>(head.data()), head.size());
  const auto size = static_cast<std::size_t>(in.gcount());
  const auto u16 = [&](std::size_t at) { return static_cast<unsigned>(head[at] | head[at + 1] << 8); };
  if (size < 0x40 || head[0] != 'M' || head[1] != 'Z') return false;
  const std::size_t pe = u16(0x3C) | static_cast<std::size_t>(u16(0x3E)) << 16;
  const std::size_t optional = pe + 24;  // after the signature and the file header
  if (pe > size || size - pe < 24 + 70) return false;
  if (head[pe] != 'P' || head[pe + 1] != 'E' || head[pe + 2] != 0 || head[pe + 3] != 0) return false;
  const unsigned magic = u16(optional);
  if (magic != IMAGE_NT_OPTIONAL_HDR32_MAGIC && magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC) return false;
  return u16(optional + 68) == IMAGE_SUBSYSTEM_WINDOWS_GUI;
}
