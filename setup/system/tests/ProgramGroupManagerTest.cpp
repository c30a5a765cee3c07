// The Program Manager side: the command texts, the conversation with a
// stand-in Program Manager of the test's own service name, and the answers
// of the operations when nobody answers. Program Manager is never started:
// the starter is replaced by a counter.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "TestProgramManager.h"
#include "setup/system/ProgramGroupManager.h"

namespace {

class ProgramGroupManagerTest : public ::testing::Test {
protected:
  // Counts the starts of Program Manager instead of starting it.
  CProgramGroupManager::ProgramManagerStarter CountStart() {
    return [this] { ++starts; };
  }

  int starts = 0;

  const std::string noProgman = "VeltNoProgman" + std::to_string(::GetCurrentProcessId());
};

}  // namespace

TEST_F(ProgramGroupManagerTest, CommandTextsAreExact) {
  using M = CProgramGroupManager;
  EXPECT_EQ("[CreateGroup (\"Veltrane\")]", M::CreateGroupCommand("Veltrane"));
  EXPECT_EQ("[DeleteGroup(\"Veltrane\")]", M::DeleteGroupCommand("Veltrane"));
  EXPECT_EQ("[ReplaceItem (Read Me)]", M::ReplaceItemCommand("Read Me"));
  EXPECT_EQ("[DeleteItem (Read Me)]", M::DeleteItemCommand("Read Me"));
  EXPECT_EQ("[AddItem (\"C:\\Velt App\\veltapp.exe\" -x,\"Veltrane\",C:\\V\\velt.ico,3,7,0,,,0)]",
            M::AddItemCommand("\"C:\\Velt App\\veltapp.exe\" -x", "Veltrane", "C:\\V\\velt.ico", 3, 7, SW_SHOW));
  EXPECT_EQ("[AddItem (C:\\V\\veltapp.exe,\"Veltrane\",C:\\V\\veltapp.exe,0,0,1,,,0)]",
            M::AddItemCommand("C:\\V\\veltapp.exe", "Veltrane", "", 0, 0, SW_SHOWMINIMIZED))
      << "no icon path: the command line serves";
}

TEST_F(ProgramGroupManagerTest, MinimizedItemsGoToRowOne) {
  const struct {
    int showCommand;
    int row;
  } rows[] = {{SW_MINIMIZE, 1}, {SW_SHOWMINIMIZED, 1}, {SW_SHOW, 0}, {SW_SHOWNORMAL, 0},
              {SW_SHOWMINNOACTIVE, 0}, {SW_MAXIMIZE, 0}, {SW_HIDE, 0}};
  for (const auto& row : rows) {
    EXPECT_EQ(row.row, CProgramGroupManager::ItemRow(row.showCommand)) << "showCommand " << row.showCommand;
  }
}

TEST_F(ProgramGroupManagerTest, CommandLineIsQuotedOnlyForABlankOrATab) {
  const struct {
    const char* program;
    const char* arguments;
    const char* line;
  } rows[] = {
      {"C:\\V\\veltapp.exe", "", "C:\\V\\veltapp.exe"},
      {"C:\\V\\veltapp.exe", "-x y", "C:\\V\\veltapp.exe -x y"},
      {"C:\\Velt App\\veltapp.exe", "", "\"C:\\Velt App\\veltapp.exe\""},
      {"C:\\Velt\tApp\\veltapp.exe", "-x", "\"C:\\Velt\tApp\\veltapp.exe\" -x"},
      {"", "", ""},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.line, CProgramGroupManager::ItemCommandLine(row.program, row.arguments)) << row.program;
  }
}

TEST_F(ProgramGroupManagerTest, OverlongCommandIsCutToTheBuffer) {
  const std::string group(700, 'g');
  const std::string command = CProgramGroupManager::CreateGroupCommand(group);
  ASSERT_EQ(CProgramGroupManager::kCommandBufferSize - 1, command.size());
  EXPECT_EQ("[CreateGroup (\"" + group.substr(0, command.size() - 15), command);
  const std::string exact(CProgramGroupManager::kCommandBufferSize - 1 - 18, 'g');
  EXPECT_EQ("[CreateGroup (\"" + exact + "\")]", CProgramGroupManager::CreateGroupCommand(exact)) << "exact fit";
}

