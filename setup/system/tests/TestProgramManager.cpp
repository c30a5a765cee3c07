#include "TestProgramManager.h"

TestProgramManager::TestProgramManager(std::string service, std::string groups, std::string refused)
    : service_(std::move(service)), groups_(std::move(groups)), refused_(std::move(refused)) {
  current_ = this;
  started_ = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  thread_ = std::thread([this] { Run(); });
  ::WaitForSingleObject(started_, 5000);
}

TestProgramManager::~TestProgramManager() {
  if (const DWORD id = threadId_) ::PostThreadMessageA(id, WM_QUIT, 0, 0);
  thread_.join();
  ::CloseHandle(started_);
  current_ = nullptr;
}

std::vector<std::string> TestProgramManager::Commands() {
  std::lock_guard<std::mutex> lock(mutex_);
  return commands_;
}

void TestProgramManager::Run() {
  MSG msg;
  ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue
  threadId_ = ::GetCurrentThreadId();
  if (::DdeInitializeA(&instance_, &Callback, APPCLASS_STANDARD | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS,
                       0) == DMLERR_NO_ERROR) {
    serviceName_ = ::DdeCreateStringHandleA(instance_, service_.c_str(), CP_WINANSI);
    ready_ = serviceName_ && ::DdeNameService(instance_, serviceName_, nullptr, DNS_REGISTER) != nullptr;
  }
  ::SetEvent(started_);
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) ::DispatchMessageA(&msg);
  if (instance_) {
    if (serviceName_) {
      ::DdeNameService(instance_, serviceName_, nullptr, DNS_UNREGISTER);
      ::DdeFreeStringHandle(instance_, serviceName_);
    }
    ::DdeUninitialize(instance_);
  }
}

HDDEDATA CALLBACK TestProgramManager::Callback(UINT type, UINT, HCONV, HSZ topic, HSZ item, HDDEDATA data, ULONG_PTR,
                                               ULONG_PTR) noexcept {
  try {
    return current_ ? current_->Handle(type, topic, item, data) : nullptr;
  } catch (...) {
    return nullptr;
  }
}

namespace {

std::string Text(DWORD instance, HSZ handle) {
  char text[256] = {};
  ::DdeQueryStringA(instance, handle, text, sizeof text, CP_WINANSI);
  return text;
}

}  // namespace

HDDEDATA TestProgramManager::Handle(UINT type, HSZ topic, HSZ item, HDDEDATA data) {
  switch (type) {
    case XTYP_CONNECT:
      return reinterpret_cast<HDDEDATA>(static_cast<INT_PTR>(::lstrcmpiA(Text(instance_, topic).c_str(),
                                                                         service_.c_str()) == 0));
    case XTYP_CONNECT_CONFIRM:
      ++connections_;
      return nullptr;
    case XTYP_EXECUTE: {
      const DWORD size = ::DdeGetData(data, nullptr, 0, 0);
      std::string command(size, '\0');
      ::DdeGetData(data, reinterpret_cast<LPBYTE>(command.data()), size, 0);
      command.resize(command.find('\0') == std::string::npos ? command.size() : command.find('\0'));
      {
        std::lock_guard<std::mutex> lock(mutex_);
        commands_.push_back(command);
      }
      const bool refused = !refused_.empty() && command.rfind(refused_, 0) == 0;
      return reinterpret_cast<HDDEDATA>(static_cast<INT_PTR>(refused ? DDE_FNOTPROCESSED : DDE_FACK));
    }
    case XTYP_REQUEST:
      if (Text(instance_, item) != "Progman") return nullptr;
      return ::DdeCreateDataHandle(instance_, reinterpret_cast<LPBYTE>(groups_.data()),
                                   static_cast<DWORD>(groups_.size() + 1), 0, item, CF_TEXT, 0);
    default:
      return nullptr;
  }
}
