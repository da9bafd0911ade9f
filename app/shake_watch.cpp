#include "app/shake_watch.h"

#include "app/full_screen.h"
#include "gui/application.h"

namespace vl {
namespace {

constexpr UINT kInterval = 25;  // ms: the watch samples the pointer 40 times a second

}  // namespace

TShakeWatch::TShakeWatch(HWND window) : window_(window) { gesture_.prevCursor = ShakePoint{100, 100}; }

void TShakeWatch::SetSpeed(std::int32_t value) {
  if (value > 0) params_.shakeSpeed = value;
}

void TShakeWatch::SetTime(std::int32_t value) {
  if (value > 0) params_.shakeTime = value;
}

void TShakeWatch::SetEnabled(bool enabled) {
  enabled_ = enabled;
  resting_.Stop();
  if (enabled) {
    SetTimer(window_, kTimer, kInterval, nullptr);
  } else {
    KillTimer(window_, kTimer);
  }
}

void TShakeWatch::RestUntilTheMouseMoves(POINT at) {
  if (!resting_.Start(window_)) return;  // no raw input here: sampling goes on
  POINT now;
  GetCursorPos(&now);
  // A move between the last reading and the start of the wait would never be told.
  if (now.x != at.x || now.y != at.y) {
    resting_.Stop();
    return;
  }
  KillTimer(window_, kTimer);
}

void TShakeWatch::Input() {
  if (resting_.Moved() && enabled_) SetTimer(window_, kTimer, kInterval, nullptr);
}

void TShakeWatch::Tick() {
  POINT now, after;
  GetCursorPos(&now);
  // The launcher counts as hidden while the application's owner window is: right after
  // start the window is on screen and yet counts as hidden until it is first shown.
  bool hidden = !IsWindowVisible(TApplication::Instance().OwnerWindow());
  GetCursorPos(&after);  // a second reading: the one the next tick compares with
  if (!ShakeTick(gesture_, params_, {now.x, now.y}, {after.x, after.y}, hidden)) {
    // Forty wake-ups a second for a pointer that does not move would only spend power:
    // sampling stops until the mouse moves (WM_INPUT), when the gesture decides exactly
    // as if it had gone on.
    if (ShakeAtRest(gesture_, params_, {after.x, after.y})) RestUntilTheMouseMoves(after);
    return;
  }
  // Over a game, a video or a slide show the same swing is part of what the user does
  // there: the shake rests. The hot key and the tray still call the launcher up.
  if (FullScreenInFront()) return;
  if (OnShake) OnShake(now);
}

}  // namespace vl
