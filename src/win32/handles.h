#pragma once
// Move-only owners for the handles the program takes. Each closes its handle
// where it goes out of scope; put() resets and hands out the address for
// functions that return a handle through a pointer.
#include <windows.h>

#include <utility>

namespace ordalis::win32 {

// A handle kind: its type, how it is closed and its "no handle" value.
template <typename T, auto Close>
struct NullIsInvalid {
  using Type = T;
  static T Invalid() { return T{}; }
  static void Free(T value) { Close(value); }
};
template <auto Close>
struct MinusOneIsInvalid {
  using Type = HANDLE;
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Free(HANDLE value) { Close(value); }
};

template <typename Traits>
class Unique {
  using T = typename Traits::Type;

 public:
  Unique() = default;
  explicit Unique(T value) : value_(value) {}
  Unique(Unique&& other) noexcept : value_(other.release()) {}
  Unique& operator=(Unique&& other) noexcept {
    reset(other.release());
    return *this;
  }
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  ~Unique() { reset(); }

  T get() const { return value_; }
  explicit operator bool() const { return value_ != Traits::Invalid(); }
  T release() { return std::exchange(value_, Traits::Invalid()); }
  void reset(T value = Traits::Invalid()) {
    if (value_ != Traits::Invalid()) Traits::Free(value_);
    value_ = value;
  }
  T* put() {
    reset();
    return &value_;
  }

 private:
  T value_ = Traits::Invalid();
};

using UniqueHandle = Unique<NullIsInvalid<HANDLE, ::CloseHandle>>;
using UniqueFile = Unique<MinusOneIsInvalid<::CloseHandle>>;
using UniqueFind = Unique<MinusOneIsInvalid<::FindClose>>;
using UniqueKey = Unique<NullIsInvalid<HKEY, ::RegCloseKey>>;
using UniqueFont = Unique<NullIsInvalid<HFONT, ::DeleteObject>>;
using UniqueBitmap = Unique<NullIsInvalid<HBITMAP, ::DeleteObject>>;
using UniqueIcon = Unique<NullIsInvalid<HICON, ::DestroyIcon>>;  // never a shared icon
using UniqueMenu = Unique<NullIsInvalid<HMENU, ::DestroyMenu>>;
using UniqueWindow = Unique<NullIsInvalid<HWND, ::DestroyWindow>>;

}  // namespace ordalis::win32
