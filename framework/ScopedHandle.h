// RAII owners for Win32 handles: one class per kind of handle, movable, not
// copyable. "No handle" covers both NULL and INVALID_HANDLE_VALUE where the
// API uses either.
#pragma once

#include <windows.h>

#include <utility>

template <class Traits>
class CScopedHandle {
public:
  using Handle = typename Traits::Handle;

  CScopedHandle() noexcept = default;
  explicit CScopedHandle(Handle h) noexcept : handle_(h) {}
  CScopedHandle(const CScopedHandle&) = delete;
  CScopedHandle& operator=(const CScopedHandle&) = delete;
  CScopedHandle(CScopedHandle&& other) noexcept : handle_(other.release()) {}
  CScopedHandle& operator=(CScopedHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~CScopedHandle() { reset(); }

  bool valid() const noexcept { return Traits::IsValid(handle_); }
  explicit operator bool() const noexcept { return valid(); }
  Handle get() const noexcept { return handle_; }

  // Closes the current handle (quietly) and takes ownership of h. The
  // thread's last-error value is kept across the close, so that clean-up
  // after a failed call does not change what the caller reads from
  // GetLastError.
  void reset(Handle h = Traits::Null()) noexcept {
    if (Traits::IsValid(handle_)) {
      const DWORD error = ::GetLastError();
      Traits::Close(handle_);
      ::SetLastError(error);
    }
    handle_ = h;
  }
  // Gives up ownership without closing.
  Handle release() noexcept { return std::exchange(handle_, Traits::Null()); }

private:
  Handle handle_ = Traits::Null();
};

struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Null() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) noexcept { ::CloseHandle(h); }
};

struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle Null() noexcept { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Handle h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) noexcept { ::FindClose(h); }
};

struct LibraryHandleTraits {
  using Handle = HMODULE;
  static Handle Null() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { ::FreeLibrary(h); }
};

struct RegistryKeyTraits {
  using Handle = HKEY;
  static Handle Null() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { ::RegCloseKey(h); }
};

struct IconHandleTraits {
  using Handle = HICON;
  static Handle Null() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { ::DestroyIcon(h); }
};

using CHandle = CScopedHandle<KernelHandleTraits>;        // files, processes, events
using CFindHandle = CScopedHandle<FindHandleTraits>;      // FindFirstFile
using CLibrary = CScopedHandle<LibraryHandleTraits>;      // LoadLibrary
using CRegistryKeyHandle = CScopedHandle<RegistryKeyTraits>;  // RegOpenKeyEx, RegCreateKeyEx
using CIconHandle = CScopedHandle<IconHandleTraits>;      // CreateIconFromResourceEx, CreateIconIndirect
