// COM pointers and COM initialisation with one owner each.
#pragma once

#include <objbase.h>

#include <utility>

template <class T>
class CComPtr {
public:
  CComPtr() noexcept = default;
  explicit CComPtr(T* p) noexcept : p_(p) {}  // takes over a reference
  CComPtr(const CComPtr&) = delete;
  CComPtr& operator=(const CComPtr&) = delete;
  CComPtr(CComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  CComPtr& operator=(CComPtr&& other) noexcept {
    if (this != &other) Attach(std::exchange(other.p_, nullptr));
    return *this;
  }
  ~CComPtr() { Release(); }

  T* get() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }
  // For out-parameters: releases what is held first.
  T** operator&() noexcept {
    Release();
    return &p_;
  }
  void Attach(T* p) noexcept {
    Release();
    p_ = p;
  }
  T* Detach() noexcept { return std::exchange(p_, nullptr); }
  void Release() noexcept {
    if (p_) std::exchange(p_, nullptr)->Release();
  }
  // QueryInterface into another pointer.
  template <class U>
  HRESULT As(CComPtr<U>& out, REFIID iid) const noexcept {
    return p_ ? p_->QueryInterface(iid, reinterpret_cast<void**>(&out)) : E_POINTER;
  }

private:
  T* p_ = nullptr;
};

// CoInitialize for a scope; CoUninitialize only when it succeeded.
class CComInitializer {
public:
  CComInitializer() : hr_(::CoInitialize(nullptr)) {}
  ~CComInitializer() {
    if (SUCCEEDED(hr_)) ::CoUninitialize();
  }
  CComInitializer(const CComInitializer&) = delete;
  CComInitializer& operator=(const CComInitializer&) = delete;
  bool succeeded() const { return SUCCEEDED(hr_); }

private:
  HRESULT hr_;
};
