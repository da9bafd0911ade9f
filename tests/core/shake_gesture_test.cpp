#include "core/shake_gesture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdint>
#include <random>
#include <vector>

namespace vl {
namespace {

struct Tick {
  std::int32_t x, y;
  bool hidden = true;
};

// Runs pointer positions through the gesture (the pointer stays put within each tick)
// and returns the ticks, from 0, at which the launcher was shown.
std::vector<int> Shown(const std::vector<Tick>& ticks, ShakeParams params = {},
                       ShakeState* out = nullptr) {
  ShakeState state;
  state.prevCursor = {500, 500};
  std::vector<int> shown;
  for (std::size_t i = 0; i < ticks.size(); ++i) {
    ShakePoint at{ticks[i].x, ticks[i].y};
    if (ShakeTick(state, params, at, at, ticks[i].hidden)) shown.push_back(static_cast<int>(i));
  }
  if (out) *out = state;
  return shown;
}

// Left by `step`, right by `step`, left by `step`, starting from x 500.
std::vector<Tick> Shake(int step, int lastDy = 0) {
  return {{500 - step, 500}, {500, 500}, {500 - step, 500 + lastDy}};
}

TEST(ShakeGesture, ThreeSwingsOfFortyOnePixelsShowTheLauncher) {
  ShakeState state;
  EXPECT_EQ(Shown(Shake(41), {}, &state), std::vector<int>{2});
  EXPECT_EQ(state.curCursor.x, 459) << "centred on the pointer of the last swing";
  EXPECT_FALSE(state.firstSwing);
  EXPECT_FALSE(state.secondSwing);
  EXPECT_EQ(state.shakeTicks, 0);
}

TEST(ShakeGesture, MovesOfExactlyTheSpeedAreNoSwing) {
  EXPECT_TRUE(Shown(Shake(40)).empty());
  EXPECT_TRUE(Shown(Shake(20), {19, 9}).size() == 1) << "the speed is a setting";
}

TEST(ShakeGesture, OnlyWhileTheLauncherCountsAsHidden) {
  std::vector<Tick> ticks = Shake(41);
  ticks[2].hidden = false;
  EXPECT_TRUE(Shown(ticks).empty());
}

TEST(ShakeGesture, TheLastSwingMustComeWithinTheTimeWindow) {
  // First swing at tick 0, right swing at 1, then still until the last swing.
  auto withLastSwingAt = [](int tick) {
    std::vector<Tick> t = {{459, 500}, {500, 500}};
    while (static_cast<int>(t.size()) < tick) t.push_back({500, 500});
    t.push_back({459, 500});
    return t;
  };
  EXPECT_EQ(Shown(withLastSwingAt(8)), std::vector<int>{8}) << "ShakeTime - 1 ticks after the first";
  EXPECT_TRUE(Shown(withLastSwingAt(9)).empty()) << "ShakeTime ticks after: too late";

  // At tick 9 the state still stands; at the end of tick 10 it is cleared.
  ShakeState state;
  std::vector<Tick> t = withLastSwingAt(9);
  Shown(t, {}, &state);
  EXPECT_TRUE(state.firstSwing);
  t.push_back({459, 500});  // tick 10: no move (the pointer stays at 459)
  Shown(t, {}, &state);
  EXPECT_FALSE(state.firstSwing);
  EXPECT_FALSE(state.secondSwing);
  EXPECT_EQ(state.shakeTicks, 10) << "the count itself goes on";
  // From the following tick on, a new gesture starts.
  t.push_back({418, 500});
  t.push_back({459, 500});
  t.push_back({418, 500});
  EXPECT_EQ(Shown(t), std::vector<int>{13});
}

TEST(ShakeGesture, OnlyTheFirstLeftSwingStartsTheTimeWindow) {
  std::vector<Tick> t = {{459, 500}, {418, 500}, {377, 500}, {377, 500}, {377, 500},
                         {377, 500}, {377, 500}, {377, 500}, {418, 500}, {377, 500}};
  EXPECT_TRUE(Shown(t).empty()) << "left swings at 0, 1, 2 and the last at 9: counted from 0";
}

TEST(ShakeGesture, VerticalDriftOfOneHundredBlocksButTheStateStays) {
  EXPECT_TRUE(Shown(Shake(41, 100)).empty());
  EXPECT_TRUE(Shown(Shake(41, -100)).empty());
  EXPECT_EQ(Shown(Shake(41, 99)), std::vector<int>{2});
  EXPECT_EQ(Shown(Shake(41, -99)), std::vector<int>{2});
  // Blocked, then a further left swing within the window and with less drift shows it.
  std::vector<Tick> t = Shake(41, 100);
  t.push_back({418, 520});
  EXPECT_EQ(Shown(t), std::vector<int>{3});
}

TEST(ShakeGesture, AbsurdSettingsAndFarPointersDoNotOverflow) {
  ShakeParams wild{INT32_MIN, INT32_MAX};
  std::vector<Tick> far = {{INT32_MIN, INT32_MAX}, {INT32_MAX, INT32_MIN}, {INT32_MIN, INT32_MAX}};
  Shown(far, wild);
  Shown(far, {INT32_MAX, INT32_MIN});
  ShakeState state;
  state.shakeTicks = INT32_MAX;
  ShakeTick(state, {}, {100, 100}, {100, 100}, true);  // no move: no swing
  EXPECT_EQ(state.shakeTicks, INT32_MAX) << "the count saturates";
}

// The rules read again, independently of the code under test: as a small machine of
// phases over the ticks since the first swing, with every quantity in 64 bits.
struct Reference {
  enum Phase { kIdle, kAfterLeft, kAfterRight } phase = kIdle;
  std::int64_t age = 0, startY = 0, prevX = 100, prevY = 100, curX = 0, curY = 0;

