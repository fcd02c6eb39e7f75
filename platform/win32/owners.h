#pragma once
// Small owners for Win32 handles and COM references, in the shape of WIL's unique_any and
// com_ptr (WIL itself does not build with MinGW). Each closes what it holds exactly once.
#include "platform/win32/windows_api.h"

#include <utility>

namespace win32 {

// Owns a value of type T whose empty state is `Empty`, closed with `Close`.
template <typename T, typename CloseFn, CloseFn Close, T Empty>
class UniqueAny {
 public:
  UniqueAny() = default;
  explicit UniqueAny(T value) : Value(value) {}
  UniqueAny(UniqueAny&& other) noexcept : Value(other.release()) {}
  UniqueAny& operator=(UniqueAny&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueAny(const UniqueAny&) = delete;
  UniqueAny& operator=(const UniqueAny&) = delete;
  ~UniqueAny() { reset(); }

  T get() const { return Value; }
  explicit operator bool() const { return Value != Empty; }
  // For out-parameters: closes the current value first.
  T* put() {
    reset();
    return &Value;
  }
  T release() { return std::exchange(Value, Empty); }
  void reset(T value = Empty) {
    T old = std::exchange(Value, value);
    if (old != Empty) Close(old);
  }

 private:
  T Value = Empty;
};

// Keeps LONG-returning RegCloseKey and BOOL-returning closers usable as template arguments.
inline void CloseRegKey(HKEY key) { ::RegCloseKey(key); }
inline void CloseKernelHandle(HANDLE handle) { ::CloseHandle(handle); }

using UniqueHkey = UniqueAny<HKEY, decltype(&CloseRegKey), CloseRegKey, nullptr>;
// CreateFile's failure value is INVALID_HANDLE_VALUE, which is not a constant expression;
// UniqueFile treats both it and null as empty.
using UniqueHandle = UniqueAny<HANDLE, decltype(&CloseKernelHandle), CloseKernelHandle, nullptr>;

class UniqueFile {
 public:
  UniqueFile() = default;
  explicit UniqueFile(HANDLE handle) : Owner(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
  HANDLE get() const { return Owner.get(); }
  explicit operator bool() const { return static_cast<bool>(Owner); }

 private:
  UniqueHandle Owner;
};

// A COM reference that releases on destruction.
template <typename I>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() { reset(); }

  I* get() const { return Pointer; }
  I* operator->() const { return Pointer; }
  explicit operator bool() const { return Pointer != nullptr; }
  // For out-parameters (CoCreateInstance, QueryInterface): releases the current reference.
  void** put_void() {
    reset();
    return reinterpret_cast<void**>(&Pointer);
  }
  void reset() {
    if (Pointer) std::exchange(Pointer, nullptr)->Release();
  }

 private:
  I* Pointer = nullptr;
};

// Runs a callable when the scope ends, for one-off clean-ups.
template <typename F>
class ScopeExit {
 public:
  explicit ScopeExit(F f) : Fn(std::move(f)) {}
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;
  ~ScopeExit() { Fn(); }

 private:
  F Fn;
};

}  // namespace win32
