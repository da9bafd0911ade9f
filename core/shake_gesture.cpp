#include "core/shake_gesture.h"

#include <cstdint>
#include <limits>

namespace vl {

bool ShakeTick(ShakeState& s, const ShakeParams& p, ShakePoint now, ShakePoint after,
               bool countsAsHidden) {
  // 64-bit arithmetic: the speed comes from the settings file as stored, and neither an
  // absurd value there nor a far-off pointer may overflow.
  const std::int64_t speed = p.shakeSpeed;
  s.curCursor = now;
  // Saturates instead of wrapping after some 600 days of ticks.
  if (s.shakeTicks < std::numeric_limits<std::int32_t>::max()) ++s.shakeTicks;
  const std::int64_t dx = std::int64_t{s.prevCursor.x} - now.x;  // > 0: moved left

  if (dx > speed && !s.firstSwing) {
    s.firstSwing = true;
    s.shakeTicks = 0;
    s.swingStartY = now.y;
  }
  if (dx < -speed && s.firstSwing) s.secondSwing = true;

  bool show = false;
  if (dx > speed && s.secondSwing && s.shakeTicks < p.shakeTime && countsAsHidden) {
    std::int64_t drift = std::int64_t{now.y} - s.swingStartY;
    if (drift < 0) drift = -drift;
    if (drift < kShakeMaxDrift) {
      show = true;
      s.firstSwing = false;
      s.secondSwing = false;
      s.shakeTicks = 0;
    }
  }
  if (s.shakeTicks > p.shakeTime) {
    s.firstSwing = false;
    s.secondSwing = false;
  }
  s.prevCursor = after;
  return show;
}

bool ShakeAtRest(const ShakeState& s, const ShakeParams& p, ShakePoint pointer) {
  return !s.firstSwing && !s.secondSwing && p.shakeSpeed >= 0 && s.prevCursor.x == pointer.x &&
         s.prevCursor.y == pointer.y;
}

}  // namespace vl
