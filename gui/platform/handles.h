// Move-only owners for the Win32 handles the program creates. Nothing is released by
// hand: a handle lives in one of these from the call that made it.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <utility>

namespace vl {

template <class Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle h) : h_(h) { Adopted(); }
  ~UniqueHandle() { reset(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : h_(std::exchange(other.h_, Traits::Invalid())) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      reset();
      h_ = std::exchange(other.h_, Traits::Invalid());  // still one owner: no count
    }
    return *this;
  }

  Handle get() const { return h_; }
  explicit operator bool() const { return h_ != Traits::Invalid(); }
  Handle release() {
    if (h_ != Traits::Invalid()) --live_;
    return std::exchange(h_, Traits::Invalid());
  }
  void reset(Handle h = Traits::Invalid()) {
    if (h_ != Traits::Invalid()) {
      Traits::Close(h_);
      --live_;
    }
    h_ = h;
    Adopted();
  }

  // How many handles of this kind owners hold right now, across the process (icons are
  // also made on a worker thread). Leak tests compare it before and after, since Wine's
  // GetGuiResources says 0.
  static long Live() { return live_.load(); }

 private:
  void Adopted() {
    if (h_ != Traits::Invalid()) ++live_;
  }

  Handle h_ = Traits::Invalid();
  static inline std::atomic<long> live_ = 0;
};

struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { CloseHandle(h); }
};
struct IconTraits {
  using Handle = HICON;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { DestroyIcon(h); }
};
template <class T>
struct GdiObjectTraits {
  using Handle = T;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { DeleteObject(h); }
};
struct DcTraits {
  using Handle = HDC;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { DeleteDC(h); }
};
struct GlobalTraits {
  using Handle = HGLOBAL;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { GlobalFree(h); }
};
struct WindowTraits {
  using Handle = HWND;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { DestroyWindow(h); }
};

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using SharedBitmap = std::shared_ptr<const UniqueBitmap>;  // one bitmap many windows draw
using UniqueWindow = UniqueHandle<WindowTraits>;
using UniqueDC = UniqueHandle<DcTraits>;  // a DC made by CreateCompatibleDC
using UniqueGlobal = UniqueHandle<GlobalTraits>;

}  // namespace vl
