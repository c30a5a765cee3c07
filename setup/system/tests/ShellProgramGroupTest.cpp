// The Start Menu group as folders and shell links, made and removed in a
// Programs folder of the test's own, through the creation and removal of the
// program items and through the manager itself.
#include <gtest/gtest.h>

#include <windows.h>

#include <objidl.h>
#include <shlobj.h>

#include <string>

#include "framework/ComPtr.h"
#include "setup/profile/TargetTable.h"
#include "setup/system/ProgramItems.h"
#include "setup/system/ShellProgramGroupManager.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestFiles.h"

namespace {

bool FileExists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

struct LinkFields {
  std::string path, arguments, description, workingDirectory;
  int showCommand = 0;
};

// Reads a link back through the shell; false when it cannot be loaded.
bool ReadLink(const std::string& file, LinkFields& fields) {
  ::CoInitialize(nullptr);
  CComPtr<IShellLinkA> link;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link)))) {
    return false;
  }
  CComPtr<IPersistFile> persist;
  if (FAILED(link.As(persist, IID_IPersistFile))) return false;
  const std::wstring wide(file.begin(), file.end());
  if (FAILED(persist->Load(wide.c_str(), STGM_READ))) return false;
  char text[MAX_PATH * 2] = {};
  link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
  fields.path = text;
  link->GetArguments(text, sizeof text);
  fields.arguments = text;
  link->GetDescription(text, sizeof text);
  fields.description = text;
  link->GetWorkingDirectory(text, sizeof text);
  fields.workingDirectory = text;
  link->GetShowCmd(&fields.showCommand);
  return true;
}

class ShellProgramGroupTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(::CreateDirectoryA(programs.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryA(product.c_str(), nullptr));
    WriteFileBytes(product + "\\veltapp.exe", "MZ");
    WriteFileBytes(product + "\\tool.exe", "MZ");
  }
  // Counts the starts of Program Manager instead of starting it.
  CProgramGroupManager::ProgramManagerStarter CountStart() {
    return [this] { ++starts; };
  }

  // A target table whose [targets] section is the given text.
  void LoadTargets(const std::string& records) {
    const std::string profile = temp / "_setupx.ini";
    WriteFileBytes(profile, "[targets]\r\n" + records);
    std::string folder = "Veltrane";
    targets.Load(CPathName(profile), folder);
  }
  std::string Link(const std::string& group, const std::string& title) const {
    return programs + "\\" + group + "\\" + title + ".lnk";
  }

  TempDir temp;
  const std::string programs = temp / "Programs";
  const std::string product = temp / "Veltrane";
  // The Program Manager fallback talks to a service nobody offers.
  const std::string noProgman = "VeltNoProgman" + std::to_string(::GetCurrentProcessId());
  CTargetTable targets;
  int starts = 0;
};

}  // namespace

TEST_F(ShellProgramGroupTest, CreatesALinkPerItemWithAProgramPath) {
  LoadTargets("veltapp.exe=3|0|1|Veltrane|-open \"a b\"|velt.ico|" + product + "\\veltapp.exe\r\n" +
              "readme.txt=0|0|0|Read Me|||\r\n");
  CShellProgramGroupManager manager(4, CountStart(), programs, noProgman);
  CreateProgramItems(manager, targets, "Veltrane", CPathName(product + "\\"));

  LinkFields fields;
  ASSERT_TRUE(ReadLink(Link("Veltrane", "Veltrane"), fields));
  EXPECT_EQ(product + "\\veltapp.exe", fields.path);
  EXPECT_EQ("-open \"a b\"", fields.arguments);
  EXPECT_EQ("Veltrane", fields.description);
  EXPECT_EQ(product, fields.workingDirectory);
  EXPECT_NE(SW_SHOWMINIMIZED, fields.showCommand) << "the minimized flag is for Program Manager only";
  EXPECT_FALSE(FileExists(Link("Veltrane", "Read Me"))) << "an item without a program path gets no link";
  EXPECT_EQ(0, starts);
}

