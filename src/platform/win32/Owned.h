// Owners of what Win32, GDI and COM hand out: each lets go of its handle or reference when it
// goes, so a failed step or an early return leaks nothing and releases are not written by hand.
// Header only and below every layer but the system's, so the stand-ins use it too.
#pragma once

#include <windows.h>

#include <oleauto.h>
#include <wrl/client.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace sayvane::win32 {

using Microsoft::WRL::ComPtr;

// A COM object born with its one reference, handed over as is: mingw-w64's ComPtr::Attach adds another.
template <typename T>
ComPtr<T> adopt(T* born) {
  ComPtr<T> owned;
  *owned.GetAddressOf() = born;
  return owned;
}

// `Close(handle)` when a handle other than `kNone` is held.
template <typename Handle, auto Close, auto None = nullptr>
class Owned {
 public:
  Owned() = default;
  explicit Owned(Handle handle) : handle_(handle) {}
  ~Owned() { reset(); }
  Owned(Owned&& other) noexcept : handle_(other.release()) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;

  Handle get() const { return handle_; }
  operator Handle() const { return handle_; }
  explicit operator bool() const { return handle_ != none(); }
  // Let go without closing: the system closed it already (a window at WM_NCDESTROY).
  Handle release() { return std::exchange(handle_, none()); }
  // Closed while still held: a window being destroyed still answers its messages as this one's.
  void reset(Handle handle = none()) {
    if (handle_ != none() && handle_ != handle) Close(handle_);
    handle_ = handle;
  }

 private:
  static Handle none() { return (Handle)(None); }
  Handle handle_ = none();
};

inline constexpr LONG_PTR kInvalidHandle = -1;  // INVALID_HANDLE_VALUE, which is no constant expression

using UniqueHandle = Owned<HANDLE, CloseHandle>;                  // events, threads, processes, tokens
using UniqueFile = Owned<HANDLE, CloseHandle, kInvalidHandle>;    // files and pipes
using UniqueWindow = Owned<HWND, DestroyWindow>;
using UniqueMenu = Owned<HMENU, DestroyMenu>;                     // with every submenu in it
using UniqueIcon = Owned<HICON, DestroyIcon>;
using UniqueDC = Owned<HDC, DeleteDC>;
using UniqueKey = Owned<HKEY, RegCloseKey>;
using UniqueGlobal = Owned<HGLOBAL, GlobalFree>;                 // until the clipboard takes it
template <typename Object>
using GdiObject = Owned<Object, DeleteObject>;
using UniqueFont = GdiObject<HFONT>;
using UniqueBrush = GdiObject<HBRUSH>;
using UniqueRegion = GdiObject<HRGN>;
using UniqueBitmap = GdiObject<HBITMAP>;
using UniquePen = GdiObject<HPEN>;

// An object selected into a DC for as long as this lives; what was selected before comes back.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~Selected() { SelectObject(dc_, old_); }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// A window's DC from GetDC, given back when this goes.
class WindowDC {
 public:
  explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  operator HDC() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// An owned BSTR, freed when it goes.
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(std::u16string_view text)
      : value_(SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()))) {}
  ~Bstr() { reset(); }
  Bstr(Bstr&& other) noexcept : value_(other.release()) {}
  Bstr& operator=(Bstr&& other) noexcept {
    if (this != &other) {
      reset();
      value_ = other.release();
    }
    return *this;
  }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;

  // Takes over a BSTR someone handed us (an EXCEPINFO's texts).
  static Bstr adopt(BSTR owned) {
    Bstr text;
    text.value_ = owned;
    return text;
  }

  BSTR get() const { return value_; }
  // For an [out] BSTR*: frees what was held first.
  BSTR* out() {
    reset();
    return &value_;
  }
  BSTR release() { return std::exchange(value_, nullptr); }
  void reset() { SysFreeString(std::exchange(value_, nullptr)); }
  // A null BSTR is the empty string to automation.
  std::u16string text() const {
    if (!value_) return {};
    return std::u16string(reinterpret_cast<const char16_t*>(value_), SysStringLen(value_));
  }

 private:
  BSTR value_ = nullptr;
};

// An owned VARIANT, cleared when it goes. Has a VARIANT's layout, so an array of them can be
// handed to Invoke as its arguments.
class Variant {
 public:
  Variant() { VariantInit(&value_); }
  ~Variant() { VariantClear(&value_); }
  Variant(Variant&& other) noexcept : value_(other.value_) { VariantInit(&other.value_); }
  Variant& operator=(Variant&& other) noexcept {
    if (this != &other) {
      VariantClear(&value_);
      value_ = other.value_;
      VariantInit(&other.value_);
    }
    return *this;
  }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;

  static Variant string(std::u16string_view text) {
    Variant variant;
    variant.value_.vt = VT_BSTR;
    variant.value_.bstrVal = Bstr(text).release();
    return variant;
  }
  static Variant i4(std::int32_t value) {
    Variant variant;
    variant.value_.vt = VT_I4;
    variant.value_.lVal = value;
    return variant;
  }
  static Variant i2(std::int16_t value) {
    Variant variant;
    variant.value_.vt = VT_I2;
    variant.value_.iVal = value;
    return variant;
  }
  static Variant boolean(bool value) {
    Variant variant;
    variant.value_.vt = VT_BOOL;
    variant.value_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return variant;
  }
  // Holds its own reference to `object`.
  static Variant dispatch(IDispatch* object) {
    Variant variant;
    variant.value_.vt = VT_DISPATCH;
    variant.value_.pdispVal = object;
    if (object) object->AddRef();
    return variant;
  }

  VARIANT& get() { return value_; }
  const VARIANT& get() const { return value_; }
  // For an [out] VARIANT*: clears what was held first.
  VARIANT* out() {
    VariantClear(&value_);
    return &value_;
  }

 private:
  VARIANT value_;
};
static_assert(sizeof(Variant) == sizeof(VARIANT));

}  // namespace sayvane::win32
