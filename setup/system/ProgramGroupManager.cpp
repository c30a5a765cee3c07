#include "setup/system/ProgramGroupManager.h"

#include <cstdarg>

#include "framework/FormatText.h"

namespace {

// The client takes part in no transaction of its own: every one is
// acknowledged. Nothing in here can throw.
HDDEDATA CALLBACK AcknowledgeAll(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) noexcept {
  return reinterpret_cast<HDDEDATA>(1);
}

constexpr DWORD kTimeoutMs = 1000;

}  // namespace

CProgramGroupManager::CProgramGroupManager(ProgramManagerStarter startProgramManager, std::string service)
    : startProgramManager_(std::move(startProgramManager)), service_(std::move(service)) {}

// The conversation goes before the instance (member order).
CProgramGroupManager::~CProgramGroupManager() = default;

void CProgramGroupManager::StartProgramManager() { ::WinExec("progman.exe", SW_HIDE); }

std::string CProgramGroupManager::FormatCommand(const char* format, ...) {
  char buffer[kCommandBufferSize] = {};
  va_list args;
  va_start(args, format);
  const int written = FormatTextV(buffer, sizeof buffer, format, args);
  va_end(args);
  if (written < 0) return {};
  return buffer;
}

std::string CProgramGroupManager::ItemCommandLine(const std::string& program, const std::string& arguments) {
  std::string line = program.find_first_of(" \t") != std::string::npos ? "\"" + program + "\"" : program;
  if (!arguments.empty()) line += " " + arguments;
  return line;
}

int CProgramGroupManager::ItemRow(int showCommand) noexcept {
  return showCommand == SW_MINIMIZE || showCommand == SW_SHOWMINIMIZED ? 1 : 0;
}

std::string CProgramGroupManager::CreateGroupCommand(const std::string& group) {
  return FormatCommand("[CreateGroup (\"%s\")]", group.c_str());
}

std::string CProgramGroupManager::DeleteGroupCommand(const std::string& group) {
  return FormatCommand("[DeleteGroup(\"%s\")]", group.c_str());
}

std::string CProgramGroupManager::ReplaceItemCommand(const std::string& title) {
  return FormatCommand("[ReplaceItem (%s)]", title.c_str());
}

std::string CProgramGroupManager::DeleteItemCommand(const std::string& title) {
  return FormatCommand("[DeleteItem (%s)]", title.c_str());
}

std::string CProgramGroupManager::AddItemCommand(const std::string& commandLine, const std::string& title,
                                                 const std::string& iconPath, int iconIndex, int x, int showCommand) {
  const std::string& icon = iconPath.empty() ? commandLine : iconPath;
  return FormatCommand("[AddItem (%s,\"%s\",%s,%d,%d,%d,%s,%s,%d)]", commandLine.c_str(), title.c_str(), icon.c_str(),
                       iconIndex, x, ItemRow(showCommand), "", "", 0);
}

bool CProgramGroupManager::EnsureProgramManager(bool mayStart) {
  while (!connected_) {
    if (Connect()) {
      connected_ = 1;
      return true;
    }
    if (!mayStart) return false;
    if (startProgramManager_) startProgramManager_();
    mayStart = false;
  }
  return true;
}

bool CProgramGroupManager::Connect() {
  if (!initialized_) initialized_ = instance_.Initialize(&AcknowledgeAll, 0);
  if (!initialized_) return false;
  const CDdeStringHandle service(instance_.get(), service_.c_str());
  const CDdeStringHandle topic(instance_.get(), service_.c_str());
  if (!service.get() || !topic.get()) return false;
  HCONV conversation = ::DdeConnect(instance_.get(), service.get(), topic.get(), nullptr);
  if (!conversation) return false;
  conversation_.Reset(conversation);
  return true;
}

bool CProgramGroupManager::Execute(const std::string& command) {
  // Without a conversation the transaction could only fail.
  if (!conversation_.valid()) return false;
  const CDdeStringHandle item(instance_.get(), "");
  std::string data = command;  // DDEML takes the data as writable bytes
  HDDEDATA result = ::DdeClientTransaction(reinterpret_cast<LPBYTE>(data.data()), static_cast<DWORD>(data.size() + 1),
                                           conversation_.get(), item.get(), CF_TEXT, XTYP_EXECUTE, kTimeoutMs, nullptr);
  return result != nullptr;
}

bool CProgramGroupManager::Request(const char* itemName, std::string& text) {
  if (!conversation_.valid()) return false;
  const CDdeStringHandle item(instance_.get(), itemName);
  const CDdeData data(::DdeClientTransaction(nullptr, 0, conversation_.get(), item.get(), CF_TEXT, XTYP_REQUEST,
                                             kTimeoutMs, nullptr));
  if (!data.get()) return false;
  DWORD size = 0;
  const BYTE* bytes = ::DdeAccessData(data.get(), &size);
  if (!bytes) return false;
  // The text ends at its terminator or at the end of the data, whichever
  // comes first.
  const char* begin = reinterpret_cast<const char*>(bytes);
  std::size_t length = 0;
  while (length < size && begin[length] != '\0') ++length;
  text.assign(begin, length);
  ::DdeUnaccessData(data.get());
  return true;
}

bool CProgramGroupManager::AddItem(const std::string& group, const std::string& program, const std::string& arguments,
                                   const std::string& title, const std::string& iconPath, int iconIndex, int x,
                                   int showCommand) {
  EnsureProgramManager(true);
  // Without the group made current the item would land in another group.
  if (!Execute(CreateGroupCommand(group))) return false;
  // Fails when there is no item of that title to replace, which is normal.
  Execute(ReplaceItemCommand(title));
  return Execute(AddItemCommand(ItemCommandLine(program, arguments), title, iconPath, iconIndex, x, showCommand));
}

bool CProgramGroupManager::DeleteItem(const std::string& group, const std::string& title) {
  EnsureProgramManager(true);
  // Without the group made current an item of another group could go.
  if (!Execute(CreateGroupCommand(group))) return false;
  return Execute(DeleteItemCommand(title));
}

bool CProgramGroupManager::DeleteGroup(const std::string& group, int) {
  EnsureProgramManager(true);
  return Execute(DeleteGroupCommand(group));
}

bool CProgramGroupManager::ListGroups(HWND listBox) {
  EnsureProgramManager(true);
  std::string text;
  if (!Request("Progman", text)) return false;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    if (end > start) {
      const std::string name = text.substr(start, end - start);
      ::SendMessageA(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    start = end + 2;
  }
  return true;
}
