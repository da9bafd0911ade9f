// The tray icon on the real platform: mouse callbacks posted to the shared handler window
// as the shell posts them, timed against the system's double-click time; the icon as the
// shell itself sees it (a modify request succeeds only for an icon the shell holds); the
// menu at the pointer; the main form shown, hidden and minimised through the owner window.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "gui/application.h"
#include "gui/popup_menu.h"
#include "showhide/cool_tray_icon.h"
#include "showhide/tray_icon_handler.h"
#include "tray_test_support.h"

namespace vl {
namespace {

using test::NowMs;
using test::PumpFor;
using test::PumpUntil;

// Whether the shell holds an icon with this window and identifier.
bool ShellHasIcon(const NOTIFYICONDATAW& data) {
  NOTIFYICONDATAW probe = data;
  return Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
}

UINT TaskbarCreated() { return RegisterWindowMessageW(L"TaskbarCreated"); }

UniqueIcon SampleIcon() { return UniqueIcon(CopyIcon(LoadIconW(nullptr, IDI_APPLICATION))); }

class CoolTrayIconTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<test::TTestForm>(app.OwnerWindow(), L"tray test form", 200, 200);
    app.SetMainForm(form->Handle());
    ShowWindow(form->Handle(), SW_SHOW);
    tray = std::make_unique<TCoolTrayIcon>(form->Handle());
    tray->SetIcon(SampleIcon());
    tray->OnClick = [this](TCoolTrayIcon&) { clicks.push_back(NowMs()); };
    tray->OnDblClick = [this](TCoolTrayIcon&) { dblClicks.push_back(NowMs()); };
    PumpFor(50);
  }
  void TearDown() override {
    tray.reset();
    form.reset();
  }

  // Posts what the shell posts for one mouse event on the icon.
  void Mouse(UINT message) {
    PostMessageW(TTrayIconHandler::Current(), kTrayCallbackMessage, tray->IconData().uID, message);
  }

  TApplication app{L"RavariVudovi"};
  std::unique_ptr<test::TTestForm> form;
  std::unique_ptr<TCoolTrayIcon> tray;
  std::vector<double> clicks, dblClicks;
};

// Timer messages under Wine come a few milliseconds late, never early.
constexpr double kEarly = 15, kLate = 150;

TEST_F(CoolTrayIconTest, ClicksFollowTheSystemDoubleClickTime) {
  const UINT systemTime = GetDoubleClickTime();
  // Once at the system's own setting, once at another, so that a fixed wait cannot pass.
  for (UINT dct : {systemTime, 250u}) {
    SCOPED_TRACE(dct);
    ASSERT_TRUE(SetDoubleClickTime(dct));
    ASSERT_EQ(GetDoubleClickTime(), dct);

    // A single click: once, one double-click time after the press, not at the release.
    clicks.clear();
    dblClicks.clear();
    const double press = NowMs();
    Mouse(WM_LBUTTONDOWN);
    PumpFor(60);
    Mouse(WM_LBUTTONUP);
    PumpFor(dct + 400.0);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_TRUE(dblClicks.empty());
    EXPECT_GE(clicks[0] - press, dct - kEarly);
    EXPECT_LE(clicks[0] - press, dct + kLate);
    RecordProperty(dct == systemTime ? "single_click_ms_system" : "single_click_ms_250",
                   static_cast<int>(clicks[0] - press));

    // A double click: the double click alone, at once; no click afterwards.
    clicks.clear();
    const double first = NowMs();
    Mouse(WM_LBUTTONDOWN);
    Mouse(WM_LBUTTONUP);
    Mouse(WM_LBUTTONDBLCLK);
    Mouse(WM_LBUTTONUP);
    PumpFor(dct + 400.0);
    ASSERT_EQ(dblClicks.size(), 1u);
    EXPECT_LE(dblClicks[0] - first, kLate);
    EXPECT_TRUE(clicks.empty());

    // A long press: no click while the button is held, one click at the release.
    clicks.clear();
    dblClicks.clear();
    Mouse(WM_LBUTTONDOWN);
    PumpFor(dct + 300.0);
    EXPECT_TRUE(clicks.empty());
    const double release = NowMs();
    Mouse(WM_LBUTTONUP);
    PumpFor(dct + 200.0);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_LE(clicks[0] - release, kLate);
    EXPECT_TRUE(dblClicks.empty());
  }
  SetDoubleClickTime(systemTime);
}

