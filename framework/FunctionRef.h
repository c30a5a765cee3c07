// CFunctionRef<R(Args...)>: a callable passed to a function for the length
// of the call, by reference: it holds no copy of what it calls and allocates
// nothing, so it must not outlive the call it is passed to (store a
// std::function for that). An empty one (default-constructed) is false.
#pragma once

#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

template <class Signature>
class CFunctionRef;

template <class R, class... Args>
class CFunctionRef<R(Args...)> {
public:
  CFunctionRef() noexcept = default;

  template <class F>
    requires(!std::is_same_v<std::remove_cvref_t<F>, CFunctionRef> && std::is_invocable_r_v<R, F&, Args...>)
  CFunctionRef(F&& f) noexcept  // implicit: it stands in for the callable
      : object_(const_cast<void*>(static_cast<const void*>(std::addressof(f)))),
        call_([](void* object, Args... args) -> R {
          return std::invoke(*static_cast<std::remove_reference_t<F>*>(object), std::forward<Args>(args)...);
        }) {}

  explicit operator bool() const noexcept { return call_ != nullptr; }
  R operator()(Args... args) const { return call_(object_, std::forward<Args>(args)...); }

private:
  void* object_ = nullptr;
  R (*call_)(void*, Args...) = nullptr;
};
