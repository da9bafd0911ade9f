#include "gui/drag_tracker.h"

#include <cstdlib>

#include "gui/layout.h"

namespace vl {
namespace {

POINT ClientPoint(LPARAM pos) {
  return {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
}

POINT ScreenPoint(HWND hwnd, LPARAM pos) {
  POINT at = ClientPoint(pos);
  ClientToScreen(hwnd, &at);
  return at;
}

}  // namespace

bool TDragTracker::PastDragDistance(HWND hwnd, POINT at) const {
  const UINT dpi = static_cast<UINT>(DpiOf(hwnd));
  return std::abs(at.x - pressedAt_.x) > GetSystemMetricsForDpi(SM_CXDRAG, dpi) ||
         std::abs(at.y - pressedAt_.y) > GetSystemMetricsForDpi(SM_CYDRAG, dpi);
}

void TDragTracker::Reset() {
  state_ = State::kIdle;
  CanStart = nullptr;
  OnOver = nullptr;
  OnEnd = nullptr;
}

void TDragTracker::End(std::optional<POINT> screen) {
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  // Copied out: the handler may destroy the control and this tracker with it.
  if (std::function<void(std::optional<POINT>)> onEnd = OnEnd) onEnd(screen);
}

bool TDragTracker::Filter(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const bool carrying = state_ == State::kDragging || state_ == State::kCalledOff;
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (carrying) return true;
      state_ = State::kPressed;
      pressedAt_ = ClientPoint(lParam);
      return false;
    case WM_MOUSEMOVE:
      if (state_ == State::kPressed && (wParam & MK_LBUTTON) && PastDragDistance(hwnd, ClientPoint(lParam))) {
        if (!CanStart || !CanStart()) {
          state_ = State::kIdle;  // a press as before: its release clicks
          return false;
        }
        state_ = State::kDragging;
      }
      if (state_ == State::kDragging && OnOver) OnOver(ScreenPoint(hwnd, lParam));
      return carrying || state_ == State::kDragging;
    case WM_LBUTTONUP: {
      const State was = state_;
      state_ = State::kIdle;
      if (was != State::kDragging && was != State::kCalledOff) return false;
      if (GetCapture() == hwnd) ReleaseCapture();
      if (was == State::kDragging) End(ScreenPoint(hwnd, lParam));
      return true;
    }
    case WM_KEYDOWN:
      if (state_ == State::kDragging && wParam == VK_ESCAPE) {
        state_ = State::kCalledOff;
        End(std::nullopt);
      }
      return carrying;
    case WM_CAPTURECHANGED: {
      const State was = state_;
      state_ = State::kIdle;
      if (was == State::kDragging) End(std::nullopt);
      return false;  // the control lets go of its press too
    }
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_KEYUP:
    case WM_CHAR:
      return carrying;
    default:
      return false;
  }
}

}  // namespace vl
