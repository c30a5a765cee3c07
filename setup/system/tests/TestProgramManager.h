// A stand-in for Program Manager: a DDE server of a given service and topic
// on a thread of its own, which records the commands it is sent, refuses
// those that start with a given text, and answers a request for "Progman"
// with a list of groups. One at a time.
#pragma once

#include <windows.h>

#include <ddeml.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class TestProgramManager {
public:
  TestProgramManager(std::string service, std::string groups, std::string refused);
  ~TestProgramManager();
  TestProgramManager(const TestProgramManager&) = delete;
  TestProgramManager& operator=(const TestProgramManager&) = delete;

  // True once the service is registered.
  bool ready() const { return ready_; }
  std::vector<std::string> Commands();
  int Connections() const { return connections_; }

private:
  void Run();
  static HDDEDATA CALLBACK Callback(UINT type, UINT format, HCONV conversation, HSZ topic, HSZ item, HDDEDATA data,
                                    ULONG_PTR, ULONG_PTR) noexcept;
  HDDEDATA Handle(UINT type, HSZ topic, HSZ item, HDDEDATA data);

  static inline TestProgramManager* current_ = nullptr;

  std::string service_, groups_, refused_;
  DWORD instance_ = 0;
  HSZ serviceName_ = nullptr;
  std::mutex mutex_;
  std::vector<std::string> commands_;
  std::atomic<int> connections_{0};
  std::atomic<bool> ready_{false};
  std::atomic<DWORD> threadId_{0};
  HANDLE started_ = nullptr;
  std::thread thread_;
};
