// TModalScope: makes a message box or dialog modal to the whole program, not only to its
// owner.
//
// While it lives, every visible and enabled top-level window of this thread is disabled,
// so that no command of the launcher can run underneath a question and change what the
// question is about (a page deleted under "delete this button?"). It enables the same
// windows again when it goes, those that still exist. The box's own owner is left to the
// box, which disables it and enables it again before it closes, so that the activation
// goes back to it. Hidden windows (the application's owner window, the message windows of
// the tray icon and the hot keys) stay as they are: they take no input from the user.
#pragma once

#include <windows.h>

#include <vector>

namespace vl {

class TModalScope {
 public:
  explicit TModalScope(HWND boxOwner);
  ~TModalScope();
  TModalScope(const TModalScope&) = delete;
  TModalScope& operator=(const TModalScope&) = delete;

 private:
  HWND boxOwner_;
  std::vector<HWND> disabled_;
};

// The window a modal box of the program belongs to: the window of ours that is active
// (the dialog whose command raised the box), else the main form once there is one, before
// that the application's hidden owner window.
HWND ModalOwner();

}  // namespace vl