  bool Step(std::int64_t speed, std::int64_t time, ShakePoint now, ShakePoint after, bool hidden) {
    curX = now.x;
    curY = now.y;
    if (age < INT32_MAX) age += 1;
    const std::int64_t leftward = prevX - now.x;
    const bool left = leftward > speed, right = leftward < -speed;
    if (phase == kIdle && left) {
      phase = kAfterLeft;
      age = 0;
      startY = now.y;
    }
    if (phase != kIdle && right) phase = kAfterRight;
    bool show = false;
    const bool closeEnough = (now.y > startY ? now.y - startY : startY - now.y) < 100;
    if (phase == kAfterRight && left && age < time && hidden && closeEnough) {
      show = true;
      phase = kIdle;
      age = 0;
    }
    if (age > time) phase = kIdle;
    prevX = after.x;
    prevY = after.y;
    return show;
  }
};

// The settings the random sequences run under: mostly the defaults, and the absurd ones.
ShakeParams RandomParams(std::mt19937_64& rng) {
  const std::int32_t speeds[] = {40, 40, 40, 1, 0, -3, 100, INT32_MAX, INT32_MIN};
  const std::int32_t times[] = {9, 9, 9, 1, 0, -1, 3, 20, INT32_MAX, INT32_MIN};
  const std::int32_t speed = speeds[rng() % std::size(speeds)];
  return ShakeParams{speed, times[rng() % std::size(times)]};
}

TEST(ShakeGesture, AgreesWithAnIndependentReadingOverMillionsOfSequences) {
  std::mt19937_64 rng(20261207);
  long sequences = 0, ticks = 0, shows = 0;
  for (; sequences < 2'000'000; ++sequences) {
    ShakeParams p = RandomParams(rng);
    ShakeState state;
    Reference ref;
    std::int32_t x = 100, y = 100;
    int length = 3 + static_cast<int>(rng() % 14);
    for (int k = 0; k < length; ++k, ++ticks) {
      // Moves near the speed and drifts near the limit, where the rules turn.
      std::int64_t base = p.shakeSpeed == INT32_MIN || p.shakeSpeed == INT32_MAX ? 40 : p.shakeSpeed;
      std::int64_t dx = base + static_cast<std::int64_t>(rng() % 3) - 1;
      switch (rng() % 4) {
        case 0: dx = -dx; break;
        case 1: break;
        case 2: dx = static_cast<std::int64_t>(rng() % 7) - 3; break;
        default: dx = static_cast<std::int64_t>(rng() % 400) - 200; break;
      }
      std::int64_t dy = rng() % 3 == 0 ? static_cast<std::int64_t>(rng() % 5) + 98 : 0;
      if (rng() % 2) dy = -dy;
      x = static_cast<std::int32_t>(std::clamp<std::int64_t>(x - dx, INT32_MIN, INT32_MAX));
      y = static_cast<std::int32_t>(std::clamp<std::int64_t>(100 + dy, INT32_MIN, INT32_MAX));
      ShakePoint now{x, y}, after = now;
      if (rng() % 10 == 0) after.x = static_cast<std::int32_t>(x + static_cast<std::int32_t>(rng() % 90) - 45);
      bool hidden = rng() % 5 != 0;
      bool got = ShakeTick(state, p, now, after, hidden);
      bool want = ref.Step(p.shakeSpeed, p.shakeTime, now, after, hidden);
      shows += got;
      ASSERT_EQ(got, want) << "sequence " << sequences << " tick " << k;
      ASSERT_EQ(state.firstSwing, ref.phase != Reference::kIdle);
      ASSERT_EQ(state.secondSwing, ref.phase == Reference::kAfterRight);
      ASSERT_EQ(state.shakeTicks, ref.age);
      if (state.firstSwing) {
        ASSERT_EQ(state.swingStartY, ref.startY);
      }
      ASSERT_EQ(state.prevCursor.x, ref.prevX);
      x = after.x;
    }
  }
  std::printf("shake gesture: %ld sequences, %ld ticks, %ld shows agreed\n", sequences, ticks, shows);
  EXPECT_GT(shows, 20'000) << "the generator must reach the showing paths often";
}

// The watch stops sampling once ShakeAtRest says so and starts again when the pointer
// moves. Against a watch that ticks on through every still period, over random moves and
// rests (with the absurd settings too), it must decide the same at every tick it makes,
// and the other must decide nothing while it sleeps.
TEST(ShakeGesture, SleepingWhileThePointerRestsDecidesExactlyAsTickingOn) {
  std::mt19937_64 rng(7122026);
  long sequences = 0, slept = 0, shows = 0;
  for (; sequences < 500'000; ++sequences) {
    ShakeParams p = RandomParams(rng);
    ShakeState ticking, sleeping;
    bool asleep = ShakeAtRest(sleeping, p, sleeping.prevCursor);
    std::int32_t x = 100, y = 100;
    int length = 3 + static_cast<int>(rng() % 20);
    for (int k = 0; k < length; ++k) {
      bool hidden = rng() % 5 != 0;
      if (rng() % 3 == 0) {  // the pointer rests for a while
        for (int still = 1 + static_cast<int>(rng() % 30); still > 0; --still) {
          bool want = ShakeTick(ticking, p, {x, y}, {x, y}, hidden);
          if (asleep) {
            ++slept;
            ASSERT_FALSE(want) << "a still pointer showed the launcher: sequence " << sequences;
            continue;
          }
          ASSERT_EQ(ShakeTick(sleeping, p, {x, y}, {x, y}, hidden), want) << "sequence " << sequences;
          asleep = ShakeAtRest(sleeping, p, {x, y});
        }
        continue;
      }
      std::int64_t step = p.shakeSpeed == INT32_MIN || p.shakeSpeed == INT32_MAX ? 40 : p.shakeSpeed;
      std::int64_t dx = step + static_cast<std::int64_t>(rng() % 3) - 1;
      if (rng() % 2) dx = -dx;
      if (rng() % 4 == 0) dx = static_cast<std::int64_t>(rng() % 7) - 3;
      x = static_cast<std::int32_t>(std::clamp<std::int64_t>(x - dx, INT32_MIN, INT32_MAX));
      y = rng() % 4 == 0 ? 100 + static_cast<std::int32_t>(rng() % 5) + 97 : 100;
      ShakePoint now{x, y}, after = now;
      if (rng() % 10 == 0) after.x = x + static_cast<std::int32_t>(rng() % 90) - 45;
      // A move wakes the watch (a move of nothing, dx 0, too: the pointer may have left and
      // come back between two samples).
      bool want = ShakeTick(ticking, p, now, after, hidden);
      bool got = ShakeTick(sleeping, p, now, after, hidden);
      shows += got;
      ASSERT_EQ(got, want) << "sequence " << sequences << " tick " << k;
      ASSERT_EQ(sleeping.firstSwing, ticking.firstSwing);
      ASSERT_EQ(sleeping.secondSwing, ticking.secondSwing);
      x = after.x;
      asleep = ShakeAtRest(sleeping, p, after);
    }
  }
  std::printf("shake gesture at rest: %ld sequences, %ld ticks slept, %ld shows agreed\n", sequences, slept,
              shows);
  EXPECT_GT(slept, 1'000'000) << "the generator must make the watch sleep often";
  EXPECT_GT(shows, 10'000) << "and reach the showing paths often";
}

}  // namespace
}  // namespace vl
