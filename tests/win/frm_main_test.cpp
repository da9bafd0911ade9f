// The main window in this process, on the settings file beside the test: what start-up
// builds, the setters of the shake and the hot keys, the watch toggle, closing, the page
// and button commands with their questions, the log-off, and the pages released to keep
// within the window budget.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <functional>

#include "app/call_up_notes.h"
#include "app/frm_main.h"
#include "core/ini_file.h"
#include "core/text_codec.h"
#include "gui/application.h"
#include "gui/platform/start_phases.h"
#include "gui/platform/window_count.h"
#include "tests/core/temp_dir.h"
#include "tests/win/button_test_support.h"
#include "tests/win/file_holder.h"

namespace vl {
namespace {

// Acts once inside the modal loop of the next box of this thread, as a user (or another
// part of the program) would while the box is up, then answers the box.
class WhileTheBoxIsUp {
 public:
  WhileTheBoxIsUp(std::function<void(HWND box)> act, int answer) : act_(std::move(act)), answer_(answer) {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 30, &WhileTheBoxIsUp::Tick);
  }
  ~WhileTheBoxIsUp() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  WhileTheBoxIsUp(const WhileTheBoxIsUp&) = delete;
  WhileTheBoxIsUp& operator=(const WhileTheBoxIsUp&) = delete;
  bool Answered() const { return answered_; }
  // The boxes that came after the first one, each closed with OK.
  int Later() const { return later_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (!current_) return;
    HWND box = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) -> BOOL {
          wchar_t cls[16] = L"";
          GetClassNameW(window, cls, 16);
          if (std::wstring(cls) != L"#32770" || !IsWindowVisible(window) || window == current_->first_) return TRUE;
          *reinterpret_cast<HWND*>(found) = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&box));
    if (!box) return;
    if (current_->answered_) {
      // A word after the answer (nothing done, and why): read and closed.
      ++current_->later_;
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      current_->first_ = box;
      return;
    }
    current_->answered_ = true;
    current_->first_ = box;
    current_->act_(box);
    PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(current_->answer_), 0);
  }

  static inline WhileTheBoxIsUp* current_ = nullptr;
  std::function<void(HWND)> act_;
  int answer_;
  UINT_PTR timer_ = 0;
  bool answered_ = false;
  HWND first_ = nullptr;  // the box answered last, which may still be up a moment
  int later_ = 0;
};

// Makes the platform refuse to create the n-th window of one class on this thread, from
// now on, as it does when the process reaches its window limit.
class RefuseWindow {
 public:
  RefuseWindow(const wchar_t* className, int n) : className_(className), left_(n) {
    current_ = this;
    hook_ = SetWindowsHookExW(WH_CBT, &RefuseWindow::Hook, nullptr, GetCurrentThreadId());
  }
  ~RefuseWindow() {
    UnhookWindowsHookEx(hook_);
    current_ = nullptr;
  }
  RefuseWindow(const RefuseWindow&) = delete;
  RefuseWindow& operator=(const RefuseWindow&) = delete;

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && current_) {
      wchar_t cls[64] = L"";
      GetClassNameW(reinterpret_cast<HWND>(wParam), cls, 64);
      if (current_->className_ == cls && --current_->left_ == 0) return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  static inline RefuseWindow* current_ = nullptr;
  std::wstring className_;
  int left_;
  HHOOK hook_ = nullptr;
};

std::vector<std::int32_t> PageNumbers(const TfrmMain& form) {
  std::vector<std::int32_t> numbers;
  for (const auto& page : form.PageList()) numbers.push_back(page->PageNo());
  return numbers;
}

class FrmMainTest : public ::testing::Test {
 protected:
  static void Remove() {
    std::filesystem::remove(SettingsFilePath());
  }
  void SetUp() override { Remove(); }
  void TearDown() override {
    form.reset();
    Remove();
  }
  void Open() { form = std::make_unique<TfrmMain>(); }

  TApplication app{L"RavariVudovi"};
  std::unique_ptr<TfrmMain> form;
};

TEST_F(FrmMainTest, AFirstStartMakesPageOneAsANewPage) {
  Open();
  // The start's moments for the start-up benchmark, the main window's first.
  const std::vector<StartMark> marks = StartMarks();
  ASSERT_FALSE(marks.empty());
  EXPECT_STREQ(marks.front().phase, "main window");
  ASSERT_EQ(form->PageList().size(), 1u);
  EXPECT_EQ(form->PageList()[0]->PageNo(), 1);
  EXPECT_EQ(form->PageNum(), 1);
  EXPECT_EQ(TIniFile(SettingsFilePath()).ReadString(L"Page1", L"Name", L""), L"NewPage");
  RECT client;
  GetClientRect(form->Handle(), &client);
  EXPECT_EQ(client.right, 320);
  EXPECT_EQ(client.bottom, 83);
  wchar_t caption[64];
  GetWindowTextW(form->Handle(), caption, 64);
  EXPECT_STREQ(caption, L"    -Vantri Launch-");
  EXPECT_TRUE(form->PopupMenu2().Checked(0)) << "the mouse watch is on by default";
  EXPECT_TRUE(form->Timer1Enabled());
  EXPECT_EQ(form->WaitHotKey().HotKey(), L"Windows+Space");
  EXPECT_EQ(form->WaitHotKey1().HotKey(), L"ESC");
  // A show key pressed again while the launcher comes up is not lost; a hide key is.
  EXPECT_TRUE(form->WaitHotKey().Reentrant());
  EXPECT_FALSE(form->WaitHotKey1().Reentrant());
}

SIZE ClientSize(HWND window) {
  RECT r;
  GetClientRect(window, &r);
  return {r.right, r.bottom};
}

int BitmapWidth(HBITMAP bitmap) {
  BITMAP bm{};
  return bitmap && GetObjectW(bitmap, sizeof bm, &bm) ? bm.bmWidth : 0;
}

int FontHeight(HWND window) {
  LOGFONTW lf{};
  auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
  return font && GetObjectW(font, sizeof lf, &lf) ? lf.lfHeight : 0;
}

// Windows sends WM_DPICHANGED when the window crosses to a monitor of another scale; Wine
// has one scale for all monitors, so the test sends it as Windows would.
void MoveToScale(HWND window, int dpi, const RECT& suggested) {
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

TEST_F(FrmMainTest, AMoveToAMonitorOfAnotherScaleLaysTheWindowOutAgainAtThatScale) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  {
    TIniFile ini(SettingsFilePath());
    ini.WriteInteger(L"General", L"PageNum", 1);
    for (auto [key, value] : {std::pair{L"Live", L"1"}, {L"Name", L"P"}, {L"Yoko", L"5"}, {L"Tate", L"1"},
                              {L"BtnW", L"64"}, {L"BtnH", L"64"}, {L"ShowType", L"0"}, {L"FontSize", L"10"}})
      ini.WriteString(L"Page1", key, value);
    ini.WriteString(L"Page1", L"BtnFP1", self);
    ini.WriteString(L"Page1", L"BtnIP1", self);
    ini.WriteString(L"Page1", L"BtnName1", L"self");
  }
  Open();
  ASSERT_EQ(GetDpiForWindow(form->Handle()), 96u) << "the test prefix is at 96 DPI";
  TPage& page = *form->PageList()[0];
  const SIZE at96 = ClientSize(form->Handle());
  ASSERT_EQ(at96.cx, 320);
  ASSERT_EQ(at96.cy, 83);
  ASSERT_EQ(BitmapWidth(page.Button(1)->Glyph()), 32);
  RECT before;
  GetWindowRect(form->Handle(), &before);

  // To 150 %: the system suggests the place, 1.5 times the size.
  RECT suggested{before.left + 40, before.top + 30, before.left + 40 + (before.right - before.left) * 3 / 2,
                 before.top + 30 + (before.bottom - before.top) * 3 / 2};
  MoveToScale(form->Handle(), 144, suggested);
  RECT now;
  GetWindowRect(form->Handle(), &now);
  EXPECT_EQ(now.left, suggested.left);
  EXPECT_EQ(now.top, suggested.top);
  const SIZE at144 = ClientSize(form->Handle());
  EXPECT_EQ(at144.cx, 480);
  EXPECT_EQ(at144.cy, 125) << "the tab row's 19 pixels are 28.5, rounded up, over 96 of buttons";
  RECT b2;
  GetWindowRect(page.Button(2)->Handle(), &b2);
  MapWindowPoints(nullptr, page.Sheet().Handle(), reinterpret_cast<POINT*>(&b2), 2);
  EXPECT_EQ(b2.left, 96);
  EXPECT_EQ(b2.right - b2.left, 96);
  EXPECT_EQ(b2.bottom - b2.top, 96);
  RECT strip;
  GetWindowRect(page.Sheet().Handle(), &strip);
  EXPECT_EQ(strip.bottom - strip.top, 96) << "the page area holds the grid exactly";
  EXPECT_EQ(BitmapWidth(page.Button(1)->Glyph()), 48) << "the glyph at the new scale";
  EXPECT_EQ(FontHeight(form->Base().Handle()), -20) << "the tabs' 13 pixels at 144 DPI";
  LOGFONTW caption{};
  GetObjectW(page.Button(1)->Font(), sizeof caption, &caption);
  EXPECT_EQ(caption.lfHeight, -20) << "10 points at 144 DPI";

  // And back: the same pixels as at the start, none lost to rounding.
  MoveToScale(form->Handle(), 96, before);
  const SIZE again = ClientSize(form->Handle());
  EXPECT_EQ(again.cx, at96.cx);
  EXPECT_EQ(again.cy, at96.cy);
  EXPECT_EQ(BitmapWidth(page.Button(1)->Glyph()), 32);
  GetObjectW(page.Button(1)->Font(), sizeof caption, &caption);
  EXPECT_EQ(caption.lfHeight, -13);

  // The position written at exit is the window's place on the screen, as read at start.
  MoveToScale(form->Handle(), 144, suggested);
  form.reset();
  TIniFile ini(SettingsFilePath());
  EXPECT_EQ(ini.ReadInteger(L"General", L"FormLeft", 0), suggested.left);
  EXPECT_EQ(ini.ReadInteger(L"General", L"FormTop", 0), suggested.top);
  EXPECT_EQ(ini.ReadInteger(L"Page1", L"BtnW", 0), 64) << "the file keeps its sizes at 96 DPI";
}

