// TMouseMoveWaiter: a window told of the next move of the mouse anywhere, through raw
// input (WM_INPUT, with RIDEV_INPUTSINK, so also while another program is in front),
// without a hook that every mouse event of the desktop would pass through. The window
// hands WM_INPUT to Moved(), which stops the waiting, and then on to DefWindowProc.
#pragma once

#include <windows.h>

namespace vl {

class TMouseMoveWaiter {
 public:
  TMouseMoveWaiter() = default;
  ~TMouseMoveWaiter() { Stop(); }
  TMouseMoveWaiter(const TMouseMoveWaiter&) = delete;
  TMouseMoveWaiter& operator=(const TMouseMoveWaiter&) = delete;

  // Tells `target` of the next move. False when the system refuses: then no move will be told.
  bool Start(HWND target);
  void Stop();
  bool Waiting() const { return waiting_; }
  // WM_INPUT came: true when it ends a wait (the mouse moved, or a button or the wheel).
  bool Moved();

 private:
  bool waiting_ = false;
};

}  // namespace vl
