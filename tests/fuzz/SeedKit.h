// The kits the fuzz targets take their valid inputs from, built by the kit
// builder in a folder of their own: a CD of several folders with its menu
// (autorun.inf), two archives (one of them spanning folders, with stored
// and deflated members) and plain files, its profile and its seal; and the
// kit description they were built from.
#pragma once

#include <string>

#include "tests/support/Mutator.h"
#include "tools/mkkit/tests/KitTestSupport.h"

class SeedKit : public KitFolder {
public:
  SeedKit() {
    // Sources of a fixed time, so that the kit is the same on every run
    // (the tables of inputs that once failed hold its bytes).
    const auto fixed = [this](const std::string& name, const std::string& bytes) {
      SetModificationTime(Source(name, bytes), 820454400);  // 1996-01-01
    };
    fixed("app.exe", NoiseOf(9000, 3));
    fixed("read.me", TextOf(2500, 'r'));
    fixed("data.csv", NoiseOf(45000, 5));
    fixed("empty.dat", "");
    fixed("shared.dll", NoiseOf(600, 9));
    fixed("cdlaunch.exe", ProgramImage(700));
    fixed("_setupx.exe", ProgramImage(kSetupSize));
    ::CreateDirectoryA((dir / "menu").c_str(), nullptr);
    for (const char* name : {"menu.bmp", "go1.bmp", "go2.bmp", "click.wav", "readme.txt"}) {
      WriteFileBytes(dir / (std::string("menu\\") + name), std::string("picture or sound: ") + name);
    }
    description = Description(
        "media=cd\r\ncapacity=40000\r\n",
        "[files.Main]\r\napp.exe=src\\app.exe|0|main.ar1|the program\r\nread.me=src\\read.me|0\r\n"
        "empty.dat=src\\empty.dat|0|main.ar1\r\nshared.dll=src\\shared.dll|-3|main.ar1\r\n"
        "[files.More]\r\ndata.csv=src\\data.csv|1|data.ar1\r\nmore.me=src\\read.me|1|data.ar1\r\n",
        "[targets]\r\napp.exe=0|0|0|The program|/x||\r\n"
        "[cd]\r\nmenu=menu\r\nlauncher=src\\cdlaunch.exe\r\ncaption=Test CD\r\nbitmap=menu.bmp\r\nsound=click.wav\r\n"
        "centerbuttons=1\r\nregistry=HKEY_LOCAL_MACHINE\\Software\\Velt Fuzz Test|Version, 1.0\r\n"
        "[cd.buttons]\r\nGo=_setupx.exe /x|go.bmp|click.wav\r\nRead Me=readme.txt\r\nBrowse=explorer.exe\r\n"
        "Exit=QuitProgram\r\n");
    const CKitDescription d = Load(description);
    KitBuildOptions options;
    options.outputDir = dir / "out";
    options.clean = true;
    options.defaultLauncher = dir / "src\\cdlaunch.exe";
    built = CKitBuilder(d, options).Build() == kExitOk;
  }

  // A file of the built kit, relative to its root ("DISK01\\main.ar1").
  std::string Out(const std::string& name) const { return dir / ("out\\" + name); }
  fuzz::Bytes BytesOf(const std::string& name) const { return fuzz::ToBytes(ReadFileBytes(Out(name))); }

  std::string description;
  bool built = false;
};