TEST_F(FrmMainTest, ShakeValuesBelowOneAreNotUsedAtStartNorBySetters) {
  TIniFile(SettingsFilePath()).WriteInteger(L"Setting", L"ShakeSpeed", -5);
  TIniFile(SettingsFilePath()).WriteInteger(L"Setting", L"ShakeTime", 0);
  Open();
  // A speed of -5 would take a still pointer for a swing: the launcher would come back
  // the moment it is hidden.
  EXPECT_EQ(form->Shake().shakeSpeed, 40);
  EXPECT_EQ(form->Shake().shakeTime, 9);
  form->SetShakeSpeed(-5);
  form->SetShakeSpeed(0);
  form->SetShakeTime(-3);
  EXPECT_EQ(form->Shake().shakeSpeed, 40);
  EXPECT_EQ(form->Shake().shakeTime, 9);
  form->SetShakeSpeed(55);
  form->SetShakeTime(12);
  EXPECT_EQ(form->Shake().shakeSpeed, 55);
  EXPECT_EQ(form->Shake().shakeTime, 12);
}

TEST_F(FrmMainTest, TheWatchToggleMovesCheckAndTimerTogetherAndWritesNothing) {
  TIniFile(SettingsFilePath()).WriteBool(L"Setting", L"IsUseShake", false);
  Open();
  EXPECT_FALSE(form->PopupMenu2().Checked(0));
  EXPECT_FALSE(form->Timer1Enabled()) << "IsUseShake off: no watch";
  std::string before = test::ReadBytes(SettingsFilePath());
  form->mnuMouseMoveClick();
  EXPECT_TRUE(form->PopupMenu2().Checked(0));
  EXPECT_TRUE(form->Timer1Enabled());
  form->mnuMouseMoveClick();
  EXPECT_FALSE(form->Timer1Enabled());
  EXPECT_EQ(test::ReadBytes(SettingsFilePath()), before);
}

using test::Free;

// The texts users write in the file: the spellings they use are read, and a text that
// cannot be the key falls back to the default with one message instead of leaving no key
// or taking a plain key from every program.
TEST_F(FrmMainTest, AStoredHotKeyTextIsReadAsUsersWriteItOrFallsBackToTheDefaultOnce) {
  struct Case {
    const char* lines;
    const wchar_t* show;  // the show key in force after the start
    const wchar_t* said;  // in the one message, or nothing when none is shown
  };
  const Case cases[] = {
      {"ShowHotKey=Win+Space\r\n", L"Windows+Space", nullptr},
      {"ShowHotKey=control + alt + k\r\n", L"Alt+Ctrl+K", nullptr},
      {"ShowHotKey=Space\r\n", L"Windows+Space", L"ホットキー「Space」では、ほかのプログラムで"},
      {"ShowHotKey=Shift+A\r\n", L"Windows+Space", L"ホットキー「Shift+A」では"},
      {"ShowHotKey=F1+Space\r\n", L"Windows+Space", L"ホットキー「F1+Space」にはキーが2つあります"},
      {"ShowHotKey=Ctrl+Spce\r\nHideHotKey=Ctrl+Alt+Foo\r\n", L"Windows+Space", L"「Spce」はキーの名前ではありません"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines);
    test::WriteBytes(SettingsFilePath(), std::string("[Setting]\r\n") + c.lines);
    const std::string before = test::ReadBytes(SettingsFilePath());
    test::MessageBoxCatcher boxes;
    Open();
    EXPECT_EQ(form->WaitHotKey().HotKey(), c.show);
    EXPECT_TRUE(Free(0, VK_SPACE)) << "a plain Space is every program's";
    EXPECT_TRUE(Free(MOD_SHIFT, 'A'));
    EXPECT_EQ(Free(MOD_WIN, VK_SPACE), c.show != std::wstring(L"Windows+Space"));
    const bool bothRefused = std::string(c.lines).find("Foo") != std::string::npos;
    ASSERT_EQ(boxes.Seen().size(), c.said ? (bothRefused ? 2u : 1u) : 0u);
    if (c.said) {
      EXPECT_NE(boxes.Seen()[0].text.find(c.said), std::wstring::npos) << WideToUtf8(boxes.Seen()[0].text);
      EXPECT_NE(boxes.Seen()[0].text.find(L"代わりに「Windows+Space」を使います"), std::wstring::npos);
    }
    if (bothRefused) {
      EXPECT_NE(boxes.Seen()[1].text.find(L"「Foo」"), std::wstring::npos);
      EXPECT_EQ(form->WaitHotKey1().HotKey(), L"ESC") << "the hide key's default";
    }
    form.reset();
    EXPECT_EQ(test::ReadBytes(SettingsFilePath()).substr(0, before.size()), before) << "the user's text stays";
  }
}

TEST_F(FrmMainTest, AHotKeyTextThatCannotBeTheKeyChangesNothing) {
  test::WriteBytes(SettingsFilePath(), "[Setting]\r\nShowHotKey=Ctrl+Alt+K\r\nHideHotKey=Ctrl+Alt+J\r\n");
  Open();
  for (const wchar_t* text : {L"Ctrl+Spce", L"Space", L"", L"Ctrl+", L"(なし)", L"Ctrl+A+B"}) {
    EXPECT_THROW(form->SetShowHotKey(text), EWaitHotKey_Text) << WideToUtf8(text);
    EXPECT_EQ(form->WaitHotKey().HotKey(), L"Alt+Ctrl+K");
    EXPECT_FALSE(Free(MOD_CONTROL | MOD_ALT, 'K')) << "the key in force stays";
  }
  EXPECT_THROW(form->SetHideHotKey(L"Ctrl+NoSuchKey"), EWaitHotKey_Text);
  EXPECT_EQ(form->WaitHotKey1().HotKey(), L"Alt+Ctrl+J");
  EXPECT_FALSE(Free(MOD_CONTROL | MOD_ALT, 'J'));
  // A hide key that types acts in the launcher only, with Shift as well.
  EXPECT_NO_THROW(form->SetHideHotKey(L"Shift+A"));
  EXPECT_TRUE(Free(MOD_SHIFT, 'A')) << "Shift+A stays every program's";
  EXPECT_TRUE(Free(MOD_CONTROL | MOD_ALT, 'J'));
  EXPECT_NO_THROW(form->SetHideHotKey(L"Shift+F5"));
  EXPECT_FALSE(Free(MOD_SHIFT, VK_F5)) << "a key that types nowhere stays system-wide";
}

// A pointer at rest costs no wake-ups: the watch stops sampling and raw input wakes it
// on the next move of the mouse (moved here through the input stream, as a mouse does).
TEST_F(FrmMainTest, TheWatchSleepsWhileThePointerRestsAndTheNextMouseMoveWakesIt) {
  SetCursorPos(200, 200);
  Open();
  ASSERT_TRUE(form->Timer1Enabled());
  EXPECT_TRUE(test::PumpUntil([&] { return form->Timer1Resting(); }, 2000)) << "asleep at rest";
  auto move = [](int dx) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = dx;
    in.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &in, sizeof in);
  };
  move(7);
  EXPECT_TRUE(test::PumpUntil([&] { return !form->Timer1Resting(); }, 2000)) << "a move wakes it";
  EXPECT_TRUE(form->Timer1Enabled());
  EXPECT_TRUE(test::PumpUntil([&] { return form->Timer1Resting(); }, 2000)) << "and it sleeps again";

  form->mnuMouseMoveClick();  // off while asleep: no raw input is left asked for
  EXPECT_FALSE(form->Timer1Enabled());
  EXPECT_FALSE(form->Timer1Resting());
  move(-7);
  test::Pump(150);
  EXPECT_FALSE(form->Timer1Resting());
  form->mnuMouseMoveClick();
  EXPECT_TRUE(form->Timer1Enabled());
  EXPECT_TRUE(test::PumpUntil([&] { return form->Timer1Resting(); }, 2000));
}

// A page waits with its buttons (windows, icons) until its tab is first selected; one
// never shown never writes, and one shown late counts, saves and sizes as any other.
TEST_F(FrmMainTest, APageIsBuiltWhenItsTabIsFirstSelectedAndWritesNothingBefore) {
  test::TempDir dir;
  const auto dropped = dir / "late.txt";
  test::WriteBytes(dropped, "x");
  test::WriteBytes(SettingsFilePath(),
                   "[General]\r\nPageNum=3\r\n"
                   "[Page1]\r\nLive=1\r\nName=One\r\nYoko=2\r\nTate=1\r\nBtnW=40\r\nBtnH=40\r\n"
                   "[Page2]\r\nLive=1\r\nName=Two\r\nYoko=999\r\nBtnFP1=C:\\two.exe\r\n"
                   "[Page3]\r\nLive=1\r\nName=Three\r\nYoko=3\r\nTate=1\r\nBtnW=50\r\nBtnH=50\r\n"
                   "BtnFP2=C:\\three.exe\r\nBtnName2=three\r\n");
  Open();
  ASSERT_EQ(PageNumbers(*form), (std::vector<std::int32_t>{1, 2, 3}));
  TPage& one = *form->PageList()[0];
  TPage& two = *form->PageList()[1];
  TPage& three = *form->PageList()[2];
  EXPECT_TRUE(one.Built());
  EXPECT_EQ(one.BtnCount(), 2);
  EXPECT_FALSE(two.Built());
  EXPECT_FALSE(three.Built());
  EXPECT_EQ(three.BtnCount(), 0) << "no windows for a page nobody has looked at";
  EXPECT_EQ(form->Base().Sheet(2).Caption(), L"Three") << "its tab is there all the same";
  {
    // Changed in the file meanwhile: the page is built from the file as it is now.
    TIniFile file(SettingsFilePath());
    file.WriteString(L"Page3", L"Name", L"Drei");
    file.WriteInteger(L"Page3", L"Yoko", 4);
    file.WriteInteger(L"Page3", L"BtnW", 60);
  }

  form->Base().SetActivePageIndex(2);
  form->BaseChange();  // as a click on the tab does
  ASSERT_TRUE(three.Built());
  EXPECT_EQ(three.PageName(), L"Drei");
  EXPECT_EQ(three.BtnCount(), 4);
  EXPECT_EQ(three.Button(2)->FullPath(), L"C:\\three.exe");
  EXPECT_EQ(three.CountRegistered(), 1);
  RECT client;
  GetClientRect(form->Handle(), &client);
  EXPECT_EQ(client.right, 240);
  EXPECT_EQ(client.bottom, 50 + 19);
  test::SendDrop(three.Button(1)->Handle(), {dropped.wstring()});
  EXPECT_EQ(TIniFile(SettingsFilePath()).ReadString(L"Page3", L"BtnFP1", L""), dropped.wstring());

  form.reset();  // exit: the live pages write their buttons and headers
  TIniFile file(SettingsFilePath());
  EXPECT_EQ(file.ReadString(L"Page2", L"Yoko", L""), L"999") << "a page never built wrote its header";
  EXPECT_EQ(file.ReadString(L"Page2", L"BtnName1", L"<none>"), L"<none>") << "or its buttons";
  EXPECT_EQ(file.ReadString(L"Page3", L"BtnName2", L""), L"three");
  EXPECT_EQ(file.ReadString(L"Page3", L"BtnFP1", L""), dropped.wstring());
}

