// CGlobalBlock: one movable, zero-initialised global memory block, locked
// for as long as the object holds it (for APIs and formats that want global
// memory). Unlocked and freed by its owner; movable, not copyable.
#pragma once

#include <windows.h>

#include <cstddef>
#include <utility>

class CGlobalBlock {
public:
  CGlobalBlock() noexcept = default;
  CGlobalBlock(const CGlobalBlock&) = delete;
  CGlobalBlock& operator=(const CGlobalBlock&) = delete;
  CGlobalBlock(CGlobalBlock&& other) noexcept
      : handle_(std::exchange(other.handle_, nullptr)),
        data_(std::exchange(other.data_, nullptr)),
        size_(std::exchange(other.size_, 0)) {}
  CGlobalBlock& operator=(CGlobalBlock&& other) noexcept {
    if (this != &other) {
      Free();
      handle_ = std::exchange(other.handle_, nullptr);
      data_ = std::exchange(other.data_, nullptr);
      size_ = std::exchange(other.size_, 0);
    }
    return *this;
  }
  ~CGlobalBlock() { Free(); }

  // Frees what is held, then allocates and locks bytes zeroed bytes. False
  // (and empty) when the memory cannot be had.
  bool Allocate(std::size_t bytes) noexcept {
    Free();
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    if (!h) return false;
    void* p = ::GlobalLock(h);
    if (!p) {
      ::GlobalFree(h);
      return false;
    }
    handle_ = h;
    data_ = p;
    size_ = bytes;
    return true;
  }
  void Free() noexcept {
    if (handle_) {
      ::GlobalUnlock(handle_);
      ::GlobalFree(handle_);
    }
    handle_ = nullptr;
    data_ = nullptr;
    size_ = 0;
  }

  void* data() const noexcept { return data_; }
  template <class T>
  T* as() const noexcept { return static_cast<T*>(data_); }
  // The size asked for (the system may have given more).
  std::size_t size() const noexcept { return size_; }
  HGLOBAL handle() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return data_ != nullptr; }

private:
  HGLOBAL handle_ = nullptr;
  void* data_ = nullptr;
  std::size_t size_ = 0;
};
