#include "app/call_up_place.h"

#include "gui/platform/work_area.h"

namespace vl {
TCallUpPlace::TCallUpPlace(HWND window)
    : window_(window),
      subclass_(window, [this](UINT msg, WPARAM wParam, LPARAM lParam) { return Watch(msg, wParam, lParam); }) {}

void TCallUpPlace::BeforeShow(std::optional<POINT> shake) {
  POINT pointer;
  if (shake) {
    pointer = *shake;
  } else if (!atPointer_ || !GetCursorPos(&pointer)) {
    return;
  }
  if (atPointer_ && !ownPlace_) {
    RECT r;
    GetWindowRect(window_, &r);
    ownPlace_ = POINT{r.left, r.top};
  }
  MoveTo(pointer);
}

void TCallUpPlace::MoveTo(POINT pointer) {
  const TMonitors monitors;
  // Twice: the first move may take the window to a monitor of another DPI, where the
  // system has it laid out anew (WM_DPICHANGED) at a size of its own; the second centres
  // that size. Both while the window may still be hidden, so it never shows at the old
  // scale.
  for (int pass = 0; pass < 2; ++pass) {
    RECT r;
    GetWindowRect(window_, &r);
    const WindowPlace place = PlaceAtPointer(monitors.All(), {pointer.x, pointer.y}, r.right - r.left, r.bottom - r.top,
                                             static_cast<std::int32_t>(GetDpiForWindow(window_)));
    if (place.rect.left == r.left && place.rect.top == r.top) break;
    SetWindowPos(window_, nullptr, place.rect.left, place.rect.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

POINT TCallUpPlace::OwnPlace(const RECT& window) const { return ownPlace_.value_or(POINT{window.left, window.top}); }

LRESULT TCallUpPlace::Watch(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_EXITSIZEMOVE) {
    ownPlace_.reset();  // the user put it there
  } else if (msg == WM_DISPLAYCHANGE && IsWindowVisible(window_)) {
    // A monitor taken away under the window leaves it where nobody can see it.
    RECT r;
    GetWindowRect(window_, &r);
    const ScreenRect to = PlaceOnScreen(TMonitors().All(), {r.left, r.top, r.right, r.bottom});
    if (to.left != r.left || to.top != r.top)
      SetWindowPos(window_, nullptr, to.left, to.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return subclass_.CallNext(msg, wParam, lParam);
}

}  // namespace vl
