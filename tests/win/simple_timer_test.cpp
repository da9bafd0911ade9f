// TSimpleTimer on the real platform: ticks timed with the performance counter, the shared
// handler window's life, and timers that go away in their own tick.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/errors.h"
#include "gui/application.h"
#include "showhide/simple_timer.h"
#include "showhide/simple_timer_handler.h"
#include "tray_test_support.h"

namespace vl {
namespace {

using test::NowMs;
using test::PumpFor;
using test::PumpUntil;

class SimpleTimerTest : public ::testing::Test {
 protected:
  TApplication app{L"RavariVudovi"};
};

TEST_F(SimpleTimerTest, StartOnARunningTimerRestartsItWithTheNewInterval) {
  std::vector<double> ticks;
  TSimpleTimer timer([&] { ticks.push_back(NowMs()); });
  ASSERT_TRUE(timer.Start(1000));
  PumpFor(100);
  const double restart = NowMs();
  ASSERT_TRUE(timer.Start(150));
  EXPECT_TRUE(timer.Active());
  EXPECT_EQ(timer.Interval(), 150u);
  ASSERT_TRUE(PumpUntil([&] { return ticks.size() >= 3; }, 2000));
  // The first tick after the restart comes at the new interval, and it repeats.
  EXPECT_GE(ticks[0] - restart, 150 - 15.0);
  EXPECT_LE(ticks[0] - restart, 150 + 120.0);
  EXPECT_GE(ticks[2] - ticks[0], 2 * 150 - 30.0);

  EXPECT_TRUE(timer.Stop());
  EXPECT_FALSE(timer.Active());
  const size_t stopped = ticks.size();
  PumpFor(400);
  EXPECT_EQ(ticks.size(), stopped);
  EXPECT_FALSE(timer.Stop());
}

TEST_F(SimpleTimerTest, OneSharedWindowReleasedWithTheLastTimer) {
  ASSERT_EQ(TSimpleTimerHandler::Current(), nullptr);
  auto first = std::make_unique<TSimpleTimer>([] {});
  HWND window = TSimpleTimerHandler::Current();
  ASSERT_NE(window, nullptr);
  auto second = std::make_unique<TSimpleTimer>([] {});
  EXPECT_EQ(TSimpleTimerHandler::Current(), window);
  first.reset();
  EXPECT_TRUE(IsWindow(window));
  second.reset();
  EXPECT_EQ(TSimpleTimerHandler::Current(), nullptr);
  EXPECT_FALSE(IsWindow(window));

  // A new timer makes the window again, and it ticks there.
  int ticks = 0;
  TSimpleTimer third([&] { ++ticks; });
  EXPECT_NE(TSimpleTimerHandler::Current(), nullptr);
  third.Start(10);
  EXPECT_TRUE(PumpUntil([&] { return ticks > 0; }, 1000));
}

TEST_F(SimpleTimerTest, TimersMayGoAwayInTheirOwnTick) {
  // The last timer, and with it the shared window, goes in its own tick.
  int ticks = 0;
  std::unique_ptr<TSimpleTimer> last;
  last = std::make_unique<TSimpleTimer>([&] {
    ++ticks;
    last.reset();
  });
  last->Start(10);
  EXPECT_TRUE(PumpUntil([&] { return last == nullptr; }, 1000));
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(TSimpleTimerHandler::Current(), nullptr);
}

TEST_F(SimpleTimerTest, ATickThatWaitsIsNotEnteredAgain) {
  int depth = 0, deepest = 0, ticks = 0;
  TSimpleTimer timer([&] {
    ++ticks;
    deepest = std::max(deepest, ++depth);
    // A tick that pumps messages for several intervals, as a message box would.
    if (ticks == 1) PumpFor(150);
    --depth;
  });
  timer.Start(20);
  PumpUntil([&] { return ticks >= 3; }, 2000);
  EXPECT_GE(ticks, 3);
  EXPECT_EQ(deepest, 1);
}

TEST_F(SimpleTimerTest, AnErrorInATickIsReportedOnceWhileItsBoxIsOpen) {
  int ticks = 0;
  TSimpleTimer timer([&] {
    // Only the first tick fails, so that the ticks after the box has closed run quietly.
    if (++ticks == 1) throw EVantriError(L"タイマーの失敗");
  });
  std::wstring text;
  int ticksWhileOpen = -1;
  // The user: reads the error box, leaves it open for many intervals, then answers it.
  std::thread user([&] {
    for (int i = 0; i < 200; ++i) {
      if (HWND box = FindWindowW(L"#32770", L"RavariVudovi")) {
        Sleep(400);
        wchar_t buffer[256] = {};
        GetDlgItemTextW(box, 0xFFFF, buffer, 256);
        text = buffer;
        ticksWhileOpen = ticks;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return;
      }
      Sleep(25);
    }
  });
  timer.Start(20);
  PumpUntil([&] { return ticksWhileOpen >= 0 && ticks > 1; }, 8000);
  timer.Stop();
  user.join();
  EXPECT_EQ(text, L"タイマーの失敗.");
  // No tick ran under the open box, and the timer ticks again once it has closed.
  EXPECT_EQ(ticksWhileOpen, 1);
  EXPECT_GT(ticks, 1);
}

}  // namespace
}  // namespace vl