TEST_F(CoolTrayIconTest, ClickComesAtTheReleaseWithoutDoubleClickHandler) {
  tray->OnDblClick = nullptr;
  Mouse(WM_LBUTTONDOWN);
  PumpFor(30);
  const double release = NowMs();
  Mouse(WM_LBUTTONUP);
  PumpFor(100);
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_LE(clicks[0] - release, 60.0);
  PumpFor(GetDoubleClickTime() + 200.0);
  EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(CoolTrayIconTest, ThirdPressAfterDoubleClickIsAClickOfItsOwn) {
  const UINT dct = GetDoubleClickTime();
  Mouse(WM_LBUTTONDOWN);
  Mouse(WM_LBUTTONUP);
  Mouse(WM_LBUTTONDBLCLK);
  Mouse(WM_LBUTTONUP);
  PumpFor(60);
  Mouse(WM_LBUTTONDOWN);
  Mouse(WM_LBUTTONUP);
  PumpFor(dct + 300.0);
  EXPECT_EQ(dblClicks.size(), 1u);
  EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(CoolTrayIconTest, DisabledIconIgnoresTheMouse) {
  tray->Enabled = false;
  Mouse(WM_LBUTTONDOWN);
  Mouse(WM_LBUTTONUP);
  Mouse(WM_LBUTTONDBLCLK);
  Mouse(WM_LBUTTONUP);
  PumpFor(GetDoubleClickTime() + 200.0);
  EXPECT_TRUE(clicks.empty());
  EXPECT_TRUE(dblClicks.empty());
}

TEST_F(CoolTrayIconTest, CallbackForAnIconAlreadyGoneIsDropped) {
  const UINT staleId = tray->IconData().uID;
  TCoolTrayIcon other(form->Handle());  // keeps the handler window alive
  tray.reset();
  PostMessageW(TTrayIconHandler::Current(), kTrayCallbackMessage, staleId, WM_LBUTTONDOWN);
  PostMessageW(TTrayIconHandler::Current(), kTrayCallbackMessage, staleId, WM_LBUTTONUP);
  PumpFor(GetDoubleClickTime() + 200.0);
  EXPECT_TRUE(clicks.empty());
  EXPECT_NE(other.IconData().uID, staleId);
}

TEST_F(CoolTrayIconTest, ClickHandlerMayDestroyTheIcon) {
  tray->OnDblClick = nullptr;
  tray->OnClick = [this](TCoolTrayIcon&) {
    clicks.push_back(NowMs());
    tray.reset();
  };
  Mouse(WM_LBUTTONDOWN);
  Mouse(WM_LBUTTONUP);
  PumpFor(100);
  EXPECT_EQ(clicks.size(), 1u);
  EXPECT_EQ(tray, nullptr);
}

// The menu: found while open by a timer of the menu's own loop, then closed.
struct MenuSeen {
  bool open = false;
  RECT rect{};
  HWND foreground = nullptr;
};
MenuSeen* g_menuSeen = nullptr;

void CALLBACK LookForMenu(HWND, UINT, UINT_PTR, DWORD) {
  HWND menu = FindWindowW(L"#32768", nullptr);
  if (!menu || !IsWindowVisible(menu) || g_menuSeen->open) return;
  g_menuSeen->open = true;
  GetWindowRect(menu, &g_menuSeen->rect);
  g_menuSeen->foreground = GetForegroundWindow();
  // Second item, then Enter.
  PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
}

TEST_F(CoolTrayIconTest, RightPressOpensTheMenuAtThePointer) {
  std::vector<int> chosen;
  TPopupMenu menu;
  menu.Add(L"表示", [&] { chosen.push_back(0); });
  menu.Add(L"隠す", [&] { chosen.push_back(1); }, L"Esc");
  menu.Add(L"-");
  menu.Add(L"終了", [&] { chosen.push_back(3); });
  tray->PopupMenu = &menu;
  tray->HideMainWindow();
  ASSERT_TRUE(SetCursorPos(300, 250));
  PumpFor(50);

  MenuSeen seen;
  g_menuSeen = &seen;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, &LookForMenu);
  const int nullsBefore = form->nullMessages;
  Mouse(WM_RBUTTONDOWN);
  PumpUntil([&] { return !chosen.empty(); }, 5000);
  KillTimer(nullptr, timer);
  g_menuSeen = nullptr;

  ASSERT_TRUE(seen.open);
  EXPECT_EQ(seen.rect.left, 300);
  EXPECT_EQ(seen.rect.top, 250);
  // The application took the foreground before the menu opened.
  EXPECT_EQ(seen.foreground, app.OwnerWindow());
  EXPECT_EQ(chosen, std::vector<int>{1});
  PumpFor(50);
  EXPECT_GT(form->nullMessages, nullsBefore);
}

TEST_F(CoolTrayIconTest, DoubleClickAlsoChoosesTheMenusDefaultItem) {
  std::vector<int> chosen;
  TPopupMenu menu;
  menu.Add(L"マウスの動きを監視", [&] { chosen.push_back(0); });
  menu.Add(L"表示", [&] { chosen.push_back(1); });
  tray->PopupMenu = &menu;
  Mouse(WM_LBUTTONDOWN);
  Mouse(WM_LBUTTONUP);
  Mouse(WM_LBUTTONDBLCLK);
  PumpFor(50);
  EXPECT_TRUE(chosen.empty());
  menu.SetDefault(1);
  Mouse(WM_LBUTTONDOWN);
  Mouse(WM_LBUTTONUP);
  Mouse(WM_LBUTTONDBLCLK);
  PumpFor(50);
  EXPECT_EQ(chosen, std::vector<int>{1});
  EXPECT_EQ(dblClicks.size(), 2u);
}

TEST_F(CoolTrayIconTest, NoMenuWhenItDoesNotOpenByItself) {
  TPopupMenu menu;
  menu.Add(L"表示");
  menu.AutoPopup = false;
  tray->PopupMenu = &menu;
  const int nullsBefore = form->nullMessages;
  Mouse(WM_RBUTTONDOWN);
  Mouse(WM_RBUTTONUP);
  PumpFor(100);
  EXPECT_EQ(form->nullMessages, nullsBefore);
}

TEST_F(CoolTrayIconTest, IconComesBackWhenTheTaskbarIsCreatedAgain) {
  tray->SetIconVisible(true);
  const NOTIFYICONDATAW data = tray->IconData();
  ASSERT_TRUE(ShellHasIcon(data)) << "no notification area under this Wine";

  // The shell loses the icon, as when the taskbar goes away.
  NOTIFYICONDATAW lost = data;
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &lost));
  ASSERT_FALSE(ShellHasIcon(data));
  DWORD_PTR ignored;
  SendMessageTimeoutW(HWND_BROADCAST, TaskbarCreated(), 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
  PumpFor(100);
  EXPECT_TRUE(ShellHasIcon(data));

  // Not while the icon is meant to be away.
  tray->SetIconVisible(false);
  ASSERT_FALSE(ShellHasIcon(data));
  SendMessageTimeoutW(HWND_BROADCAST, TaskbarCreated(), 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
  PumpFor(100);
  EXPECT_FALSE(ShellHasIcon(data));
}

TEST_F(CoolTrayIconTest, IconGoesWithTheComponentAndShowsItsTip) {
  tray->SetIconVisible(true);
  tray->SetHint(std::wstring(200, L'あ'));
  EXPECT_EQ(std::wstring(tray->IconData().szTip), std::wstring(127, L'あ'));
  tray->SetShowHint(false);
  EXPECT_EQ(tray->IconData().szTip[0], L'\0');
  const NOTIFYICONDATAW data = tray->IconData();
  ASSERT_TRUE(ShellHasIcon(data));
  tray.reset();
  EXPECT_FALSE(ShellHasIcon(data));
}

TEST_F(CoolTrayIconTest, HideThenShowBringsTheFormBackInPlace) {
  HWND f = form->Handle();
  HWND owner = app.OwnerWindow();
  RECT before;
  GetWindowRect(f, &before);

  tray->HideMainWindow();
  PumpFor(50);
  EXPECT_FALSE(IsWindowVisible(f));
  EXPECT_FALSE(IsWindowVisible(owner));

  tray->ShowMainWindow();
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == f; }, 2000))
      << "foreground " << GetForegroundWindow();
  EXPECT_TRUE(IsWindowVisible(f));
  EXPECT_TRUE(IsWindowVisible(owner));
  EXPECT_FALSE(IsIconic(owner));
  RECT after;
  GetWindowRect(f, &after);
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.top, before.top);
}

