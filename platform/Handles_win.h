// One move-only owner for every kind of system handle, an alias per kind.
//
//   UniqueBitmap bitmap(CreateCompatibleBitmap(dc, w, h));
//   if (!bitmap) return false;
//   SelectObjectGuard keep(dc, bitmap.get());   // restores the old object at scope exit
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <utility>

namespace platform {

template <typename Traits>
class UniqueAny {
 public:
  using Type = typename Traits::Type;

  UniqueAny() = default;
  explicit UniqueAny(Type value) : value_(value) {}
  ~UniqueAny() { reset(); }
  UniqueAny(const UniqueAny&) = delete;
  UniqueAny& operator=(const UniqueAny&) = delete;
  UniqueAny(UniqueAny&& other) noexcept : value_(other.release()) {}
  UniqueAny& operator=(UniqueAny&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  Type get() const { return value_; }
  explicit operator bool() const { return value_ != Traits::Invalid(); }
  Type release() { return std::exchange(value_, Traits::Invalid()); }
  void reset(Type value = Traits::Invalid()) {
    Type old = std::exchange(value_, value);
    if (old != Traits::Invalid()) Traits::Close(old);
  }
  // For out-parameters: releases the present value first.
  Type* put() {
    reset();
    return &value_;
  }

 private:
  Type value_ = Traits::Invalid();
};

template <typename T, auto CloseFn>
struct NullTraits {
  using Type = T;
  static constexpr T Invalid() { return nullptr; }
  static void Close(T value) { CloseFn(value); }
};

struct FileTraits {
  using Type = HANDLE;
  static Type Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Type value) { ::CloseHandle(value); }
};

struct FindTraits {
  using Type = HANDLE;
  static Type Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Type value) { ::FindClose(value); }
};

inline void CloseHandleFn(HANDLE h) { ::CloseHandle(h); }
inline void DeleteGdiObject(HGDIOBJ h) { ::DeleteObject(h); }
inline void DeleteDcFn(HDC h) { ::DeleteDC(h); }
inline void GlobalFreeFn(HGLOBAL h) { ::GlobalFree(h); }
inline void FreeLibraryFn(HMODULE h) { ::FreeLibrary(h); }
inline void DestroyIconFn(HICON h) { ::DestroyIcon(h); }
inline void DestroyMenuFn(HMENU h) { ::DestroyMenu(h); }
inline void FreeIdListFn(PIDLIST_ABSOLUTE p) { ::CoTaskMemFree(p); }
inline void DestroyImageListFn(HIMAGELIST h) { ::ImageList_Destroy(h); }

using UniqueFile = UniqueAny<FileTraits>;
using UniqueFindHandle = UniqueAny<FindTraits>;
using UniqueHandle = UniqueAny<NullTraits<HANDLE, CloseHandleFn>>;
using UniqueBitmap = UniqueAny<NullTraits<HBITMAP, DeleteGdiObject>>;
using UniqueBrush = UniqueAny<NullTraits<HBRUSH, DeleteGdiObject>>;
using UniqueFont = UniqueAny<NullTraits<HFONT, DeleteGdiObject>>;
using UniqueDc = UniqueAny<NullTraits<HDC, DeleteDcFn>>;
using UniqueGlobal = UniqueAny<NullTraits<HGLOBAL, GlobalFreeFn>>;
using UniqueModule = UniqueAny<NullTraits<HMODULE, FreeLibraryFn>>;
using UniqueIcon = UniqueAny<NullTraits<HICON, DestroyIconFn>>;
using UniqueMenu = UniqueAny<NullTraits<HMENU, DestroyMenuFn>>;
using UniqueIdList = UniqueAny<NullTraits<PIDLIST_ABSOLUTE, FreeIdListFn>>;
using UniqueImageList = UniqueAny<NullTraits<HIMAGELIST, DestroyImageListFn>>;

// Selects an object into a device context and puts the old one back at scope exit.
class SelectObjectGuard {
 public:
  SelectObjectGuard(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
  ~SelectObjectGuard() {
    if (old_ && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
  }
  SelectObjectGuard(const SelectObjectGuard&) = delete;
  SelectObjectGuard& operator=(const SelectObjectGuard&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// BeginPaint and EndPaint as one scope.
class PaintScope {
 public:
  explicit PaintScope(HWND window) : window_(window) { dc_ = ::BeginPaint(window, &paint_); }
  ~PaintScope() { ::EndPaint(window_, &paint_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  HDC dc() const { return dc_; }
  const PAINTSTRUCT& paint() const { return paint_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_ = nullptr;
};

// GetDC and ReleaseDC as one scope.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// COM for one thread; uninitialises only when the matching call succeeded.
class ComScope {
 public:
  ComScope() : hr_(::CoInitialize(nullptr)) {}
  ~ComScope() {
    if (SUCCEEDED(hr_)) ::CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  HRESULT hr_;
};

class OleScope {
 public:
  OleScope() : hr_(::OleInitialize(nullptr)) {}
  ~OleScope() {
    if (SUCCEEDED(hr_)) ::OleUninitialize();
  }
  OleScope(const OleScope&) = delete;
  OleScope& operator=(const OleScope&) = delete;

 private:
  HRESULT hr_;
};

}  // namespace platform
