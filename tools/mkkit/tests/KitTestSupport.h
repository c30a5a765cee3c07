// Kits built in a test's own folder: source files, descriptions and the
// builder's and verifier's runs.
#pragma once

#include <algorithm>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"
#include "tests/support/TestFiles.h"
#include "tools/mkkit/KitBuilder.h"
#include "tools/mkkit/KitDescription.h"
#include "tools/mkkit/KitVerifier.h"

// The headers of a Windows program (an "MZ" stub leading to a PE image of
// the given subsystem, 2 = Windows GUI, 3 = console), padded to size bytes.
inline std::string ProgramImage(std::size_t size, unsigned subsystem = 2) {
  std::string image(std::max<std::size_t>(size, 0x140), 'S');
  const auto put16 = [&](std::size_t at, unsigned v) {
    image[at] = static_cast<char>(v & 0xFF);
    image[at + 1] = static_cast<char>(v >> 8);
  };
  image[0] = 'M';
  image[1] = 'Z';
  put16(0x3C, 0x40);
  put16(0x3E, 0);
  image.replace(0x40, 4, std::string("PE\0\0", 4));
  put16(0x44, 0x14C);  // i386
  put16(0x54, 0xE0);   // size of the optional header
  put16(0x58, 0x10B);  // PE32
  put16(0x58 + 68, subsystem);
  return image;
}

class KitFolder {
public:
  static constexpr std::size_t kSetupSize = 512;

  KitFolder() {
    ::CreateDirectoryA((dir / "src").c_str(), nullptr);
    Source("_setupx.exe", ProgramImage(kSetupSize));
  }

  // A source file below src.
  std::string Source(const std::string& name, const std::string& content) {
    WriteFileBytes(dir / ("src\\" + name), content);
    return dir / ("src\\" + name);
  }

  // Writes the description: [kit] from kit, the standard records, and the
  // files sections given.
  std::string Description(const std::string& kit, const std::string& files, const std::string& extra = "") {
    const std::string path = dir / "kit.ini";
    WriteFileBytes(path, "[kit]\r\nsetup=src\\_setupx.exe\r\npmgroup=Test\r\n" + kit +
                             "\r\n[destinations]\r\n0=Prog||C:\\Prog\r\n1=Data|0|\r\n"
                             "[groups]\r\nMain=Main files||1|1|1\r\nMore=More files||0|1|1\r\n"
                             "[diskettes]\r\n1=Disk one|\r\n2=Disk two|\r\n" +
                             extra + files);
    return path;
  }

  CKitDescription Load(const std::string& path) {
    CKitDescription d;
    d.Load(path, {});
    return d;
  }

  KitExitCode Build(const CKitDescription& d, const std::string& out = "out") {
    KitBuildOptions options;
    options.outputDir = dir / out;
    options.clean = true;
    CKitBuilder builder(d, options);
    return builder.Build();
  }

  KitExitCode Verify(const CKitDescription* d, const std::string& out = "out") {
    KitVerifyOptions options;
    options.description = d;
    return CKitVerifier(dir / out, options).Verify();
  }

  static std::string Read(const std::string& path) { return ReadFileBytes(path); }

  TempDir dir;
};

// Sample contents: text that compresses, and bytes that do not.
inline std::string TextOf(std::size_t size, char seed) {
  std::string s;
  for (int i = 0; s.size() < size; ++i) s += "entry " + std::to_string(i) + " of " + seed + "\r\n";
  s.resize(size);
  return s;
}
inline std::string NoiseOf(std::size_t size, unsigned seed) {
  std::string s(size, '\0');
  for (auto& c : s) {
    seed = seed * 1103515245u + 12345u;
    c = static_cast<char>(seed >> 23);
  }
  return s;
}