TEST_F(CoolTrayIconTest, ShowRestoresAMinimisedForm) {
  HWND f = form->Handle();
  ShowWindow(f, SW_MINIMIZE);
  PumpFor(50);
  ASSERT_TRUE(IsIconic(f));
  tray->ShowMainWindow();
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == f; }, 2000));
  EXPECT_FALSE(IsIconic(f));
  EXPECT_TRUE(IsWindowVisible(f));
}

TEST_F(CoolTrayIconTest, MinimisingTheApplicationGoesToTheTray) {
  HWND f = form->Handle();
  HWND owner = app.OwnerWindow();
  tray->MinimizeToTray = true;
  tray->SetIconVisible(true);
  const NOTIFYICONDATAW data = tray->IconData();

  app.Minimize();
  PumpFor(100);
  EXPECT_FALSE(IsWindowVisible(f));
  EXPECT_FALSE(IsWindowVisible(owner));
  EXPECT_TRUE(tray->IconVisible());
  EXPECT_TRUE(ShellHasIcon(data));

  tray->ShowMainWindow();
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == f; }, 2000));
  EXPECT_FALSE(IsIconic(owner));
  EXPECT_FALSE(IsIconic(f));

  // Without the option the owner window stays, minimised.
  tray->MinimizeToTray = false;
  app.Minimize();
  PumpFor(100);
  EXPECT_TRUE(IsIconic(owner));
  EXPECT_TRUE(IsWindowVisible(owner));
}

TEST_F(CoolTrayIconTest, FocusReturnsToTheControlThatHadIt) {
  HWND f = form->Handle();
  tray->ShowMainWindow();
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == f; }, 2000));
  SetFocus(form->Edit());
  ASSERT_EQ(GetFocus(), form->Edit());

  test::TTestForm other(nullptr, L"other window", 600, 400);
  ShowWindow(other.Handle(), SW_SHOW);
  SetForegroundWindow(other.Handle());
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == other.Handle(); }, 2000));

  SetForegroundWindow(f);
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == f; }, 2000));
  EXPECT_EQ(GetFocus(), form->Edit());
}

}  // namespace
}  // namespace vl
