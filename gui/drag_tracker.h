// TDragTracker: tells the drag of a control with the left mouse button from a click.
//
// The control hands every message to Filter first. A left press begins a press; the
// pointer moved past the system's drag distance from the press point (SM_CXDRAG and
// SM_CYDRAG on either side, at the control's DPI) with the button still down makes it a
// drag if CanStart agrees. While the drag lasts the control keeps the mouse, OnOver hears
// every move with the pointer on the screen, and the drag swallows the control's other
// mouse buttons and keys, so that a drag never clicks or opens anything. It ends by the
// release (OnEnd with the point of the release), or is called off by Esc or by the loss of
// the mouse capture (OnEnd with no point); called off by Esc, it keeps the mouse until the
// left button comes up, so that the release lands nowhere.
//
// OnEnd comes last, after the tracker has let the mouse go: it may run messages and
// destroy the control and the tracker with it. The control owns the tracker.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

namespace vl {

class TDragTracker {
 public:
  std::function<bool()> CanStart;  // unset: a press never becomes a drag
  std::function<void(POINT screen)> OnOver;
  std::function<void(std::optional<POINT> screen)> OnEnd;

  // True when the message was the drag's: the control must not handle it.
  bool Filter(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  bool Dragging() const { return state_ == State::kDragging; }
  // Back to rest, without OnEnd, and without the events.
  void Reset();

 private:
  enum class State { kIdle, kPressed, kDragging, kCalledOff };
  bool PastDragDistance(HWND hwnd, POINT at) const;
  void End(std::optional<POINT> screen);

  State state_ = State::kIdle;
  POINT pressedAt_{};  // client coordinates
};

}  // namespace vl