TEST_F(ShellProgramGroupTest, NestedGroupIsMadeWholeAndOnlyItsInnermostFolderGoes) {
  LoadTargets("veltapp.exe=0|0|0|Veltrane|||" + product + "\\veltapp.exe\r\n");
  CShellProgramGroupManager manager(4, CountStart(), programs, noProgman);
  CreateProgramItems(manager, targets, "Tools\\Veltrane", CPathName(product + "\\"));
  ASSERT_TRUE(FileExists(Link("Tools\\Veltrane", "Veltrane")));

  RemoveProgramItems(manager, targets, "Tools\\Veltrane");
  EXPECT_FALSE(FileExists(Link("Tools\\Veltrane", "Veltrane")));
  EXPECT_FALSE(FileExists(programs + "\\Tools\\Veltrane"));
  EXPECT_TRUE(FileExists(programs + "\\Tools"));
}

TEST_F(ShellProgramGroupTest, GroupHoldingAnotherFileSurvivesRemoval) {
  LoadTargets("veltapp.exe=0|0|0|Veltrane|||" + product + "\\veltapp.exe\r\nreadme.txt=0|0|0|Read Me|||\r\n");
  CShellProgramGroupManager manager(4, CountStart(), programs, noProgman);
  CreateProgramItems(manager, targets, "Veltrane", CPathName(product + "\\"));
  // The user's own link, of the title of the item that has no program.
  WriteFileBytes(Link("Veltrane", "Read Me"), "x");

  RemoveProgramItems(manager, targets, "Veltrane");
  EXPECT_FALSE(FileExists(Link("Veltrane", "Veltrane")));
  EXPECT_TRUE(FileExists(Link("Veltrane", "Read Me"))) << "an item without a program path deletes nothing";
  EXPECT_FALSE(manager.DeleteGroup("Veltrane", 0));
  EXPECT_FALSE(manager.DeleteGroup("", 0)) << "never the Programs folder itself";
  EXPECT_TRUE(FileExists(programs));
}

TEST_F(ShellProgramGroupTest, SecondItemOfTheSameTitleOverwritesAndIsDeletedOnce) {
  LoadTargets("veltapp.exe=0|0|0|Veltrane|||" + product + "\\veltapp.exe\r\n" + "tool.exe=0|0|0|Veltrane|||" +
              product + "\\tool.exe\r\n");
  CShellProgramGroupManager manager(4, CountStart(), programs, noProgman);
  CreateProgramItems(manager, targets, "Veltrane", CPathName(product + "\\"));
  LinkFields fields;
  ASSERT_TRUE(ReadLink(Link("Veltrane", "Veltrane"), fields));
  EXPECT_EQ(product + "\\tool.exe", fields.path);

  EXPECT_TRUE(manager.DeleteItem("Veltrane", "Veltrane"));
  EXPECT_FALSE(manager.DeleteItem("Veltrane", "Veltrane")) << "already gone";
  EXPECT_TRUE(manager.DeleteGroup("Veltrane", 0));
  EXPECT_FALSE(FileExists(programs + "\\Veltrane"));
}

TEST_F(ShellProgramGroupTest, ProgramsFolderComesFromTheShellFoldersOrTheWindowsDirectory) {
  const std::string folder = CShellProgramGroupManager::ProgramsFolder();
  ASSERT_FALSE(folder.empty());
  CShellProgramGroupManager manager(4, CountStart());
  EXPECT_EQ(folder.back() == '\\' ? folder : folder + "\\", manager.GetProgramsFolder().GetPath());
}

TEST_F(ShellProgramGroupTest, BeforeWindowsFourProgramManagerIsAskedInstead) {
  CShellProgramGroupManager manager(3, CountStart(), programs, noProgman);
  EXPECT_FALSE(manager.UsesShell());
  EXPECT_FALSE(manager.CreateShortcut("Veltrane", product + "\\veltapp.exe", "", "Veltrane", "", 0, product, SW_SHOW, 5));
  EXPECT_FALSE(FileExists(programs + "\\Veltrane"));
  EXPECT_EQ(1, starts) << "Program Manager is started once when it does not answer";
  EXPECT_FALSE(manager.DeleteItem("Veltrane", "Veltrane"));
  EXPECT_FALSE(manager.DeleteGroup("Veltrane", 0));
}