TEST_F(FrmMainTest, ClosingHidesAndTheDeleteButtonCommandNeedsAPressedButton) {
  Open();
  SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(form->Handle()));
  EXPECT_FALSE(IsWindowVisible(form->Handle()));
  std::string before = test::ReadBytes(SettingsFilePath());
  form->D1Click();  // no button pressed yet: no question, no change
  EXPECT_EQ(test::ReadBytes(SettingsFilePath()), before);
}

TEST_F(FrmMainTest, SystemCommandOneClosesAndALogOffSavesAndStopsTheWatch) {
  Open();
  SendMessageW(form->Handle(), WM_SYSCOMMAND, 1, 0);
  EXPECT_FALSE(IsWindowVisible(form->Handle())) << "code 1 closes, and closing hides";
  ASSERT_TRUE(form->Timer1Enabled());
  SetWindowPos(form->Handle(), nullptr, 150, 230, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(SendMessageW(form->Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  EXPECT_FALSE(form->Timer1Enabled()) << "the mouse watch stops at log-off";
  TIniFile file(SettingsFilePath());
  EXPECT_EQ(file.ReadInteger(L"General", L"PageNum", -1), 1);
  EXPECT_EQ(file.ReadInteger(L"General", L"FormLeft", -1), 150) << "the window's left";
  EXPECT_EQ(file.ReadInteger(L"General", L"FormTop", -1), 230) << "the window's top";
  EXPECT_EQ(file.ReadString(L"Page1", L"WD5", L"<none>"), L"<none>") << "nothing the user left alone";
}

TEST_F(FrmMainTest, NewPagesTakeTheNextNumberAndComeUpSelected) {
  Open();
  form->N2Click();
  EXPECT_EQ(form->Base().ActivePageIndex(), 1);
  form->N2Click();
  ASSERT_EQ(form->PageList().size(), 3u);
  EXPECT_EQ(form->PageList()[2]->PageNo(), 3);
  EXPECT_EQ(form->Base().ActivePageIndex(), 2) << "the page just made, ready for its first drop";
  EXPECT_TRUE(form->PageList()[2]->Built());
  EXPECT_EQ(form->PageList()[2]->Sheet().Caption(), L"NewPage");
  form.reset();  // exit: the page count is written, and no button nobody touched
  TIniFile file(SettingsFilePath());
  EXPECT_EQ(file.ReadInteger(L"General", L"PageNum", -1), 3);
  EXPECT_EQ(file.ReadString(L"Page3", L"BtnFP5", L"<none>"), L"<none>");
}

// The very first start (no settings file) says once, from the tray icon, where the
// launcher lives and which key calls it; a start with a file says nothing.
TEST_F(FrmMainTest, OnlyTheFirstStartSaysWhereTheLauncherLives) {
  ASSERT_FALSE(std::filesystem::exists(SettingsFilePath()));
  Open();
  ASSERT_TRUE(test::PumpUntil([&] { return form->CoolTrayIcon1().IconVisible(); }, 3000));
  const NOTIFYICONDATAW& said = form->CoolTrayIcon1().LastBalloon();
  EXPECT_TRUE(said.uFlags & NIF_INFO);
  EXPECT_EQ(said.dwInfoFlags, static_cast<DWORD>(NIIF_INFO | NIIF_NOSOUND)) << "the information sign, no sound";
  EXPECT_STREQ(said.szInfoTitle, L"Vantri Launch");
  EXPECT_STREQ(said.szInfo, FirstStartNote(L"Windows+Space").c_str());
  EXPECT_NE(std::wstring(said.szInfo).find(L"「環境設定」の「呼び出し」"), std::wstring::npos)
      << "Windows+Space also switches the input language: where to choose another key";
  form.reset();
  ASSERT_TRUE(std::filesystem::exists(SettingsFilePath()));
  Open();
  test::Pump(300);
  ASSERT_TRUE(form->CoolTrayIcon1().IconVisible());
  EXPECT_EQ(form->CoolTrayIcon1().LastBalloon().uFlags, 0u) << "the second start";

  // A second copy's call-up finds this launcher by its class and caption and shows it.
  form->CoolTrayIcon1().HideMainWindow();
  ASSERT_FALSE(IsWindowVisible(form->Handle()));
  ASSERT_TRUE(CallUpRunningLauncher());
  EXPECT_TRUE(test::PumpUntil([&] { return IsWindowVisible(form->Handle()) != FALSE; }, 3000));
  form.reset();
  EXPECT_FALSE(CallUpRunningLauncher()) << "none running: nothing to call";

  // A first start with the keys off names the icon, not a key.
  std::filesystem::remove(SettingsFilePath());
  {
    TIniFile(SettingsFilePath()).WriteBool(L"Setting", L"IsUseHotKey", false);
  }
  EXPECT_EQ(ShowKeyInFile(TIniFile(SettingsFilePath())), L"");
  EXPECT_EQ(FirstStartNote(L""), L"ランチャーは通知領域で動いています。通知領域のアイコンをダブルクリックすると表示します。");
  EXPECT_EQ(SecondStartNote(L"Alt+Ctrl+K"),
            L"二重起動はできません\n\nランチャーはすでに通知領域で動いています。Alt+Ctrl+K で呼び出せます。"
            L"\nこのメッセージを閉じると、動いているランチャーを表示します。");
  TIniFile(SettingsFilePath()).WriteBool(L"Setting", L"IsUseHotKey", true);
  TIniFile(SettingsFilePath()).WriteString(L"Setting", L"ShowHotKey", L"ctrl + alt + k");
  EXPECT_EQ(ShowKeyInFile(TIniFile(SettingsFilePath())), L"Alt+Ctrl+K") << "as the running copy writes it";
  TIniFile(SettingsFilePath()).WriteString(L"Setting", L"ShowHotKey", L"Spce");
  EXPECT_EQ(ShowKeyInFile(TIniFile(SettingsFilePath())), L"Windows+Space") << "nonsense reads as the default";
}

TEST_F(FrmMainTest, TheTrayTipNamesTheLauncherAndTheShowKeyWhileItCalls) {
  Open();
  EXPECT_EQ(form->CoolTrayIcon1().Hint(), L"Vantri Launch\nWindows+Space で表示");
  form->SetShowHotKey(L"Ctrl+Alt+K");
  EXPECT_EQ(form->CoolTrayIcon1().Hint(), L"Vantri Launch\nAlt+Ctrl+K で表示");
  form->ReleaseHotKeys();
  EXPECT_EQ(form->CoolTrayIcon1().Hint(), L"Vantri Launch") << "no key calls it now";
  form.reset();

  // A key another program holds is said at start, and the tip promises no key.
  test::WriteBytes(SettingsFilePath(), "[Setting]\r\nShowHotKey=Ctrl+Alt+Q\r\n");
  ASSERT_TRUE(RegisterHotKey(nullptr, 0xBFF2, MOD_CONTROL | MOD_ALT, 'Q'));
  {
    test::MessageBoxCatcher boxes;
    Open();
    EXPECT_EQ(boxes.Seen().size(), 1u);
  }
  UnregisterHotKey(nullptr, 0xBFF2);
  EXPECT_EQ(form->CoolTrayIcon1().Hint(), L"Vantri Launch");
  form.reset();

  test::WriteBytes(SettingsFilePath(), "[Setting]\r\nIsUseHotKey=0\r\n");
  Open();
  EXPECT_EQ(form->CoolTrayIcon1().Hint(), L"Vantri Launch") << "hot keys turned off";
}

TEST_F(FrmMainTest, TheSystemMenuOffersOnlyMoveAndClose) {
  Open();
  HMENU menu = GetSystemMenu(form->Handle(), FALSE);
  auto has = [menu](UINT command) { return GetMenuState(menu, command, MF_BYCOMMAND) != UINT(-1); };
  EXPECT_TRUE(has(SC_MOVE));
  EXPECT_TRUE(has(SC_CLOSE));
  // Wine adds an item of its own ("About Wine"), so the rest is checked by what is gone.
  for (UINT command : {SC_RESTORE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE}) EXPECT_FALSE(has(command)) << command;
}

TEST_F(FrmMainTest, TheDeleteQuestionsAreModalToTheLauncherAndFindTheirPageAgain) {
  test::WriteBytes(SettingsFilePath(),
                   "[General]\r\nPageNum=3\r\n[Setting]\r\nAskBeforeDelPage=0\r\n[Page1]\r\nLive=1\r\n"
                   "[Page2]\r\nLive=1\r\nBtnFP1=C:\\tools\\target.exe\r\nBtnName1=target\r\n"
                   "[Page3]\r\nLive=1\r\n");
  Open();
  ASSERT_EQ(PageNumbers(*form), (std::vector<std::int32_t>{1, 2, 3}));
  form->Base().SetActivePageIndex(1);
  form->BaseChange();  // as a click on the tab does
  // A right press makes the button the page's current one, as before its menu opens.
  SendMessageW(form->PageList()[1]->Button(1)->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, test::PointParam(5, 5));
  ReleaseCapture();

  HWND owner = nullptr, activeAfterShow = nullptr, focusAfterShow = nullptr, theBox = nullptr;
  BOOL launcherEnabled = TRUE;
  {
    WhileTheBoxIsUp user(
        [&](HWND box) {
          theBox = box;
          owner = GetWindow(box, GW_OWNER);
          launcherEnabled = IsWindowEnabled(form->Handle());
          // Called up meanwhile (the show key, the tray): the question stays in front and
          // keeps the keyboard, or Enter and Esc would go nowhere.
          form->Show1Click();
          activeAfterShow = GetActiveWindow();
          focusAfterShow = GetAncestor(GetFocus(), GA_ROOT);
          form->N3Click();  // page 2 goes while "delete this button?" is up
        },
        IDYES);
    form->D1Click();
    ASSERT_TRUE(user.Answered());
    EXPECT_EQ(user.Later(), 1) << "the user is told that nothing was deleted";
  }
  EXPECT_EQ(owner, form->Handle());
  EXPECT_FALSE(launcherEnabled);
  EXPECT_EQ(activeAfterShow, theBox) << "the launcher called up over its own question";
  EXPECT_EQ(focusAfterShow, theBox);
  EXPECT_TRUE(IsWindowEnabled(form->Handle()));
  EXPECT_EQ(PageNumbers(*form), (std::vector<std::int32_t>{1, 3}));
  EXPECT_EQ(form->Base().SheetCount(), 2) << "its tab went with it";
  TIniFile file(SettingsFilePath());
  EXPECT_FALSE(file.ReadBool(L"Page2", L"Live", true));
  EXPECT_EQ(file.ReadString(L"Page2", L"BtnFP1", L""), L"C:\\tools\\target.exe")
      << "the answer cleared nothing on a page that had gone";

  // Another window of ours, a dialog, is disabled under the page question too.
  test::TestForm dialog;
  file.WriteBool(L"Setting", L"AskBeforeDelPage", true);
  form->Base().SetActivePageIndex(1);
  form->BaseChange();  // as a click on the tab does
  BOOL dialogEnabled = TRUE;
  {
    WhileTheBoxIsUp user([&](HWND) { dialogEnabled = IsWindowEnabled(dialog.Handle()); }, IDNO);
    form->N3Click();
    ASSERT_TRUE(user.Answered());
  }
  EXPECT_FALSE(dialogEnabled);
  EXPECT_TRUE(IsWindowEnabled(dialog.Handle()));
  EXPECT_EQ(PageNumbers(*form), (std::vector<std::int32_t>{1, 3})) << "answered No";
}

TEST_F(FrmMainTest, ANewPageTakesANumberNoSectionHoldsAndWritesItAtOnce) {
  // Left by a run killed after a new page and a drop: "PageNum" never reached the file.
  test::WriteBytes(SettingsFilePath(),
                   "[General]\r\nPageNum=1\r\n[Page1]\r\nLive=1\r\n"
                   "[Page2]\r\nLive=1\r\nName=NewPage\r\nBtnFP1=C:\\lost\\old.exe\r\n");
  Open();
  ASSERT_EQ(PageNumbers(*form), (std::vector<std::int32_t>{1}));
  form->N2Click();
  ASSERT_EQ(PageNumbers(*form), (std::vector<std::int32_t>{1, 3}));
  EXPECT_EQ(form->PageList()[1]->Button(1)->FullPath(), L"");
  EXPECT_EQ(TIniFile(SettingsFilePath()).ReadInteger(L"General", L"PageNum", -1), 3)
      << "in the file before any exit";
}

TEST_F(FrmMainTest, StartUpTakesThePagesFromTheFilesSectionsWhateverPageNumSays) {
  test::WriteBytes(SettingsFilePath(),
                   "[General]\r\nPageNum=2147483647\r\n[Page9]\r\nLive=1\r\n[page1]\r\nLive=1\r\n"
                   "[Page3]\r\nLive=0\r\n[Page5]\r\nLive=1\r\n[Page7]\r\nName=NoLiveKey\r\n");
  Open();
  EXPECT_EQ(PageNumbers(*form), (std::vector<std::int32_t>{1, 5, 9}));
  test::MessageBoxCatcher boxes;
  form->Base().SetActivePageIndex(1);
  form->N2Click();  // no number is left
  EXPECT_EQ(form->Base().ActivePageIndex(), 1) << "no page made, none selected";
  ASSERT_EQ(boxes.Seen().size(), 1u);
  EXPECT_EQ(boxes.Seen()[0].text, L"これ以上ページを作成できません");
  EXPECT_EQ(PageNumbers(*form), (std::vector<std::int32_t>{1, 5, 9}));
  EXPECT_EQ(TIniFile(SettingsFilePath()).ReadInteger(L"General", L"PageNum", -1), INT32_MAX);
}

// A sync tool or a virus scanner holds the file, unshared, while the launcher starts and
// lets go later. Whatever the launcher shows meanwhile came from no read of the file and
// is never written over it; once the file reads, the launcher takes it up as a start.
TEST_F(FrmMainTest, AFileHeldAtStartIsNeverOverwrittenAndIsTakenUpOnceItReads) {
  const std::string stored =
      "[General]\r\nPageNum=2\r\nFormTop=130\r\nFormLeft=160\r\n[Setting]\r\nIsUseHotKey=0\r\n"
      "[Page1]\r\nLive=1\r\nName=One\r\nYoko=3\r\nTate=1\r\nBtnW=40\r\nBtnH=40\r\n"
      "BtnFP1=C:\\tools\\one.exe\r\nBtnName1=one\r\n"
      "[Page2]\r\nLive=1\r\nName=Two\r\nYoko=2\r\nTate=1\r\nBtnW=40\r\nBtnH=40\r\n";
  const std::filesystem::path ini = SettingsFilePath();
  test::TempDir dir;
  const auto dropped = dir / "two.txt";
  test::WriteBytes(dropped, "x");
  for (bool waitForIt : {false, true}) {
    SCOPED_TRACE(waitForIt ? "taken up before the exit" : "the exit right after the file is let go");
    test::WriteBytes(ini, stored);
    {
      auto holder = std::make_unique<test::FileHolder>(ini);
      ASSERT_TRUE(holder->Holding());
      test::MessageBoxCatcher boxes;
      Open();
      ASSERT_EQ(boxes.Seen().size(), 1u);
      EXPECT_NE(boxes.Seen()[0].text.find(L"を読めません"), std::wstring::npos) << "the user is told";
      EXPECT_FALSE(form->TakenUp());
      ASSERT_EQ(form->PageList().size(), 1u) << "a stand-in page to look at";
      // The dialogs opened meanwhile show defaults, not the user's settings and page.
      TfrmSetting setting(*form);
      TfrmPageOption pageOption(*form);
      form->SetDialogs(nullptr, &pageOption, nullptr, &setting);
      form->SettingClick();
      form->N5Click();
      holder.reset();
      if (waitForIt) {
        ASSERT_TRUE(test::PumpUntil([&] { return form->TakenUp(); }, 3000));
        EXPECT_TRUE(boxes.Seen().size() == 1u) << "taken up without a word";
        EXPECT_FALSE(setting.Visible()) << "filled from defaults, it goes";
        EXPECT_FALSE(pageOption.Visible());
      } else {
        EXPECT_TRUE(setting.cbUseHotKey.Checked()) << "the default";
        SendMessageW(setting.btnOk.Handle(), BM_CLICK, 0, 0);
        EXPECT_FALSE(setting.cbUseHotKey.Checked()) << "refused, and filled from the file that reads now";
        pageOption.lbeName.SetText(L"Mine");  // as the user completes what the defaults left
        pageOption.spnYoko.SetValue(4);
        pageOption.spnTate.SetValue(1);
        pageOption.spnWidth.SetValue(40);
        pageOption.spnHeight.SetValue(40);
        SendMessageW(pageOption.Button2.Handle(), BM_CLICK, 0, 0);
        ASSERT_EQ(boxes.Seen().size(), 3u);
        EXPECT_NE(boxes.Seen()[1].text.find(L"に書き込めません"), std::wstring::npos);
        EXPECT_NE(boxes.Seen()[2].text.find(L"に書き込めません"), std::wstring::npos);
      }
      form->SetDialogs(nullptr, nullptr, nullptr, nullptr);
    }
    if (waitForIt) {
      EXPECT_EQ(PageNumbers(*form), (std::vector<std::int32_t>{1, 2}));
      EXPECT_EQ(form->Base().Sheet(0).Caption(), L"One");
      EXPECT_EQ(form->PageList()[0]->Button(1)->FullPath(), L"C:\\tools\\one.exe");
      RECT r;
      GetWindowRect(form->Handle(), &r);
      EXPECT_EQ(r.left, 160);
      EXPECT_EQ(r.top, 130);
      test::SendDrop(form->PageList()[0]->Button(2)->Handle(), {dropped.wstring()});
    }
    form.reset();
    // Nothing written from what the failed reads gave (a page shown again once the file
    // read may write back what it read), and what the user did after it read.
    TIniFile file(ini);
    EXPECT_EQ(file.ReadString(L"Page1", L"BtnFP1", L""), L"C:\\tools\\one.exe");
    EXPECT_EQ(file.ReadString(L"Page1", L"BtnFP2", L""), waitForIt ? dropped.wstring() : L"");
    EXPECT_EQ(file.ReadString(L"Page1", L"Name", L""), L"One") << "from the page dialog";
    EXPECT_EQ(file.ReadString(L"Setting", L"ShakeTime", L"none"), L"none") << "from the settings dialog";
    EXPECT_EQ(file.ReadInteger(L"General", L"PageNum", -1), 2);
    EXPECT_EQ(file.ReadInteger(L"General", L"FormLeft", -1), 160);
    EXPECT_EQ(file.ReadInteger(L"General", L"FormTop", -1), 130);
    EXPECT_TRUE(file.ReadBool(L"Page2", L"Live", false));
  }
}

// The delete question runs a message loop of its own: the stand-in page of a file held at
// start is taken over meanwhile by the real page 1. The answer is for the button the user
// was asked about, which is gone: nothing is deleted, and the user is told. Until then the
// stand-in is built once, not at every key.
TEST_F(FrmMainTest, AnAnswerActsOnTheButtonItAskedAboutOrOnNothing) {
  const std::filesystem::path ini = SettingsFilePath();
  test::WriteBytes(ini, "[General]\r\nPageNum=1\r\n[Setting]\r\nIsUseHotKey=0\r\n"
                        "[Page1]\r\nLive=1\r\nName=One\r\nYoko=3\r\nTate=1\r\nBtnW=40\r\nBtnH=40\r\n"
                        "BtnFP1=C:\\tools\\one.exe\r\nBtnName1=one\r\n");
  auto holder = std::make_unique<test::FileHolder>(ini);
  ASSERT_TRUE(holder->Holding());
  test::MessageBoxCatcher boxes;
  Open();
  ASSERT_FALSE(form->TakenUp());
  TPage& standIn = *form->PageList()[0];
  const TWindow::Life first = standIn.Button(1)->Watch();
  for (UINT key : {VK_RIGHT, VK_LEFT, VK_END}) {
    PostMessageW(GetFocus() ? GetFocus() : form->Handle(), WM_KEYDOWN, key, 0);
    app.ProcessMessages();
  }
  form->BaseChange();
  EXPECT_TRUE(first.Alive()) << "the stand-in page was built again";
  SendMessageW(standIn.Button(1)->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, test::PointParam(5, 5));
  ReleaseCapture();
  bool takenUpMeanwhile = false;
  boxes.OnBox = [&](const test::SeenBox& box) {
    if (box.text.find(L"削除してよろしいですか") == std::wstring::npos) return;
    holder.reset();
    takenUpMeanwhile = test::PumpUntil([&] { return form->TakenUp(); }, 3000);
  };
  form->D1Click();  // answered with its first button, はい
  ASSERT_TRUE(takenUpMeanwhile);
  ASSERT_EQ(boxes.Seen().size(), 3u);
  EXPECT_NE(boxes.Seen()[2].text.find(L"削除しませんでした"), std::wstring::npos) << "the user is told";
  EXPECT_EQ(form->PageList()[0]->Button(1)->FullPath(), L"C:\\tools\\one.exe");
  form.reset();
  EXPECT_EQ(TIniFile(ini).ReadString(L"Page1", L"BtnFP1", L""), L"C:\\tools\\one.exe") << "the real button wiped";
}

// A write the file refuses changes nothing: the button stays bound on the screen and in
// memory, so that no later save of the page (a drop on another button) empties it behind
// the user's back.
TEST_F(FrmMainTest, ADeleteTheFileRefusedNeverTakesEffectLater) {
  const std::filesystem::path ini = SettingsFilePath();
  test::WriteBytes(ini, "[General]\r\nPageNum=1\r\n[Setting]\r\nIsUseHotKey=0\r\nAskBeforeDelBtn=0\r\n"
                        "[Page1]\r\nLive=1\r\nName=One\r\nYoko=3\r\nTate=1\r\nBtnW=40\r\nBtnH=40\r\n"
                        "BtnFP1=C:\\tools\\one.exe\r\nBtnName1=one\r\n");
  test::TempDir dir;
  const auto dropped = dir / "three.txt";
  test::WriteBytes(dropped, "x");
  Open();
  TPage& page = *form->PageList()[0];
  SendMessageW(page.Button(1)->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, test::PointParam(5, 5));
  ReleaseCapture();
  {
    test::FileHolder holder(ini);
    ASSERT_TRUE(holder.Holding());
    EXPECT_THROW(form->D1Click(), EIniWriteError);
  }
  EXPECT_EQ(page.Button(1)->FullPath(), L"C:\\tools\\one.exe");
  EXPECT_TRUE(page.Button(1)->Regist());
  EXPECT_EQ(page.Button(1)->Caption(), L"one");
  test::SendDrop(page.Button(3)->Handle(), {dropped.wstring()});
  form.reset();
  TIniFile file(ini);
  EXPECT_EQ(file.ReadString(L"Page1", L"BtnFP1", L""), L"C:\\tools\\one.exe") << "the refused delete came later";
  EXPECT_EQ(file.ReadString(L"Page1", L"BtnFP3", L""), dropped.wstring());
}

// A search holds button numbers: a swap by dragging, a drop and the button dialog's OK each
// find it again over the buttons as they are then, so that its hits, its marks and Enter
// follow the names, never the places where they were.
TEST_F(FrmMainTest, ASearchFollowsAButtonThatChangesItsPlaceNameOrTarget) {
  test::TempDir dir;
  const auto dropped = dir / "fit.txt";
  test::WriteBytes(dropped, "x");
  test::WriteBytes(SettingsFilePath(),
                   "[General]\r\nPageNum=1\r\n[Setting]\r\nIsUseHotKey=0\r\n"
                   "[Page1]\r\nLive=1\r\nName=One\r\nYoko=3\r\nTate=1\r\nBtnW=40\r\nBtnH=40\r\n"
                   "BtnFP1=C:\\tools\\first.exe\r\nBtnName1=first\r\n"
                   "BtnFP2=C:\\tools\\second.exe\r\nBtnName2=second\r\n");
  Open();
  TfrmBtnOption dialog(*form);
  form->SetDialogs(&dialog, nullptr, nullptr);
  TPage& page = *form->PageList()[0];
  auto key = [&](UINT msg, WPARAM code) {
    PostMessageW(GetFocus() ? GetFocus() : form->Handle(), msg, code, 0);
    app.ProcessMessages();
  };
  auto hits = [&] {
    std::vector<std::int32_t> at;
    for (const SearchHit& hit : form->Search().Hits()) at.push_back(hit.btnIndex);
    return at;
  };
  auto marked = [&] {
    std::vector<std::int32_t> at;
    for (std::int32_t i = 1; i <= page.BtnCount(); ++i)
      if (page.Button(i)->Marked()) at.push_back(i);
    return at;
  };
  key(WM_CHAR, L'f');
  key(WM_CHAR, L'i');
  ASSERT_EQ(hits(), (std::vector<std::int32_t>{1}));

  RECT to;
  GetWindowRect(page.Button(2)->Handle(), &to);
  static_cast<TPageHost&>(*form).DropButton(page, 1, POINT{(to.left + to.right) / 2, (to.top + to.bottom) / 2});
  ASSERT_EQ(page.Button(2)->BtnName(), L"first") << "the swap";
  EXPECT_EQ(hits(), (std::vector<std::int32_t>{2})) << "after a swap";
  EXPECT_EQ(marked(), (std::vector<std::int32_t>{2}));
  EXPECT_EQ(form->SearchLine(), L"検索: fi  1/1");
  key(WM_KEYDOWN, VK_DOWN);
  EXPECT_EQ(GetFocus(), page.Button(2)->Handle()) << "Enter would open what stands where the hit was";

  test::SendDrop(page.Button(3)->Handle(), {dropped.wstring()});
  EXPECT_EQ(hits(), (std::vector<std::int32_t>{2, 3})) << "after a drop";
  EXPECT_EQ(marked(), (std::vector<std::int32_t>{2, 3}));

  page.SetCurrentBtn(1);
  form->N4Click();
  ASSERT_TRUE(dialog.Visible());
  dialog.lbeName.SetText(L"fifth");
  dialog.BtnOkClick();
  ASSERT_EQ(page.Button(1)->BtnName(), L"fifth");
  EXPECT_EQ(hits(), (std::vector<std::int32_t>{1, 2, 3})) << "after a rename";
  EXPECT_EQ(marked(), (std::vector<std::int32_t>{1, 2, 3}));
  EXPECT_EQ(form->SearchLine(), L"検索: fi  1/3");
  form->SetDialogs(nullptr, nullptr, nullptr);
}

// The search line is a live region for screen readers, but a session without any
// accessibility client never loads the library that makes it one.
TEST_F(FrmMainTest, ASearchWithoutAScreenReaderLeavesTheAccessibilityLibraryUnloaded) {
  test::WriteBytes(SettingsFilePath(),
                   "[General]\r\nPageNum=1\r\n[Setting]\r\nIsUseHotKey=0\r\n"
                   "[Page1]\r\nLive=1\r\nName=One\r\nYoko=2\r\nTate=1\r\nBtnW=40\r\nBtnH=40\r\n"
                   "BtnFP1=C:\\tools\\memo.exe\r\nBtnName1=memo\r\n");
  Open();
  ASSERT_EQ(GetModuleHandleW(L"oleacc.dll"), nullptr) << "loaded at start, or by an earlier search of this process";
  for (WPARAM c : {L'm', L'x'}) {
    PostMessageW(GetFocus() ? GetFocus() : form->Handle(), WM_CHAR, c, 0);
    app.ProcessMessages();
  }
  ASSERT_EQ(form->SearchLine(), L"検索: mx  見つかりません");
  EXPECT_EQ(GetModuleHandleW(L"oleacc.dll"), nullptr) << "loaded by the search line";
}

TEST_F(FrmMainTest, APageThatCannotBeBuiltLeavesNoTabAndItsNumberIsNotGivenAgain) {
  Open();
  {
    RefuseWindow limit(L"TBitBtn", 3);  // the third button of the new page
    EXPECT_THROW(form->N2Click(), EVantriError);
  }
  EXPECT_EQ(form->Base().SheetCount(), 1);
  EXPECT_EQ(PageNumbers(*form), (std::vector<std::int32_t>{1}));
  form->N2Click();
  EXPECT_EQ(PageNumbers(*form), (std::vector<std::int32_t>{1, 3}));
  EXPECT_EQ(form->Base().SheetCount(), 2);
  EXPECT_EQ(form->Base().Sheet(1).Tag(), 3);
}

TEST_F(FrmMainTest, ALogOffIsNeverRefusedByAFailedSaveAndACancelledOneRestartsTheWatch) {
  Open();
  const std::filesystem::path ini = SettingsFilePath();
  const std::string before = test::ReadBytes(ini);
  ASSERT_TRUE(SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_READONLY));
  {
    test::MessageBoxCatcher boxes;
    EXPECT_EQ(SendMessageW(form->Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    EXPECT_TRUE(boxes.Seen().empty()) << "no box during a log-off";
  }
  EXPECT_FALSE(form->Timer1Enabled());
  EXPECT_EQ(test::ReadBytes(ini), before);
  SendMessageW(form->Handle(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
  EXPECT_TRUE(form->Timer1Enabled()) << "the log-off was cancelled: the watch runs again";
  SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_NORMAL);

  form->mnuMouseMoveClick();  // the watch off by the user
  SendMessageW(form->Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
  SendMessageW(form->Handle(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
  EXPECT_FALSE(form->Timer1Enabled());
}

RECT WorkAreaOf(HWND window) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
  return monitor.rcWork;
}

::testing::AssertionResult InsideWorkArea(HWND window) {
  RECT r, work = WorkAreaOf(window);
  GetWindowRect(window, &r);
  if (r.left >= work.left && r.top >= work.top && r.right <= work.right && r.bottom <= work.bottom)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "window " << r.left << "," << r.top << "-" << r.right << "," << r.bottom
                                       << " outside " << work.right << "x" << work.bottom;
}

// Three ticks of the mouse watch with the pointer swung left, right, left.
void Shake(TfrmMain& form, int x, int y) {
  for (int dx : {0, -60, 0, -60}) {
    SetCursorPos(x + dx, y);
    // While the resting watch asks for raw input, Wine reports the new place a moment late.
    test::PumpUntil([&] {
      POINT at;
      GetCursorPos(&at);
      return at.x == x + dx && at.y == y;
    }, 1000);
    form.Timer1Timer();
  }
}

TEST_F(FrmMainTest, TheWindowIsNeverShownOutsideTheWorkArea) {
  // Stored on a monitor that has since gone.
  test::WriteBytes(SettingsFilePath(), "[General]\r\nFormLeft=-3000\r\nFormTop=5000\r\n");
  Open();
  ASSERT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_TRUE(InsideWorkArea(form->Handle())) << "at start";
  form->Hide1Click();
  SetWindowPos(form->Handle(), nullptr, 4000, -2000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  form->Show1Click();
  EXPECT_TRUE(InsideWorkArea(form->Handle())) << "shown from the tray menu";
  form->Hide1Click();
  RECT work = WorkAreaOf(form->Handle());
  Shake(*form, work.right - 5, work.bottom - 5);  // at the corner of the screen
  ASSERT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_TRUE(InsideWorkArea(form->Handle())) << "called up by the gesture";
  RECT shown;
  GetWindowRect(form->Handle(), &shown);
  form.reset();
  TIniFile file(SettingsFilePath());
  EXPECT_EQ(file.ReadInteger(L"General", L"FormLeft", -1), shown.left) << "saved at exit where it stood";
  EXPECT_EQ(file.ReadInteger(L"General", L"FormTop", -1), shown.top);
}

TEST_F(FrmMainTest, AShowKeyHeldElsewhereCostsNeitherTheHideKeyNorTheRestOfTheStart) {
  test::WriteBytes(SettingsFilePath(),
                   "[Setting]\r\nShowHotKey=Ctrl+Alt+F12\r\nHideHotKey=Ctrl+Alt+F11\r\n");
  // Another holder of the show key (hot keys are one per combination, system-wide).
  ASSERT_TRUE(RegisterHotKey(nullptr, 0x7001, MOD_CONTROL | MOD_ALT, VK_F12));
  test::MessageBoxCatcher boxes;
  Open();
  UnregisterHotKey(nullptr, 0x7001);
  ASSERT_EQ(boxes.Seen().size(), 1u);
  EXPECT_EQ(boxes.Seen()[0].text, L"ホットキーが登録できません(Alt+Ctrl+F12)");
  EXPECT_FALSE(RegisterHotKey(nullptr, 0x7002, MOD_CONTROL | MOD_ALT, VK_F11)) << "the hide key is the launcher's";
  UnregisterHotKey(nullptr, 0x7002);
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_EQ(form->PageList().size(), 1u);
}

TEST_F(FrmMainTest, TheLauncherComesBackWithTheFocusOnTheLastPressedButton) {
  Open();
  HWND third = form->PageList()[0]->Button(3)->Handle();
  SendMessageW(third, WM_LBUTTONDOWN, MK_LBUTTON, test::PointParam(5, 5));
  SendMessageW(third, WM_LBUTTONUP, 0, test::PointParam(5, 5));  // an empty button: nothing opens
  form->Hide1Click();
  SetFocus(nullptr);
  Shake(*form, 500, 400);
  ASSERT_TRUE(IsWindowVisible(form->Handle())) << "the gesture";
  EXPECT_EQ(GetFocus(), third) << "Space or Enter now presses the button last pressed";
  SetFocus(form->Handle());
  test::Pump(100);
  form->CoolTrayIcon1().OnClick(form->CoolTrayIcon1());
  EXPECT_EQ(GetFocus(), third) << "a single click on the tray icon";
  // Another window takes the front and gives it back, as Alt+Tab or a click on the frame,
  // while the keyboard was on the window itself (as when its button went meanwhile).
  SetFocus(form->Handle());
  const UniqueWindow other = test::ActivateOtherWindow();
  ASSERT_TRUE(other);
  ASSERT_EQ(GetActiveWindow(), other.get());
  SetActiveWindow(form->Handle());
  EXPECT_EQ(GetFocus(), third) << "activated again";
}

// The page menu as the user opens it on button `index` of page `page` (the first tab
// unless said): a right press and release (the release makes the context menu), closed
// again as soon as it shows; what the menu showed stays in its items. False when no menu
// showed.
bool OpenPageMenuOn(TfrmMain& form, int index, std::size_t page = 0) {
  static bool seen;
  seen = false;
  HWND button = form.PageList()[page]->Button(index)->Handle();
  UINT_PTR closer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
    HWND menu = FindWindowW(L"#32768", nullptr);
    if (!menu || !IsWindowVisible(menu)) return;
    seen = true;
    PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  });
  SendMessageW(button, WM_RBUTTONDOWN, MK_RBUTTON, test::PointParam(5, 5));
  SendMessageW(button, WM_RBUTTONUP, 0, test::PointParam(5, 5));
  KillTimer(nullptr, closer);
  return seen;
}

bool ItemEnabled(const TPopupMenu& menu, const wchar_t* caption) {
  for (int i = 0; i < menu.Count(); ++i) {
    if (menu.Caption(i) == caption) return !(GetMenuState(menu.Handle(), i, MF_BYPOSITION) & MF_GRAYED);
  }
  ADD_FAILURE() << "no item " << WideToUtf8(caption);
  return false;
}

// The first tab is never deleted: its item is greyed there, and the command from the
// keyboard or the menu of another moment says why.
TEST_F(FrmMainTest, ThePageDeleteItemIsGreyedOnTheFirstPageOnly) {
  test::WriteBytes(SettingsFilePath(), "[General]\r\nPageNum=2\r\n[Setting]\r\nAskBeforeDelPage=0\r\n[Page1]\r\nLive=1\r\n"
                                       "[Page2]\r\nLive=1\r\nName=二\r\n");
  Open();
  ASSERT_TRUE(OpenPageMenuOn(*form, 1));
  EXPECT_FALSE(ItemEnabled(form->PopupMenu1(), L"ページの削除"));
  form->Base().SetActivePageIndex(1);
  form->BaseChange();
  ASSERT_TRUE(OpenPageMenuOn(*form, 1, 1));
  EXPECT_TRUE(ItemEnabled(form->PopupMenu1(), L"ページの削除")) << "on the second page";

  form->Base().SetActivePageIndex(0);
  test::MessageBoxCatcher boxes;
  form->N3Click();
  ASSERT_EQ(boxes.Seen().size(), 1u);
  EXPECT_EQ(boxes.Seen()[0].text, kFirstPageStays);
  EXPECT_EQ(form->PageList().size(), 2u);
}

TEST_F(FrmMainTest, TheTargetItemsOfThePageMenuWantABoundButtonAndRunItsTarget) {
  test::TempDir dir;
  std::wstring helper = (dir.path() / L"管理 é.exe").wstring();
  std::filesystem::copy_file(test::TestProgramFolder() / L"cwd_writer.exe", helper);
  Open();
  TPage& page = *form->PageList()[0];
  test::SendDrop(page.Button(2)->Handle(), {helper});
  ASSERT_TRUE(page.Button(2)->Regist());
  for (int index : {1, 2, 1}) {
    ASSERT_TRUE(OpenPageMenuOn(*form, index));
    EXPECT_EQ(page.CurrentBtn(), index);
    for (const wchar_t* item : {L"ファイルの場所を開く", L"管理者として実行"})
      EXPECT_EQ(ItemEnabled(form->PopupMenu1(), item), index == 2) << index << WideToUtf8(item);
  }
  // On the empty button the command does nothing, also when called without the menu.
  form->RunAsClick();
  test::Pump(1500);
  EXPECT_FALSE(std::filesystem::exists(helper + L".cwd"));

  ASSERT_TRUE(OpenPageMenuOn(*form, 2));
  ShowWindow(form->Handle(), SW_SHOW);
  form->RunAsClick();
  ASSERT_TRUE(test::PumpUntil([&] { return std::filesystem::exists(helper + L".cwd"); }, 20000))
      << "the target was not started";
  EXPECT_EQ(Utf8ToWide(test::ReadBytes(helper + L".cwd")), dir.path().wstring()) << "its own folder";
  EXPECT_FALSE(IsWindowVisible(form->Handle())) << "hidden as after a click";

  // Removed while the launcher was away: dimmed when it is called up, and the command
  // says so instead of asking the shell, and leaves the launcher up.
  std::filesystem::rename(helper, helper + L".away");
  EXPECT_FALSE(page.Button(2)->Dimmed());
  form->Show1Click();
  // Shown first, looked at after: no file work stands between the call and the window.
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_FALSE(page.Button(2)->Dimmed()) << "looked at before the window showed";
  EXPECT_TRUE(test::PumpUntil([&] { return page.Button(2)->Dimmed(); }, 5000));
  {
    test::MessageBoxCatcher boxes;
    form->RunAsClick();
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen()[0].text, GoneTargetMessage(helper));
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
  }
  std::filesystem::rename(helper + L".away", helper);

  // The file manager comes up on the target's folder (its caption is the folder's name).
  ASSERT_TRUE(OpenPageMenuOn(*form, 2));
  form->OpenFolderClick();
  const std::wstring folderName = dir.path().filename().wstring();
  HWND manager = nullptr;
  EXPECT_TRUE(test::PumpUntil([&] {
    manager = FindWindowW(nullptr, folderName.c_str());
    return manager != nullptr;
  }, 20000)) << "no window on " << WideToUtf8(folderName);
  if (manager) PostMessageW(manager, WM_CLOSE, 0, 0);

  // Both commands go where a variable in the stored location leads.
  ASSERT_TRUE(test::PumpUntil([&] { return !FindWindowW(nullptr, folderName.c_str()); }, 20000));
  ASSERT_TRUE(SetEnvironmentVariableW(L"VL_TEST_MENU", dir.path().c_str()));
  page.Button(2)->SetFullPath(L"%VL_TEST_MENU%\\管理 é.exe");
  std::filesystem::remove(helper + L".cwd");
  ASSERT_TRUE(OpenPageMenuOn(*form, 2));
  form->OpenFolderClick();
  EXPECT_TRUE(test::PumpUntil([&] {
    manager = FindWindowW(nullptr, folderName.c_str());
    return manager != nullptr;
  }, 20000)) << "no window on the variable's folder";
  if (manager) PostMessageW(manager, WM_CLOSE, 0, 0);
  ASSERT_TRUE(OpenPageMenuOn(*form, 2));
  ShowWindow(form->Handle(), SW_SHOW);
  form->RunAsClick();
  EXPECT_TRUE(test::PumpUntil([&] { return std::filesystem::exists(helper + L".cwd"); }, 20000))
      << "the target was not started";
  SetEnvironmentVariableW(L"VL_TEST_MENU", nullptr);
}

// Pages of 10 x 10 with a bound button each, numbers 1 to `pages`.
void WriteTenByTenPages(int pages) {
  std::string text = "[General]\r\nPageNum=" + std::to_string(pages) + "\r\n";
  for (int p = 1; p <= pages; ++p) {
    const std::string n = std::to_string(p);
    text += "[Page" + n + "]\r\nLive=1\r\nName=P" + n + "\r\nYoko=10\r\nTate=10\r\nBtnW=16\r\nBtnH=16\r\n"
            "ShowType=2\r\nBtnFP7=C:\\p" + n + ".exe\r\nBtnName7=p" + n + "\r\n";
  }
  test::WriteBytes(SettingsFilePath(), text);
}

// 「元に戻す」 takes back the last deletion, move, button properties or smaller grid: the menu
// names it, Ctrl+Z and the menu item put the keys back as they were and the faces with
// them, and a key changed since by another program is never written over.
TEST_F(FrmMainTest, UndoPutsBackTheLastCommandUnlessTheFileChangedSince) {
  const std::filesystem::path ini = SettingsFilePath();
  const std::string stored =
      "[General]\r\nPageNum=2\r\n[Setting]\r\nIsUseHotKey=0\r\nAskBeforeDelBtn=0\r\nAskBeforeDelPage=0\r\n"
      "[Page1]\r\nLive=1\r\nName=One\r\nYoko=3\r\nTate=1\r\nBtnW=40\r\nBtnH=40\r\n"
      "BtnFP1=C:\\tools\\one.exe\r\nBtnName1=one\r\nBtnIP1=C:\\tools\\one.exe\r\nWD1=C:\\tools\r\n"
      "BtnFP2=C:\\tools\\two.exe\r\nBtnName2=two\r\nBtnIP2=C:\\tools\\two.exe\r\nWD2=C:\\tools\r\n"
      "[Page2]\r\nLive=1\r\nName=Two\r\nYoko=2\r\nTate=2\r\nBtnW=40\r\nBtnH=40\r\n"
      "BtnFP4=C:\\tools\\four.exe\r\nBtnName4=four\r\nBtnIP4=C:\\tools\\four.exe\r\nWD4=C:\\tools\r\n";
  test::WriteBytes(ini, stored);
  Open();
  TfrmBtnOption buttonDialog(*form);
  TfrmPageOption pageDialog(*form);
  form->SetDialogs(&buttonDialog, &pageDialog, nullptr);
  TPage& page = *form->PageList()[0];
  // The item as the menu shows it, its shortcut cut off.
  auto undoItem = [&] {
    const TPopupMenu& menu = form->PopupMenu1();
    wchar_t text[256] = L"";
    GetMenuStringW(menu.Handle(), 0, text, 256, MF_BYPOSITION);
    std::wstring shown(text);
    return std::pair{shown.substr(0, shown.find(L'\t')), !(GetMenuState(menu.Handle(), 0, MF_BYPOSITION) & MF_GRAYED)};
  };
  auto ctrlZ = [&] {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    PostMessageW(GetFocus() ? GetFocus() : form->Handle(), WM_KEYDOWN, 'Z', 0);
    app.ProcessMessages();
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
  };
  ASSERT_TRUE(OpenPageMenuOn(*form, 1));
  EXPECT_EQ(undoItem(), (std::pair<std::wstring, bool>{L"元に戻す", false})) << "nothing to undo yet";

  // The delete-button command, taken back by the menu item.
  page.SetCurrentBtn(1);
  form->D1Click();
  ASSERT_EQ(page.Button(1)->FullPath(), L"");
  ASSERT_TRUE(OpenPageMenuOn(*form, 2));
  EXPECT_EQ(undoItem(), (std::pair<std::wstring, bool>{L"元に戻す: ボタンの削除 (one)", true}));
  form->UndoClick();
  EXPECT_EQ(test::ReadBytes(ini), stored) << "every key back as it was";
  EXPECT_EQ(page.Button(1)->FullPath(), L"C:\\tools\\one.exe");
  EXPECT_EQ(page.Button(1)->Caption(), L"one");
  ASSERT_TRUE(OpenPageMenuOn(*form, 1));
  EXPECT_EQ(undoItem().second, false) << "one step";

  // A swap by dragging, taken back by Ctrl+Z.
  RECT to;
  GetWindowRect(page.Button(2)->Handle(), &to);
  static_cast<TPageHost&>(*form).DropButton(page, 1, POINT{(to.left + to.right) / 2, (to.top + to.bottom) / 2});
  ASSERT_EQ(page.Button(1)->BtnName(), L"two");
  ctrlZ();
  EXPECT_EQ(test::ReadBytes(ini), stored);
  EXPECT_EQ(page.Button(1)->BtnName(), L"one");
  EXPECT_EQ(page.Button(2)->BtnName(), L"two");

  // The button dialog's OK.
  page.SetCurrentBtn(2);
  form->N4Click();
  buttonDialog.lbeName.SetText(L"renamed");
  // Opened, the dialog has the page save what its buttons hold: the OK is what goes back.
  std::string before = test::ReadBytes(ini);
  buttonDialog.BtnOkClick();
  ASSERT_EQ(page.Button(2)->Caption(), L"renamed");
  form->UndoClick();
  EXPECT_EQ(test::ReadBytes(ini), before);
  EXPECT_EQ(page.Button(2)->Caption(), L"two");
  // An empty location unbinds the button: taken back too.
  form->N4Click();
  buttonDialog.lbeLocate.SetText(L"");
  before = test::ReadBytes(ini);
  buttonDialog.BtnOkClick();
  ASSERT_FALSE(page.Button(2)->Regist());
  form->UndoClick();
  EXPECT_EQ(test::ReadBytes(ini), before);
  EXPECT_EQ(page.Button(2)->FullPath(), L"C:\\tools\\two.exe");

  // A grid made smaller in the page dialog: its buttons come back with the grid.
  form->N5Click();
  pageDialog.spnYoko.SetValue(1);
  before = test::ReadBytes(ini);
  {
    test::MessageBoxCatcher boxes;  // the question of a smaller grid, answered はい
    SendMessageW(pageDialog.Button2.Handle(), BM_CLICK, 0, 0);
  }
  ASSERT_EQ(page.BtnCount(), 1);
  ASSERT_TRUE(OpenPageMenuOn(*form, 1));
  EXPECT_EQ(undoItem().first, L"元に戻す: ページのプロパティ (One)");
  form->UndoClick();
  EXPECT_EQ(test::ReadBytes(ini), before);
  ASSERT_EQ(page.BtnCount(), 3);
  EXPECT_EQ(page.Button(2)->Caption(), L"two");

  // The page deleted, and back in its place among the tabs.
  form->Base().SetActivePageIndex(1);
  form->BaseChange();
  before = test::ReadBytes(ini);
  form->N3Click();
  ASSERT_EQ(form->Base().SheetCount(), 1);
  form->UndoClick();
  EXPECT_EQ(test::ReadBytes(ini), before);
  ASSERT_EQ(PageNumbers(*form), (std::vector<std::int32_t>{1, 2}));
  EXPECT_EQ(form->Base().Sheet(1).Caption(), L"Two");
  form->Base().SetActivePageIndex(1);
  form->BaseChange();
  EXPECT_EQ(form->PageList()[1]->Button(4)->Caption(), L"four");

  // Deleted, then bound again by another program: the undo would write over it.
  form->Base().SetActivePageIndex(0);
  form->BaseChange();
  page.SetCurrentBtn(1);
  form->D1Click();
  std::string other = test::ReadBytes(ini);
  const std::string empty = "BtnFP1=\r\n";
  ASSERT_NE(other.find(empty), std::string::npos);
  other.replace(other.find(empty), empty.size(), "BtnFP1=C:\\elsewhere\\theirs.exe\r\n");
  test::WriteBytes(ini, other);
  {
    test::MessageBoxCatcher boxes;
    form->UndoClick();
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_NE(boxes.Seen()[0].text.find(L"元に戻せませんでした"), std::wstring::npos);
  }
  EXPECT_EQ(test::ReadBytes(ini), other) << "the other program's change written over";
  form->SetDialogs(nullptr, nullptr, nullptr);
}

class WindowBudgetTest : public FrmMainTest {
 protected:
  // Started with room for the first page and one more of 100 buttons.
  void OpenWithRoomForTwoPages(int pages) {
    WriteTenByTenPages(pages);
    Open();
    budget = CountWindowsOfProcess(GetCurrentProcessId()) + 150;
    form->SetWindowBudget(budget);
  }
  // Shows the page at `index` as a click on its tab does; the windows held then.
  int Show(int index) {
    form->Base().SetActivePageIndex(index);
    form->BaseChange();
    return CountWindowsOfProcess(GetCurrentProcessId());
  }
  std::string Built() const {
    std::string built;
    for (const auto& page : form->PageList()) built += page->Built() ? '1' : '0';
    return built;
  }

  int budget = 0;
};

// Each page shown past the budget releases the page unseen the longest (never the one on
// display), writing nothing; a released page shown again has its buttons from the file
// and its last pressed button.
TEST_F(WindowBudgetTest, PagesPastTheBudgetAreReleasedLongestUnseenFirstAndWriteNothing) {
  OpenWithRoomForTwoPages(5);
  const std::string before = test::ReadBytes(SettingsFilePath());
  TPage& first = *form->PageList()[0];
  SendMessageW(first.Button(3)->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, test::PointParam(2, 2));
  SendMessageW(first.Button(3)->Handle(), WM_LBUTTONUP, 0, test::PointParam(2, 2));
  ASSERT_EQ(first.CurrentBtn(), 3);

  const struct {
    int show;
    const char* built;
  } steps[] = {{1, "11000"}, {2, "01100"}, {0, "10100"}, {3, "10010"}, {4, "00011"}, {0, "10001"}};
  for (const auto& step : steps) {
    EXPECT_LE(Show(step.show), budget) << "showing page " << step.show + 1;
    EXPECT_EQ(Built(), step.built) << "after showing page " << step.show + 1;
  }
  EXPECT_EQ(first.BtnCount(), 100);
  EXPECT_EQ(first.Button(7)->FullPath(), L"C:\\p1.exe");
  EXPECT_EQ(first.Button(7)->Caption(), L"p1");
  EXPECT_EQ(first.CurrentBtn(), 3) << "the last pressed button outlives the release";
  EXPECT_EQ(test::ReadBytes(SettingsFilePath()), before) << "a release wrote the file";

  // A new page comes up on display: the page unseen the longest goes for the next one.
  form->N2Click();
  EXPECT_EQ(Built(), "100011");
  EXPECT_EQ(form->Base().ActivePageIndex(), 5);
  Show(1);
  EXPECT_EQ(Built(), "110001") << "page 5 goes, the new page seen last stays";
  EXPECT_LE(CountWindowsOfProcess(GetCurrentProcessId()), budget);
}

// A drop whose save was refused lives only in its button: the page keeps its buttons while
// the file cannot take them, another page goes instead, and once the file can, the drop is
// saved before the page is released.
TEST_F(WindowBudgetTest, ARefusedDropIsSavedBeforeItsPageIsReleasedOrThePageIsKept) {
  test::TempDir dir;
  const auto dropped = dir / "late.txt";
  test::WriteBytes(dropped, "x");
  OpenWithRoomForTwoPages(3);
  const std::filesystem::path ini = SettingsFilePath();
  const std::string before = test::ReadBytes(ini);
  ASSERT_TRUE(SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_READONLY));
  {
    test::MessageBoxCatcher boxes;
    test::SendDrop(form->PageList()[0]->Button(1)->Handle(), {dropped.wstring()});
    EXPECT_TRUE(test::PumpUntil([&] { return !boxes.Seen().empty(); }, 5000)) << "the refusal was not shown";
  }
  Show(1);
  {
    test::MessageBoxCatcher boxes;
    Show(2);
    EXPECT_TRUE(boxes.Seen().empty()) << "a page kept for its refused save is no news";
  }
  EXPECT_EQ(Built(), "101") << "page 1 cannot save its drop: page 2 goes instead";
  EXPECT_EQ(test::ReadBytes(ini), before);

  SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
  Show(1);
  EXPECT_EQ(Built(), "011");
  EXPECT_EQ(TIniFile(ini).ReadString(L"Page1", L"BtnFP1", L""), dropped.wstring());
  Show(0);
  EXPECT_EQ(form->PageList()[0]->Button(1)->FullPath(), dropped.wstring());
}

// The button dialog's OK on a page released for room builds it again out of sight: the
// window stays the size of the page on display.
TEST_F(WindowBudgetTest, ABuildOutOfSightLeavesTheWindowToThePageOnDisplay) {
  test::WriteBytes(SettingsFilePath(),
                   "[General]\r\nPageNum=2\r\n[Setting]\r\nIsUseHotKey=0\r\n"
                   "[Page1]\r\nLive=1\r\nName=Small\r\nYoko=3\r\nTate=1\r\nBtnW=40\r\nBtnH=40\r\n"
                   "BtnFP1=C:\\tools\\one.exe\r\nBtnName1=one\r\n"
                   "[Page2]\r\nLive=1\r\nName=Large\r\nYoko=10\r\nTate=10\r\nBtnW=30\r\nBtnH=30\r\n");
  Open();
  TfrmBtnOption dialog(*form);
  form->SetDialogs(&dialog, nullptr, nullptr);
  form->SetWindowBudget(CountWindowsOfProcess(GetCurrentProcessId()) + 99);
  form->PageList()[0]->SetCurrentBtn(1);
  form->N4Click();
  ASSERT_TRUE(dialog.Visible());
  Show(1);
  ASSERT_EQ(Built(), "01") << "page 1 released for page 2";
  RECT large;
  GetClientRect(form->Handle(), &large);
  dialog.lbeName.SetText(L"renamed");
  dialog.BtnOkClick();
  EXPECT_EQ(TIniFile(SettingsFilePath()).ReadString(L"Page1", L"BtnName1", L""), L"renamed");
  RECT after;
  GetClientRect(form->Handle(), &after);
  EXPECT_EQ(after.right, large.right) << "sized to the page out of sight";
  EXPECT_EQ(after.bottom, large.bottom);
  form->SetDialogs(nullptr, nullptr, nullptr);
}

// A search over pages the budget cannot hold at once: each hit's page is built when the
// hit is reached (another released), a page never built is searched from the file, a page
// built again shows its mark, and Esc leaves no mark anywhere.
TEST_F(WindowBudgetTest, SearchHitsOnPagesReleasedOrNeverBuiltAreFoundMarkedAndFocused) {
  OpenWithRoomForTwoPages(4);
  const std::string before = test::ReadBytes(SettingsFilePath());
  auto key = [&](UINT msg, WPARAM code) {
    PostMessageW(GetFocus() ? GetFocus() : form->Handle(), msg, code, 0);
    app.ProcessMessages();
  };
  // The screen, read back: a search draws its marks at once, without a paint message.
  auto highlighted = [](const TLaunchBtn& b) {
    HDC dc = GetDC(b.Handle());
    const COLORREF edge = GetPixel(dc, 1, 8);
    ReleaseDC(b.Handle(), dc);
    return edge == GetSysColor(COLOR_HIGHLIGHT);
  };
  auto clientHeight = [&] {
    RECT r;
    GetClientRect(form->Handle(), &r);
    return r.bottom;
  };
  const int heightBefore = clientHeight();
  // Set on the bottom of the work area: the strip must not push the window below it.
  RECT work, at;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(form->Handle(), &at);
  SetWindowPos(form->Handle(), nullptr, at.left, work.bottom - (at.bottom - at.top), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  key(WM_CHAR, L'P');
  ASSERT_EQ(form->Search().Hits().size(), 4u) << "button 7 of every page, three of them never built";
  EXPECT_EQ(form->SearchLine(), L"検索: P  1/4");
  // The line has a strip of its own: the window grew by it, below the page strip.
  const HWND line = FindWindowExW(form->Handle(), nullptr, L"Static", nullptr);
  ASSERT_TRUE(line && IsWindowVisible(line));
  RECT lineRect, stripRect;
  GetWindowRect(line, &lineRect);
  GetWindowRect(form->Base().Handle(), &stripRect);
  EXPECT_GE(lineRect.top, stripRect.bottom) << "the line hides a part of the page";
  EXPECT_GT(lineRect.bottom - lineRect.top, 10);
  EXPECT_EQ(clientHeight(), heightBefore + (lineRect.bottom - lineRect.top));
  GetWindowRect(form->Handle(), &at);
  EXPECT_EQ(at.bottom, work.bottom) << "the grown window left the work area";
  EXPECT_TRUE(highlighted(*form->PageList()[0]->Button(7)));
  EXPECT_FALSE(highlighted(*form->PageList()[0]->Button(6)));
  for (int k = 0; k < 6; ++k) {
    const int index = k % 4;  // round the end, back to pages released meanwhile
    TPage& page = *form->PageList()[static_cast<std::size_t>(index)];
    EXPECT_EQ(form->Base().ActivePageIndex(), index) << "hit " << k;
    ASSERT_TRUE(page.Built()) << "hit " << k;
    EXPECT_EQ(GetFocus(), page.Button(7)->Handle()) << "hit " << k;
    EXPECT_EQ(page.CurrentBtn(), 7);
    EXPECT_TRUE(page.Button(7)->Marked()) << "hit " << k;
    EXPECT_FALSE(page.Button(6)->Marked()) << "hit " << k;
    EXPECT_LE(CountWindowsOfProcess(GetCurrentProcessId()), budget) << "hit " << k;
    key(WM_KEYDOWN, VK_DOWN);
  }
  key(WM_KEYDOWN, VK_UP);
  EXPECT_EQ(form->Base().ActivePageIndex(), 1) << "Up: the previous hit";
  EXPECT_EQ(Built()[3], '0') << "the last page was released for room meanwhile";
  Show(3);  // a click on its tab during the search
  EXPECT_TRUE(form->PageList()[3]->Button(7)->Marked()) << "a page built again shows its mark";
  key(WM_KEYDOWN, VK_ESCAPE);
  EXPECT_FALSE(form->Search().Active());
  EXPECT_TRUE(IsWindowVisible(form->Handle())) << "the first Esc only clears the search";
  for (const auto& page : form->PageList())
    for (std::int32_t i = 1; i <= page->BtnCount(); ++i)
      EXPECT_FALSE(page->Button(i)->Marked()) << "page " << page->PageNo() << " button " << i;
  EXPECT_FALSE(highlighted(*form->PageList()[3]->Button(7))) << "the mark is still on the screen";
  EXPECT_FALSE(IsWindowVisible(line));
  EXPECT_EQ(clientHeight(), heightBefore) << "the strip stays after the search";
  EXPECT_EQ(test::ReadBytes(SettingsFilePath()), before) << "a search wrote the file";

  // Another program renames a button of a page not built now, whose texts the first
  // search read from the file: the next search knows it by its new name only.
  const std::size_t unbuilt = Built().rfind('0');
  ASSERT_TRUE(unbuilt != std::string::npos && unbuilt > 0) << Built();
  const std::string n = std::to_string(unbuilt + 1);
  std::string edited = before;
  edited.replace(edited.find("BtnName7=p" + n), 10 + n.size(), "BtnName7=Zebra");
  test::WriteBytes(SettingsFilePath(), edited);
  key(WM_CHAR, L'z');
  ASSERT_EQ(form->Search().Hits().size(), 1u) << "the search kept the texts of the file before";
  EXPECT_EQ(form->Search().Hits()[0], (SearchHit{static_cast<std::int32_t>(unbuilt + 1), 7}));
  key(WM_KEYDOWN, VK_ESCAPE);
}

}  // namespace
}  // namespace vl
