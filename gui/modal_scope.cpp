#include "gui/modal_scope.h"

#include "gui/application.h"

namespace vl {

TModalScope::TModalScope(HWND boxOwner) : boxOwner_(boxOwner) {
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM param) -> BOOL {
        auto* self = reinterpret_cast<TModalScope*>(param);
        if (window != self->boxOwner_ && IsWindowVisible(window) && IsWindowEnabled(window)) {
          self->disabled_.push_back(window);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(this));
  for (HWND window : disabled_) EnableWindow(window, FALSE);
}

TModalScope::~TModalScope() {
  for (auto it = disabled_.rbegin(); it != disabled_.rend(); ++it) {
    if (IsWindow(*it)) EnableWindow(*it, TRUE);
  }
}

HWND ModalOwner() {
  TApplication& app = TApplication::Instance();
  // A box raised while a window of ours is active (a dialog's OK) belongs to that window:
  // when it closes, the activation and the keyboard go back there, not to the main window,
  // where the user's next Esc would hide the launcher.
  HWND active = GetActiveWindow();
  if (active && IsWindowVisible(active) && IsWindowEnabled(active) &&
      GetAncestor(active, GA_ROOTOWNER) == app.OwnerWindow())
    return active;
  return app.MainForm() ? app.MainForm() : app.OwnerWindow();
}

}  // namespace vl
