#include "setup/archive/SourceReadAhead.h"

#include <algorithm>

#include "setup/archive/Sha256.h"

class CSourceReadAhead::Lock {
public:
  explicit Lock(CRITICAL_SECTION& section) noexcept : section_(section) { ::EnterCriticalSection(&section_); }
  ~Lock() { ::LeaveCriticalSection(&section_); }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

private:
  CRITICAL_SECTION& section_;
};

CSourceReadAhead::CSourceReadAhead()
    : wanted_(::CreateEventA(nullptr, FALSE, FALSE, nullptr)), done_(::CreateEventA(nullptr, FALSE, FALSE, nullptr)) {
  ::InitializeCriticalSection(&lock_);
  threadFailed_ = !wanted_ || !done_;
  spares_.reserve(kMaxSpares);
}

CSourceReadAhead::~CSourceReadAhead() {
  if (thread_) {
    {
      Lock lock(lock_);
      stopping_ = true;
    }
    ::SetEvent(wanted_.get());
    ::WaitForSingleObject(thread_.get(), INFINITE);
  }
  ::DeleteCriticalSection(&lock_);
}

std::uint64_t CSourceReadAhead::BytesAhead() const noexcept {
  std::uint64_t bytes = 0;
  for (const Request& request : requests_) bytes += request.size;
  return bytes;
}

bool CSourceReadAhead::HasRoomFor(std::uint64_t size) const noexcept {
  if (size > kMaxFileSize || threadFailed_) return false;
  Lock lock(lock_);
  return requests_.size() < kMaxFiles && BytesAhead() + size <= kMaxBytes;
}

bool CSourceReadAhead::RunsLow() const noexcept {
  if (threadFailed_) return false;
  Lock lock(lock_);
  return requests_.size() <= kMaxFiles / 2 && BytesAhead() <= kMaxBytes / 2;
}

void CSourceReadAhead::Want(const std::string& path, std::uint64_t size) {
  if (!HasRoomFor(size)) return;
  if (!thread_) {
    DWORD threadId = 0;  // Windows 95 wants somewhere to put it
    thread_.reset(::CreateThread(nullptr, 0, &CSourceReadAhead::ThreadMain, this, 0, &threadId));
    if (!thread_) {
      threadFailed_ = true;
      return;
    }
  }
  {
    Lock lock(lock_);
    Request request;
    request.id = nextId_++;
    request.size = size;
    request.file.path = path;
    requests_.push_back(std::move(request));
    // Each event is a call to the system (under Wine, to another
    // process): the thread is woken only when it waits.
    if (!threadWaits_) return;
    threadWaits_ = false;
  }
  ::SetEvent(wanted_.get());
}

void CSourceReadAhead::GiveUp() {
  Lock lock(lock_);
  requests_.clear();
}

std::optional<CReadAheadFile> CSourceReadAhead::Take(const std::string& path) {
  Lock lock(lock_);
  const auto wanted = std::find_if(requests_.begin(), requests_.end(),
                                   [&](const Request& request) { return request.file.path == path; });
  if (wanted == requests_.end()) return std::nullopt;
  // Those before it will not be taken: one being read is finished by the
  // thread and then dropped.
  requests_.erase(requests_.begin(), wanted);
  while (requests_.front().state == State::waiting || requests_.front().state == State::reading) {
    copyWaits_ = true;
    ::LeaveCriticalSection(&lock_);
    ::WaitForSingleObject(done_.get(), INFINITE);
    ::EnterCriticalSection(&lock_);
  }
  Request request = std::move(requests_.front());
  requests_.erase(requests_.begin());
  if (request.state != State::read) return std::nullopt;
  return std::move(request.file);
}

void CSourceReadAhead::GiveBack(std::vector<std::uint8_t> bytes) noexcept {
  if (bytes.capacity() == 0 || bytes.capacity() > kSpareBytes) return;
  Lock lock(lock_);
  // Room was reserved: this makes no allocation.
  if (spares_.size() < kMaxSpares) spares_.push_back(std::move(bytes));
}

DWORD WINAPI CSourceReadAhead::ThreadMain(void* self) noexcept {
  static_cast<CSourceReadAhead*>(self)->Work();
  return 0;
}

CSourceReadAhead::Request* CSourceReadAhead::FindRequest(std::uint32_t id) noexcept {
  for (Request& request : requests_) {
    if (request.id == id) return &request;
  }
  return nullptr;
}

void CSourceReadAhead::Work() noexcept {
  for (;;) {
    std::uint32_t id = 0;
    std::uint64_t size = 0;
    CReadAheadFile file;
    bool read = false;
    try {
      {
        Lock lock(lock_);
        if (stopping_) return;
        const auto next = std::find_if(requests_.begin(), requests_.end(),
                                       [](const Request& request) { return request.state == State::waiting; });
        if (next == requests_.end()) {
          threadWaits_ = true;
        } else {
          id = next->id;
          size = next->size;
          next->state = State::reading;
          file.path = next->file.path;
          if (!spares_.empty()) {
            file.bytes = std::move(spares_.back());
            spares_.pop_back();
          }
        }
      }
      if (id == 0) {
        ::WaitForSingleObject(wanted_.get(), INFINITE);
        continue;
      }
      read = Read(file, size);
    } catch (...) {
      // Out of memory: the copy reads the file itself.
    }
    {
      Lock lock(lock_);
      // A request given up in the meantime is gone: what was read for it
      // goes with file.
      if (Request* request = FindRequest(id)) {
        request->state = read ? State::read : State::failed;
        if (read) request->file = std::move(file);
      }
      if (!copyWaits_) continue;
      copyWaits_ = false;
    }
    ::SetEvent(done_.get());
  }
}

bool CSourceReadAhead::Read(CReadAheadFile& file, std::uint64_t size) const {
  const CHandle handle(::CreateFileA(file.path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!handle) return false;
  if (!CFile::GetStatus(handle.get(), file.path, file.status) || file.status.m_size != size) return false;
  file.bytes.resize(static_cast<std::size_t>(size));
  std::size_t at = 0;
  while (at < file.bytes.size()) {
    const auto piece = static_cast<DWORD>(std::min<std::size_t>(file.bytes.size() - at, 64 * 1024));
    DWORD got = 0;
    if (!::ReadFile(handle.get(), file.bytes.data() + at, piece, &got, nullptr) || got == 0) return false;
    at += got;
  }
  CSha256 digest;
  digest.Update(file.bytes.data(), file.bytes.size());
  file.sha256 = CSealDigest(digest.FinishHex());
  return true;
}
