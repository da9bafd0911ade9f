// TWindowSubclass: sees every message of a window it does not own before that window's
// own procedure does, for as long as the object lives.
//
// The hook answers each message itself or passes it on with CallNext, before or after
// acting on it. Several subclasses of one window may come and go in any order. The
// window must outlive the object, or be destroyed first (the system then drops the
// subclass with the window). An exception raised by the hook stops at this boundary and
// is shown in the application's error report.
#pragma once

#include <windows.h>

#include <functional>

namespace vl {

class TWindowSubclass {
 public:
  using Hook = std::function<LRESULT(UINT msg, WPARAM wParam, LPARAM lParam)>;

  // Throws when the window cannot be subclassed.
  TWindowSubclass(HWND hwnd, Hook hook);
  ~TWindowSubclass();
  TWindowSubclass(const TWindowSubclass&) = delete;
  TWindowSubclass& operator=(const TWindowSubclass&) = delete;

  HWND Window() const { return hwnd_; }
  // Hands the message to the window's procedure as it was before this subclass.
  LRESULT CallNext(UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                               DWORD_PTR self);

  HWND hwnd_;  // we don't own it
  Hook hook_;
};

}  // namespace vl
