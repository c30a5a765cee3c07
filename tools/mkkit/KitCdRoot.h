// CKitCdRoot: the root of a CD kit, beside its numbered folders: the menu
// program as cdlaunch.exe, every file of the menu folder (pictures, sounds,
// a read-me) and an autorun.inf written from the description's [cd] and
// [cd.buttons], in which a command naming the setup program (_setupx.exe)
// starts it where the kit puts it, DISK01\_setupx.exe. Without buttons the
// menu has two: Install (the setup program) and Exit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/mkkit/KitDescription.h"

class CKitCdRoot {
public:
  static constexpr const char* kLauncherName = "cdlaunch.exe";
  static constexpr const char* kAutorunName = "autorun.inf";

  struct File {
    std::string name;    // in the CD's root
    std::string source;  // on the build machine
    std::uint64_t size = 0;
  };

  // Plans the root from the description's menu; menuFolder (--cd-menu)
  // replaces menu= of [cd], defaultLauncher is the menu program when [cd]
  // names none. Throws CKitException (bad input, naming the description's
  // line) for a missing or non-Windows menu program, a missing menu
  // folder, a file of it that cannot lie in the root, and a picture,
  // sound or command the menu names that would not be on the CD.
  void Plan(const CKitDescription& description, const std::string& menuFolder, const std::string& defaultLauncher);

  // The files to copy (the menu program first), and autorun.inf's text.
  const std::vector<File>& GetFiles() const noexcept { return files_; }
  // The menu program, to be signed (its source and size then the signed
  // copy's). Only after Plan.
  File& Launcher() { return files_.front(); }
  const std::string& GetAutorun() const noexcept { return autorun_; }

  // The command that starts the setup program from the CD's root.
  static std::string SetupCommand();

private:
  std::string Render(const CKitDescription& description) const;

  std::vector<File> files_;
  std::string autorun_;
};
