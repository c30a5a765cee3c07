// RAII owners for the DDEML handles of a client: the instance, its string
// handles and its conversation. Each frees its handle quietly when it goes;
// string handles and conversations must go before their instance.
#pragma once

#include <windows.h>

#include <ddeml.h>

#include <utility>

// One DDEML instance (DdeInitializeA / DdeUninitialize).
class CDdeInstance {
public:
  CDdeInstance() noexcept = default;
  CDdeInstance(const CDdeInstance&) = delete;
  CDdeInstance& operator=(const CDdeInstance&) = delete;
  ~CDdeInstance() { Reset(); }

  // Registers callback with the given filter flags; true when it worked.
  bool Initialize(PFNCALLBACK callback, DWORD flags) noexcept {
    Reset();
    DWORD id = 0;
    if (::DdeInitializeA(&id, callback, flags, 0) != DMLERR_NO_ERROR) return false;
    id_ = id;
    return true;
  }
  void Reset() noexcept {
    if (id_ != 0) ::DdeUninitialize(std::exchange(id_, 0));
  }
  DWORD get() const noexcept { return id_; }
  bool valid() const noexcept { return id_ != 0; }

private:
  DWORD id_ = 0;
};

// One string handle of an instance (DdeCreateStringHandleA, CP_WINANSI).
class CDdeStringHandle {
public:
  CDdeStringHandle() noexcept = default;
  CDdeStringHandle(DWORD instance, const char* text) noexcept
      : instance_(instance),
        handle_(instance != 0 ? ::DdeCreateStringHandleA(instance, text, CP_WINANSI) : nullptr) {}
  CDdeStringHandle(const CDdeStringHandle&) = delete;
  CDdeStringHandle& operator=(const CDdeStringHandle&) = delete;
  ~CDdeStringHandle() {
    if (handle_) ::DdeFreeStringHandle(instance_, handle_);
  }

  HSZ get() const noexcept { return handle_; }

private:
  DWORD instance_ = 0;
  HSZ handle_ = nullptr;
};

// One conversation (DdeConnect / DdeDisconnect).
class CDdeConversation {
public:
  CDdeConversation() noexcept = default;
  CDdeConversation(const CDdeConversation&) = delete;
  CDdeConversation& operator=(const CDdeConversation&) = delete;
  ~CDdeConversation() { Reset(); }

  void Reset(HCONV conversation = nullptr) noexcept {
    if (handle_) ::DdeDisconnect(handle_);
    handle_ = conversation;
  }
  HCONV get() const noexcept { return handle_; }
  bool valid() const noexcept { return handle_ != nullptr; }

private:
  HCONV handle_ = nullptr;
};

// The data of a transaction's result handle (DdeFreeDataHandle).
class CDdeData {
public:
  explicit CDdeData(HDDEDATA handle) noexcept : handle_(handle) {}
  CDdeData(const CDdeData&) = delete;
  CDdeData& operator=(const CDdeData&) = delete;
  ~CDdeData() {
    if (handle_) ::DdeFreeDataHandle(handle_);
  }

  HDDEDATA get() const noexcept { return handle_; }

private:
  HDDEDATA handle_;
};
