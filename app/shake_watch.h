// TShakeWatch: the mouse watch that calls the launcher up by a shake of the mouse: its
// timer, the gesture's state and parameters, and the rest it takes while the pointer
// does not move.
//
// It samples the pointer every 25 ms with a timer of the main window, which hands it
// WM_TIMER with kTimer and every WM_INPUT; once further ticks with the pointer where it is
// would decide nothing, the timer stops until the mouse moves (raw input). It calls only
// the system; a shake is told through OnShake, with the pointer where it was, unless a
// program fills the screen in front (full_screen.h), where the gesture does nothing.
#pragma once

#include <windows.h>

#include <functional>

#include "core/shake_gesture.h"
#include "gui/platform/mouse_move_waiter.h"

namespace vl {

class TShakeWatch {
 public:
  // The main window's timer that the watch takes; the main window's other timers use
  // other numbers.
  static constexpr UINT_PTR kTimer = 1;

  explicit TShakeWatch(HWND window);
  TShakeWatch(const TShakeWatch&) = delete;
  TShakeWatch& operator=(const TShakeWatch&) = delete;

  const ShakeParams& Params() const { return params_; }
  // Back to the defaults, as before the settings file is read.
  void ResetParams() { params_ = ShakeParams{}; }
  // 0 and below are no values and change nothing: a speed of 0 would take a still
  // pointer for a swing and call the launcher up again the moment it is hidden.
  void SetSpeed(std::int32_t value);
  void SetTime(std::int32_t value);

  // The watch on or off; nothing is written.
  void SetEnabled(bool enabled);
  bool Enabled() const { return enabled_; }
  // The watch is on but sleeps: the pointer rests, and the next move of the mouse wakes it.
  bool Resting() const { return resting_.Waiting(); }

  // One tick of the timer: the shake gesture.
  void Tick();
  // WM_INPUT: a move of the mouse wakes a resting watch.
  void Input();

  std::function<void(POINT pointer)> OnShake;

 private:
  void RestUntilTheMouseMoves(POINT at);

  HWND window_;
  ShakeParams params_;
  ShakeState gesture_{{0, 0}};
  bool enabled_ = false;
  // With the watch on and the pointer at rest, sampling stops until the mouse moves.
  TMouseMoveWaiter resting_;
};

}  // namespace vl
