// TWindow: the base of every window class of the program.
//
// A static thunk stores `this` in the window's user data at WM_NCCREATE and forwards
// every message to the virtual HandleMessage. An exception raised in a handler stops at
// that boundary: the application shows it in its error box and the message loop goes on.
// The object owns its HWND: destroying the object destroys the window.
//
// A call that runs messages (the shell's execute, a message box, a common dialog) may
// destroy the window object that made it: Watch() before such a call, and touch nothing of
// the object after it unless the watch says it is still alive.
#pragma once

#include <windows.h>

#include <string>

#include "gui/platform/handles.h"

namespace vl {

struct WindowParams {
  const wchar_t* className = nullptr;
  std::wstring caption;
  DWORD style = WS_OVERLAPPEDWINDOW;
  DWORD exStyle = 0;
  int x = CW_USEDEFAULT, y = CW_USEDEFAULT, width = CW_USEDEFAULT, height = CW_USEDEFAULT;
  HWND parent = nullptr;  // the owner, for a top-level window
  HICON icon = nullptr;   // class icon; we don't own it
};

class TWindow {
 public:
  virtual ~TWindow();
  TWindow(const TWindow&) = delete;
  TWindow& operator=(const TWindow&) = delete;

  HWND Handle() const { return hwnd_.get(); }

  // What Watch() saw; Alive() while the object is that one still: not destroyed, and not
  // made anew on its window (NewLife). Asks the window, never the object, until the window
  // says the object is still there.
  class Life {
   public:
    bool Alive() const;

   private:
    friend class TWindow;
    Life(HWND hwnd, const TWindow* self, unsigned life) : hwnd_(hwnd), self_(self), life_(life) {}
    HWND hwnd_;
    const TWindow* self_;
    unsigned life_;
  };
  Life Watch() const { return Life(Handle(), this, life_); }

 protected:
  TWindow() = default;
  // Registers the class on first use and creates the window; throws when it cannot.
  void Create(const WindowParams& params);
  virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam);
  // A top-level window that has followed WM_DPICHANGED lays out its children at `dpi`
  // from now on (DpiOf in gui/layout.h answers it for every window inside).
  void FollowDpi(int dpi) { layoutDpi_ = dpi; }
  // The object now stands for something else (a control renewed for another place): what
  // was begun on the old one must not go on on this one.
  void NewLife() { ++life_; }

 private:
  static LRESULT CALLBACK Thunk(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  UniqueWindow hwnd_;
  int layoutDpi_ = 0;  // 0: the system's DPI for the window
  unsigned life_ = 0;
};

}  // namespace vl
