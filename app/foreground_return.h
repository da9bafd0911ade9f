// TForegroundReturn: the keyboard given back when the launcher is put away. At each
// call-up it notes the window in front (another program's) and the control that had its
// keyboard focus; when the launcher is sent away without starting anything (Esc, the
// hide key, "隠す", the close box), that window gets the foreground and that control the
// focus again, if the window still exists and no other program took the front meanwhile.
// A click that starts a program leaves the front to it: that path does not call GiveBack.
//
// The foreground lock of Windows lets a process set the foreground while it is the
// foreground process, which the launcher is while the user sends it away; so GiveBack
// runs before the window hides. The control's focus belongs to the other program's
// thread: it is set with that thread's input attached for the moment (AttachThreadInput),
// after that thread has taken its activation.
//
// Owned by the main window, which must outlive it; it watches that window's messages.
#pragma once

#include <windows.h>

#include "gui/window_subclass.h"

namespace vl {

class TForegroundReturn {
 public:
  explicit TForegroundReturn(HWND window);
  TForegroundReturn(const TForegroundReturn&) = delete;
  TForegroundReturn& operator=(const TForegroundReturn&) = delete;

  // At a call-up, before the launcher takes the front. The front of our own process (a
  // dialog of ours, the launcher shown again) keeps what was noted before.
  void Remember();
  // Before the launcher hides. Nothing when nothing is noted or another program has the
  // front now; forgets what it noted either way.
  void GiveBack();
  HWND Noted() const { return front_; }

 private:
  LRESULT Watch(UINT msg, WPARAM wParam, LPARAM lParam);

  HWND front_ = nullptr;  // another program's window: we don't own it
  HWND focus_ = nullptr;  // its control that had the focus, or null
  TWindowSubclass subclass_;
};

// Whether the window belongs to this process.
bool OursWindow(HWND window);

}  // namespace vl
