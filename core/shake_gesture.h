// The shake gesture: a quick left-right-left swing of the pointer, sampled every 25 ms,
// that calls the launcher up centred on the pointer.
//
// A swing is a horizontal move of more than Speed pixels between two samples. The gesture
// is a swing to the left, at least one to the right, then one to the left, with the last
// one fewer than Time ticks after the first left swing (only that first one starts the
// time window), less than 100 pixels above or below the height of the first, and only
// while the launcher counts as hidden. All comparisons are strict.
//
// ShakeTick is one tick: pure, allocation-free, and the whole of the decision; the main
// window's timer feeds it the pointer and does what it answers.
#pragma once

#include <cstdint>

namespace vl {

struct ShakePoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

struct ShakeState {
  ShakePoint prevCursor{100, 100};  // the pointer at the end of the previous tick
  ShakePoint curCursor{};           // the pointer at the start of this tick
  std::int32_t shakeTicks = 0;      // ticks since the first swing; counts on between gestures
  bool firstSwing = false;
  bool secondSwing = false;
  std::int32_t swingStartY = 0;
};

struct ShakeParams {
  std::int32_t shakeSpeed = 40;  // pixels per tick
  std::int32_t shakeTime = 9;    // ticks
};

inline constexpr std::int32_t kShakeMaxDrift = 100;  // pixels up or down, exclusive

// One tick: `now` is the pointer read at the start of the tick, `after` the pointer read
// again at its end. True when the launcher is to be shown centred on state.curCursor.
bool ShakeTick(ShakeState& state, const ShakeParams& params, ShakePoint now, ShakePoint after,
               bool countsAsHidden);

// True when more ticks with the pointer resting at `pointer` would decide nothing: no
// swing is under way, the pointer is where the last tick left it, and standing still is
// no swing. Only the count of ticks would change, and it matters again only after a first
// swing, which resets it. The watch may stop sampling until the pointer moves.
bool ShakeAtRest(const ShakeState& state, const ShakeParams& params, ShakePoint pointer);

}  // namespace vl
