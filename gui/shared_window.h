// TSharedWindow<T>: one hidden window of kind T for the whole process, handed out in
// shares. The first Acquire creates it; it goes with the last share. T derives from
// TSharedWindow<T> and a TWindow, and makes TSharedWindow<T> a friend so that only
// Acquire creates it. GUI thread only.
#pragma once

#include <windows.h>

#include <memory>

namespace vl {

template <class T>
class TSharedWindow : public std::enable_shared_from_this<T> {
 public:
  static std::shared_ptr<T> Acquire() {
    std::shared_ptr<T> window = Slot().lock();
    if (!window) {
      window.reset(new T());
      Slot() = window;
    }
    return window;
  }

  // The window while any share of it exists, otherwise null.
  static HWND Current() {
    std::shared_ptr<T> window = Slot().lock();
    return window ? window->Handle() : nullptr;
  }

 private:
  static std::weak_ptr<T>& Slot() {
    static std::weak_ptr<T> slot;
    return slot;
  }
};

}  // namespace vl
