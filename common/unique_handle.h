#pragma once
// A move-only owner for any handle kind, named by the handle type and the
// function that releases one, so each kind is one line (see handles_win.h)
// and nothing is closed by hand.

#include <utility>

// The usual rule: a handle is held unless it is null.
template <typename Handle>
constexpr bool IsNonNullHandle(Handle handle) noexcept {
  return handle != Handle{};
}

// Close: the release function. IsHeld: which values are real handles; an
// empty owner holds Handle{}, and a value that is not held is never closed.
template <typename Handle, auto Close, auto IsHeld = &IsNonNullHandle<Handle>>
class UniqueHandle {
 public:
  UniqueHandle() noexcept = default;
  explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
  ~UniqueHandle() { reset(); }

  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  [[nodiscard]] Handle get() const noexcept { return handle_; }
  [[nodiscard]] bool valid() const noexcept { return IsHeld(handle_); }
  explicit operator bool() const noexcept { return valid(); }

  Handle release() noexcept { return std::exchange(handle_, Handle{}); }

  void reset(Handle handle = Handle{}) noexcept {
    const Handle old = std::exchange(handle_, handle);
    if (IsHeld(old)) Close(old);
  }

  // Empties the owner and hands out its slot for an API that returns a
  // handle through an out-parameter.
  [[nodiscard]] Handle* put() noexcept {
    reset();
    return &handle_;
  }

 private:
  Handle handle_{};
};
