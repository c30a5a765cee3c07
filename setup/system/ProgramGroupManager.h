// CProgramGroupManager: the program groups and items of Program Manager,
// driven through DDE (service and topic "PROGMAN"). Every operation first
// makes sure a conversation is open, starting Program Manager once when none
// answers. Results are for callers that may ignore them: an operation that
// cannot reach Program Manager returns false and never throws.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "setup/system/DdeHandles.h"

class CProgramGroupManager {
public:
  // What is done to start Program Manager when no conversation could be
  // opened (StartProgramManager in a real run).
  using ProgramManagerStarter = std::function<void()>;

  // service is the DDE service and topic to talk to; "PROGMAN" but for tests.
  explicit CProgramGroupManager(ProgramManagerStarter startProgramManager, std::string service = "PROGMAN");
  CProgramGroupManager(const CProgramGroupManager&) = delete;
  CProgramGroupManager& operator=(const CProgramGroupManager&) = delete;
  virtual ~CProgramGroupManager();

  // Makes group current (creating it when missing) and adds an item that
  // takes the place of an existing item of the same title. A minimized
  // showCommand (SW_MINIMIZE, SW_SHOWMINIMIZED) puts the item in row 1.
  virtual bool AddItem(const std::string& group, const std::string& program, const std::string& arguments,
                       const std::string& title, const std::string& iconPath, int iconIndex, int x,
                       int showCommand);
  virtual bool DeleteItem(const std::string& group, const std::string& title);
  // The second argument is not used.
  virtual bool DeleteGroup(const std::string& group, int unused);
  // Adds the name of every existing group to the list box; false, and
  // nothing added, when Program Manager cannot be reached.
  virtual bool ListGroups(HWND listBox);

  // Starts Program Manager: WinExec "progman.exe" hidden.
  static void StartProgramManager();

  // Program Manager command texts, formatted as they are sent: into a
  // 512-byte buffer, a longer text cut to 511 characters.
  static constexpr std::size_t kCommandBufferSize = 512;
  static std::string FormatCommand(const char* format, ...) __attribute__((format(printf, 1, 2)));
  // The command line of an item: program, in double quotes when it holds a
  // blank or a tab, then a blank and the arguments when there are any.
  static std::string ItemCommandLine(const std::string& program, const std::string& arguments);
  // The row of an item: 1 for a minimized showCommand, otherwise 0.
  static int ItemRow(int showCommand) noexcept;

  // The commands as sent. AddItemCommand takes the item's command line,
  // which also serves as its icon path when iconPath is empty; the item has
  // no default directory and no hot key.
  static std::string CreateGroupCommand(const std::string& group);
  static std::string DeleteGroupCommand(const std::string& group);
  static std::string ReplaceItemCommand(const std::string& title);
  static std::string DeleteItemCommand(const std::string& title);
  static std::string AddItemCommand(const std::string& commandLine, const std::string& title,
                                    const std::string& iconPath, int iconIndex, int x, int showCommand);

protected:
  // Opens the conversation when none is open; starts Program Manager and
  // tries once more when mayStart is set. True while connected.
  bool EnsureProgramManager(bool mayStart);

private:
  bool Connect();
  bool Execute(const std::string& command);
  // The text of item in CF_TEXT; false when there is no answer.
  bool Request(const char* item, std::string& text);

  ProgramManagerStarter startProgramManager_;
  std::string service_;
  CDdeInstance instance_;  // before the handles that belong to it
  bool initialized_ = false;
  CDdeConversation conversation_;
  int connected_ = 0;
};
