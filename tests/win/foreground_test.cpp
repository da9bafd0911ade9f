// Bringing a window forward under the foreground lock: the Alt tap that lifts the lock must
// reach the system as an Alt press, and must not put the window in front into menu mode.
#include <windows.h>

#include <gtest/gtest.h>

#include <iterator>

#include "gui/application.h"
#include "gui/platform/foreground.h"
#include "gui/window.h"
#include "tests/win/button_test_support.h"

namespace vl {
namespace {

// The window in front, as another program's window would be: it counts Alt presses and the
// system's menu-key command (what an Alt released alone sends), without entering the menu.
class WindowInFront : public TWindow {
 public:
  WindowInFront() {
    WindowParams p;
    p.className = L"VlWindowInFront";
    p.caption = L"in front";
    p.style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    p.x = p.y = 50;
    p.width = 300;
    p.height = 200;
    Create(p);
  }
  int altPresses = 0;
  int menuKeys = 0;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_SYSKEYDOWN && wParam == VK_MENU) ++altPresses;
    if (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_KEYMENU) {
      ++menuKeys;
      return 0;
    }
    return TWindow::HandleMessage(msg, wParam, lParam);
  }
};

INPUT Key(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return in;
}

TEST(Foreground, TheQuietAltTapIsAnAltPressThatOpensNoMenu) {
  TApplication app(L"RavariVudovi");
  WindowInFront front;
  SetForegroundWindow(front.Handle());
  test::Pump(200);
  ASSERT_EQ(GetForegroundWindow(), front.Handle());

  // What the test would see of a menu: a bare Alt tap sends the menu key.
  INPUT bare[] = {Key(VK_MENU, false), Key(VK_MENU, true)};
  SendInput(static_cast<UINT>(std::size(bare)), bare, sizeof(INPUT));
  ASSERT_TRUE(test::PumpUntil([&] { return front.menuKeys == 1; }, 2000));

  front.altPresses = front.menuKeys = 0;
  TapAltQuietly();
  test::Pump(500);
  EXPECT_EQ(front.altPresses, 1) << "the system saw Alt pressed";
  EXPECT_EQ(front.menuKeys, 0) << "and the window in front no menu key";
  EXPECT_GE(GetKeyState(VK_MENU), 0) << "Alt is up again";
}

}  // namespace
}  // namespace vl