TEST_F(ProgramGroupManagerTest, WithoutProgramManagerEveryOperationFails) {
  CProgramGroupManager manager(CountStart(), noProgman);
  EXPECT_FALSE(manager.AddItem("Veltrane", "C:\\V\\veltapp.exe", "", "Veltrane", "", 0, 0, SW_SHOW));
  EXPECT_EQ(1, starts) << "started once, then asked once more";
  EXPECT_FALSE(manager.DeleteItem("Veltrane", "Veltrane"));
  EXPECT_FALSE(manager.DeleteGroup("Veltrane", 0));

  HWND list = ::CreateWindowA("LISTBOX", "", 0, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, list);
  EXPECT_FALSE(manager.ListGroups(list));
  EXPECT_EQ(0, ::SendMessageA(list, LB_GETCOUNT, 0, 0));
  ::DestroyWindow(list);
  EXPECT_EQ(4, starts) << "every operation tries once to start it";
}

TEST_F(ProgramGroupManagerTest, ProgramManagerReceivesTheCommandsOnOneConversation) {
  const std::string service = "VeltProgman" + std::to_string(::GetCurrentProcessId());
  TestProgramManager progman(service, "Veltrane\r\nAccessories\r\n\r\nGames", "[ReplaceItem");
  ASSERT_TRUE(progman.ready());
  {
    CProgramGroupManager manager(CountStart(), service);
    EXPECT_TRUE(manager.AddItem("Veltrane", "C:\\Velt App\\veltapp.exe", "-v", "Veltrane", "", 2, 0, SW_MINIMIZE))
        << "an item that replaces nothing is still added";
    EXPECT_TRUE(manager.DeleteItem("Veltrane", "Read Me"));
    EXPECT_TRUE(manager.DeleteGroup("Veltrane", 0));
    HWND list = ::CreateWindowA("LISTBOX", "", 0, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, list);
    EXPECT_TRUE(manager.ListGroups(list));
    ASSERT_EQ(3, ::SendMessageA(list, LB_GETCOUNT, 0, 0)) << "empty pieces are left out";
    ::DestroyWindow(list);
  }
  const std::vector<std::string> expected = {
      "[CreateGroup (\"Veltrane\")]",
      "[ReplaceItem (Veltrane)]",
      "[AddItem (\"C:\\Velt App\\veltapp.exe\" -v,\"Veltrane\",\"C:\\Velt App\\veltapp.exe\" -v,2,0,1,,,0)]",
      "[CreateGroup (\"Veltrane\")]",
      "[DeleteItem (Read Me)]",
      "[DeleteGroup(\"Veltrane\")]",
  };
  EXPECT_EQ(expected, progman.Commands());
  EXPECT_EQ(1, progman.Connections());
  EXPECT_EQ(0, starts);
}

TEST_F(ProgramGroupManagerTest, NoItemIsTouchedWhenTheGroupCannotBeMadeCurrent) {
  const std::string service = "VeltProgman" + std::to_string(::GetCurrentProcessId());
  TestProgramManager progman(service, "", "[CreateGroup");
  ASSERT_TRUE(progman.ready());
  {
    CProgramGroupManager manager(CountStart(), service);
    EXPECT_FALSE(manager.AddItem("Veltrane", "veltapp.exe", "", "Veltrane", "", 0, 0, SW_SHOW));
    EXPECT_FALSE(manager.DeleteItem("Veltrane", "Veltrane"));
  }
  const std::vector<std::string> expected = {"[CreateGroup (\"Veltrane\")]", "[CreateGroup (\"Veltrane\")]"};
  EXPECT_EQ(expected, progman.Commands()) << "no item of another group may be replaced or deleted";
}
