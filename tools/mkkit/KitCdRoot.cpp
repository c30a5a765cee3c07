#include "tools/mkkit/KitCdRoot.h"

#include <windows.h>

#include <algorithm>
#include <set>

#include "framework/ScopedHandle.h"
#include "setup/archive/MediaFileName.h"
#include "tools/mkkit/AutorunCheck.h"
#include "tools/mkkit/KitBuilder.h"
#include "tools/mkkit/KitException.h"
#include "tools/mkkit/KitProgramImage.h"
#include "tools/mkkit/LowerCase.h"

namespace {

// The command as autorun.inf gets it: the setup program, named alone,
// becomes the kit's copy in DISK01.
std::string CdCommand(const std::string& command) {
  const auto blank = command.find(' ');
  const std::string program = command.substr(0, blank);
  if (!SameName(program, CKitDescription::kSetupProgramName)) return command;
  return CKitCdRoot::SetupCommand() + (blank == std::string::npos ? std::string() : command.substr(blank));
}

}  // namespace

std::string CKitCdRoot::SetupCommand() {
  return CKitBuilder::DisketteFolder("", MediaKind::cd, 1).substr(1) + "\\" + CKitDescription::kSetupProgramName;
}

void CKitCdRoot::Plan(const CKitDescription& d, const std::string& menuFolder, const std::string& defaultLauncher) {
  files_.clear();
  const KitCdMenu& cd = d.cd;
  const std::string launcherWhere = cd.launcherLine ? d.Where(cd.launcherLine) : d.WhereSection("cd");
  const std::string launcher = cd.launcher.empty() ? defaultLauncher : cd.launcher;
  WIN32_FILE_ATTRIBUTE_DATA program;
  if (launcher.empty() || !::GetFileAttributesExA(launcher.c_str(), GetFileExInfoStandard, &program) ||
      (program.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    ThrowBadInput(launcherWhere, "the CD's menu program " + launcher + " is missing (launcher= of [cd] names it)");
  }
  if (!IsWindowsProgramImage(launcher)) ThrowBadInput(launcherWhere, "the CD's menu program " + launcher + " is not a Windows program");
  files_.push_back(File{kLauncherName, launcher,
                        (static_cast<std::uint64_t>(program.nFileSizeHigh) << 32) | program.nFileSizeLow});

  const std::string folder = menuFolder.empty() ? cd.folder : menuFolder;
  const std::string folderWhere = !menuFolder.empty() ? std::string("--cd-menu")
                                  : cd.folderLine    ? d.Where(cd.folderLine)
                                                     : d.WhereSection("cd");
  std::set<std::string> taken{Lower(kLauncherName), Lower(kAutorunName)};
  if (!folder.empty()) {
    const DWORD a = ::GetFileAttributesA(folder.c_str());
    if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_DIRECTORY)) {
      ThrowBadInput(folderWhere, "the menu folder " + folder + " is missing");
    }
    // Every file of the folder, in name order; its folders stay behind.
    std::vector<File> found;
    WIN32_FIND_DATAA data;
    CFindHandle find(::FindFirstFileA((folder + "\\*").c_str(), &data));
    if (find.valid()) {
      do {
        if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
        const std::string name = data.cFileName;
        if (!IsUsableFileName(name)) ThrowBadInput(folderWhere, "the menu folder holds " + name + ", which cannot be a file of the CD");
        const std::string lower = Lower(name);
        bool numbered = false;
        for (int n = 1; n <= CKitBuilder::kMaxCdFolders; ++n) {
          numbered = numbered || lower == Lower(CKitBuilder::DisketteFolder("", MediaKind::cd, n).substr(1));
        }
        if (taken.count(lower) || numbered) {
          ThrowBadInput(folderWhere, "the menu folder holds " + name + ", a name mkkit gives its own files and folders of the CD");
        }
        found.push_back(File{name, folder + "\\" + name,
                             (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow});
      } while (::FindNextFileA(find.get(), &data));
    }
    std::sort(found.begin(), found.end(), [](const File& x, const File& y) { return Lower(x.name) < Lower(y.name); });
    for (File& f : found) {
      taken.insert(Lower(f.name));
      files_.push_back(std::move(f));
    }
  }
  autorun_ = Render(d);

  // Everything the menu names must be on the CD once it is written.
  const std::string setup = Lower(SetupCommand());
  const std::string problem = FindAutorunProblem(autorun_, [&](const std::string& path, bool anyExtension) {
    const std::string lower = Lower(path);
    if (lower == setup) return true;
    if (!anyExtension) return taken.count(lower) > 0;
    return std::any_of(taken.begin(), taken.end(), [&](const std::string& name) { return name.rfind(lower + ".", 0) == 0; });
  });
  if (!problem.empty()) {
    ThrowBadInput(d.WhereSection("cd"), problem.substr(problem.find(": ") + 2) +
                                            (folder.empty() ? " (no menu folder: menu= of [cd], or --cd-menu)"
                                                            : " (the menu folder is " + folder + ")"));
  }
}

std::string CKitCdRoot::Render(const CKitDescription& d) const {
  const KitCdMenu& cd = d.cd;
  std::string text;
  const auto line = [&](const std::string& key, const std::string& value) {
    if (!value.empty()) text += key + "=" + value + "\r\n";
  };
  text += "[autorun]\r\n";
  line("open", std::string(kLauncherName) + " /autorun");
  line("icon", kLauncherName);
  text += "\r\n[Application Info]\r\n";
  line("Bitmap", cd.bitmap);
  // Without a caption or a program group the menu would fall back on its
  // own title, the host product's: a product the kit names gives its name.
  const std::string& named = d.product.identity.named ? d.product.identity.name : d.programGroup;
  line("Caption", !cd.caption.empty() ? cd.caption : !d.programGroup.empty() ? d.programGroup : named);
  line("PlaySound", cd.sound);
  line("CenterButtons", cd.centerButtons);

  std::vector<KitCdButton> buttons = cd.buttons;
  if (buttons.empty()) {
    buttons.push_back(KitCdButton{"Install", CKitDescription::kSetupProgramName, {}, {}, 0});
    buttons.push_back(KitCdButton{"Exit", "QuitProgram", {}, {}, 0});
  }
  text += "\r\n[Commands]\r\n";
  for (std::size_t n = 0; n < buttons.size(); ++n) line(std::to_string(n + 1), buttons[n].label);
  for (const KitCdButton& b : buttons) {
    text += "\r\n[" + b.label + "]\r\n";
    line("Bitmap", b.bitmap);
    line("Command", CdCommand(b.command));
    line("PlaySound", b.sound);
  }
  if (!cd.registryKey.empty()) {
    text += "\r\n[Registry]\r\n";
    line("Key", cd.registryKey);
    line("Value", cd.registryValue);
  }
  return text;
}
