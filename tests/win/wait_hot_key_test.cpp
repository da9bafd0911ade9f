// TWaitHotKey on the real platform: keys pressed by another process (send_keys.exe,
// through SendInput) and combinations held by another process (hold_hot_key.exe). A held
// combination stands in for the ones Windows keeps for itself (Windows+Space): Wine keeps
// none, and RegisterHotKey refuses both alike.
//
// A press that must NOT fire is only proven by what comes after it, so every batch of
// presses ends with the sentinel component's key: once the sentinel has fired, every
// WM_HOTKEY of the batch has been dispatched, and the counts are final.
#include <windows.h>
#include <wtsapi32.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/text_codec.h"
#include "gui/application.h"
#include "gui/platform/handles.h"
#include "gui/window.h"
#include "showhide/wait_hot_key.h"

namespace vl {
namespace {

constexpr const wchar_t* kSentinel = L"11+10+7B";  // Ctrl+Shift+F12

std::filesystem::path Beside(const wchar_t* exe) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return std::filesystem::path(self).parent_path() / exe;
}

UniqueKernelHandle Start(const wchar_t* exe, const std::wstring& args) {
  std::wstring cmd = L"\"" + Beside(exe).wstring() + L"\" " + args;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi)) {
    ADD_FAILURE() << "cannot start " << WideToUtf8(cmd) << ": " << GetLastError();
    return {};
  }
  UniqueKernelHandle thread(pi.hThread);
  return UniqueKernelHandle(pi.hProcess);
}

// Dispatches this thread's messages until done() or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return true;
}

// Runs a helper to its end; its exit code. Messages wait meanwhile, so that the tests
// decide where they are dispatched.
DWORD RunHelper(const wchar_t* exe, const std::wstring& args) {
  UniqueKernelHandle process = Start(exe, args);
  if (!process || WaitForSingleObject(process.get(), 30000) != WAIT_OBJECT_0) return 99;
  DWORD code = 99;
  GetExitCodeProcess(process.get(), &code);
  return code;
}

// Whether another program could register the combination now (that is, nobody holds it).
bool FreeForOthers(const wchar_t* maskAndKey) {
  return RunHelper(L"hold_hot_key.exe", maskAndKey) == 0;
}

// Another program holding a combination for as long as the object lives, counting the
// WM_HOTKEY messages the system gives it.
class Holder {
 public:
  explicit Holder(const wchar_t* maskAndKey) {
    static int count = 0;
    std::wstring name =
        L"vl-hold-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++count);
    ready_.reset(CreateEventW(nullptr, TRUE, FALSE, (name + L"-ready").c_str()));
    quit_.reset(CreateEventW(nullptr, TRUE, FALSE, (name + L"-quit").c_str()));
    hotKeys_.reset(CreateSemaphoreW(nullptr, 0, 1000, (name + L"-hotkeys").c_str()));
    process_ = Start(L"hold_hot_key.exe", std::wstring(maskAndKey) + L" " + name);
    HANDLE both[] = {ready_.get(), process_.get()};
    holding_ = process_ && WaitForMultipleObjects(2, both, FALSE, 20000) == WAIT_OBJECT_0;
  }
  ~Holder() { Stop(); }
  bool Holding() const { return holding_; }

  // Lets the combination go; how many times the holder got it as a hot key. Final: the
  // holder counts what was posted to it before it was told to stop.
  int Stop() {
    SetEvent(quit_.get());
    if (process_) WaitForSingleObject(process_.get(), 20000);
    process_.reset();
    while (WaitForSingleObject(hotKeys_.get(), 0) == WAIT_OBJECT_0) ++hotKeysSeen_;
    return hotKeysSeen_;
  }

 private:
  UniqueKernelHandle ready_, quit_, hotKeys_, process_;
  bool holding_ = false;
  int hotKeysSeen_ = 0;
};

// A window of the test's own in front, as the program the user types into: it counts the
// key messages it gets, key by key.
class KeyLog : public TWindow {
 public:
  KeyLog() {
    WindowParams p;
    p.className = L"VlKeyLog";
    p.caption = L"key log";
    p.style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    p.x = p.y = 50;
    p.width = 200;
    p.height = 100;
    Create(p);
    SetForegroundWindow(Handle());
    SetFocus(Handle());
  }
  int Downs(int vk) const { return downs_[vk]; }
  int Ups(int vk) const { return ups_[vk]; }

 protected:
  // Keys are only counted: the default handling would open the system menu on Alt+Space.
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) ++downs_[wParam & 0xFF];
    if (msg == WM_KEYUP || msg == WM_SYSKEYUP) ++ups_[wParam & 0xFF];
    if (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) return 0;
    return DefaultHandler(msg, wParam, lParam);
  }

 private:
  int downs_[256] = {};
  int ups_[256] = {};
};

class WaitHotKeyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sentinel_.SetHotKey(L"Ctrl+Shift+F12");
    sentinel_.OnCatchHotKey = [this](TWaitHotKey&) { ++sentinelPresses_; };
    sentinel_.RegisterKey();
  }

  // Presses the combinations, then the sentinel, and dispatches messages until every
  // sentinel sent so far has arrived (a press made inside a handler waits for its own).
  void Press(std::initializer_list<const wchar_t*> combos) {
    std::wstring args;
    for (const wchar_t* c : combos) args += std::wstring(c) + L" ";
    ASSERT_EQ(RunHelper(L"send_keys.exe", args + kSentinel), 0u);
    ++sentinelsSent_;
    ASSERT_TRUE(PumpUntil([&] { return sentinelPresses_ >= sentinelsSent_; }, 10000))
        << "the sentinel key never arrived";
  }

  TWaitHotKey sentinel_;
  int sentinelPresses_ = 0;
  int sentinelsSent_ = 0;
};

struct PressCase {
  const wchar_t* text;
  const wchar_t* shown;
  const wchar_t* fires;
  std::initializer_list<const wchar_t*> missing;  // near misses that must not fire
};

TEST_F(WaitHotKeyTest, FiresForItsOwnCombinationPressedInAnotherProgram) {
  const PressCase cases[] = {
      {L"Windows+Space", L"Windows+Space", L"5B+20", {L"20", L"11+20", L"5B+10+20"}},
      {L"Esc", L"ESC", L"1B", {L"11+1B", L"10+1B"}},
      {L"shift+ctrl+a", L"Ctrl+Shift+A", L"10+11+41", {L"41", L"11+41", L"10+41", L"11+10+42"}},
      {L"Alt+Shift+F3", L"Alt+Shift+F3", L"12+10+72", {L"12+72", L"10+72"}},
      {L"Windows+Alt+Ctrl+Shift+Z", L"Windows+Alt+Ctrl+Shift+Z", L"5C+12+11+10+5A",
       {L"12+11+10+5A"}},
  };
  for (const PressCase& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.text));
    TWaitHotKey hotKey;
    int presses = 0;
    hotKey.OnCatchHotKey = [&](TWaitHotKey& sender) {
      EXPECT_EQ(&sender, &hotKey);
      EXPECT_TRUE(sender.Busy());
      ++presses;
    };
    hotKey.SetHotKey(c.text);
    EXPECT_EQ(hotKey.HotKey(), c.shown);
    hotKey.RegisterKey();
    for (const wchar_t* miss : c.missing) Press({miss});
    EXPECT_EQ(presses, 0);
    Press({c.fires});
    EXPECT_EQ(presses, 1);
    EXPECT_FALSE(hotKey.Busy());
  }
}

TEST_F(WaitHotKeyTest, TwoComponentsEachGetOnlyTheirOwnKey) {
  TWaitHotKey show, hide;
  int shown = 0, hidden = 0;
  show.OnCatchHotKey = [&](TWaitHotKey&) { ++shown; };
  hide.OnCatchHotKey = [&](TWaitHotKey&) { ++hidden; };
  show.SetHotKey(L"Windows+Space");
  hide.SetHotKey(L"Esc");
  show.RegisterKey();
  hide.RegisterKey();
  Press({L"1B", L"1B", L"5B+20"});
  EXPECT_EQ(hidden, 2);
  EXPECT_EQ(shown, 1);
}

TEST_F(WaitHotKeyTest, RegisterKeyReplacesTheCombinationAndTheComponentReleasesIt) {
  auto hotKey = std::make_unique<TWaitHotKey>();
  int presses = 0, registered = 0;
  hotKey->OnCatchHotKey = [&](TWaitHotKey&) { ++presses; };
  hotKey->OnRegisterKey = [&](TWaitHotKey&) { ++registered; };
  hotKey->SetHotKey(L"Ctrl+F1");
  hotKey->RegisterKey();
  hotKey->RegisterKey();  // the same key again: withdrawn and registered anew
  EXPECT_EQ(registered, 2);
  Press({L"11+70"});
  EXPECT_EQ(presses, 1);

  hotKey->SetHotKey(L"Ctrl+F2");
  EXPECT_FALSE(FreeForOthers(L"2 70")) << "writing HotKey alone must not withdraw Ctrl+F1";
  hotKey->RegisterKey();
  EXPECT_TRUE(FreeForOthers(L"2 70"));
  EXPECT_FALSE(FreeForOthers(L"2 71"));
  Press({L"11+70", L"11+71"});
  EXPECT_EQ(presses, 2);

  std::wstring atomName = THotKeyId::NameFor(hotKey->Handle());
  EXPECT_NE(FindAtomW(atomName.c_str()), 0);
  hotKey.reset();
  EXPECT_TRUE(FreeForOthers(L"2 71"));
  EXPECT_EQ(FindAtomW(atomName.c_str()), 0);
}

TEST_F(WaitHotKeyTest, ACombinationHeldByAnotherProgramIsReportedAndNothingStaysRegistered) {
  TWaitHotKey hotKey;
  int presses = 0, registered = 0;
  hotKey.OnCatchHotKey = [&](TWaitHotKey&) { ++presses; };
  hotKey.SetHotKey(L"Ctrl+F5");
  hotKey.RegisterKey();
  hotKey.OnRegisterKey = [&](TWaitHotKey&) { ++registered; };
  {
    Holder holder(L"5 7A");
    ASSERT_TRUE(holder.Holding());
    hotKey.SetHotKey(L"Alt+Shift+F11");
    try {
      hotKey.RegisterKey();
      ADD_FAILURE() << "RegisterKey accepted a combination another program holds";
    } catch (const EWaitHotKey_HotKey& e) {
      EXPECT_EQ(e.Message(), L"ホットキーが登録できません(Alt+Shift+F11)") << e.what();
    }
    EXPECT_EQ(registered, 0);
    EXPECT_TRUE(FreeForOthers(L"2 74")) << "the earlier Ctrl+F5 must be withdrawn";
    Press({L"11+74", L"12+10+7A"});
  }
  // The holder has gone: Alt+Shift+F11 is free, and still not ours.
  EXPECT_TRUE(FreeForOthers(L"5 7A"));
  Press({L"12+10+7A"});
  EXPECT_EQ(presses, 0);
  hotKey.RegisterKey();
  EXPECT_EQ(registered, 1);
  Press({L"12+10+7A"});
  EXPECT_EQ(presses, 1);
}

// Windows keeps Windows+Space for itself from Windows 8 on, and RegisterHotKey refuses it:
// a combination with the Windows key is then taken from the keyboard before the system
// sees it. The holder stands in for the system, and what it is given shows whether the
// press was taken: it gets the hot key only while nothing of ours takes the press (a
// low-level hook sees a key before it is posted anywhere, hot keys included; Wine agrees).
TEST_F(WaitHotKeyTest, AWindowsCombinationHeldElsewhereIsTakenFromTheKeyboardInstead) {
  KeyLog typedInto;
  Holder holder(L"8 20");
  ASSERT_TRUE(holder.Holding());
  auto hotKey = std::make_unique<TWaitHotKey>();
  int presses = 0, registered = 0;
  hotKey->OnCatchHotKey = [&](TWaitHotKey& sender) {
    EXPECT_TRUE(sender.Busy());
    ++presses;
  };
  hotKey->OnRegisterKey = [&](TWaitHotKey&) { ++registered; };
  hotKey->SetHotKey(L"Windows+Space");
  ASSERT_NO_THROW(hotKey->RegisterKey());
  EXPECT_EQ(registered, 1);

  // Other modifiers, or none: the press is not ours, and the program in front gets it.
  Press({L"11+5B+20", L"5B+10+20", L"5B+12+20", L"20"});
  EXPECT_EQ(presses, 0);
  EXPECT_EQ(typedInto.Downs(VK_SPACE), 4);
  EXPECT_EQ(typedInto.Ups(VK_SPACE), 4);

  // Either Windows key. Neither the press nor its release reaches the program in front;
  // an unassigned key does instead, so that the lone Windows key release does not open
  // the Start menu. A plain Space after them is the program's again.
  Press({L"5B+20", L"5C+20", L"20"});
  EXPECT_EQ(presses, 2);
  EXPECT_EQ(typedInto.Downs(VK_SPACE), 5);
  EXPECT_EQ(typedInto.Ups(VK_SPACE), 5);
  EXPECT_EQ(typedInto.Downs(0xE8), 2);
  EXPECT_EQ(typedInto.Ups(0xE8), 2);

  // Space held with Windows repeats, and goes on repeating after Windows is released:
  // every repeat with Windows is the hot key again, and no repeat nor the release reaches
  // the program in front, which never saw the Space go down.
  Press({L"d5B,d20,d20,d20,u5B,d20,d20,u20"});
  EXPECT_EQ(presses, 5);
  EXPECT_EQ(typedInto.Downs(VK_SPACE), 5) << "a repeat of the taken Space reached the program";
  EXPECT_EQ(typedInto.Ups(VK_SPACE), 5);

  hotKey->SetEnabled(false);
  Press({L"5B+20"});
  EXPECT_EQ(presses, 5);
  hotKey->SetEnabled(true);

  // Another key: the press goes back to the system (the holder gets it: 1).
  hotKey->SetHotKey(L"Ctrl+F4");
  hotKey->RegisterKey();
  Press({L"5B+20", L"11+73"});
  EXPECT_EQ(presses, 6);

  // Back to Windows+Space, then withdrawn (the holder: 2).
  hotKey->SetHotKey(L"Windows+Space");
  hotKey->RegisterKey();
  Press({L"5B+20"});
  EXPECT_EQ(presses, 7);
  hotKey->UnregisterKey();
  Press({L"5B+20"});
  EXPECT_EQ(presses, 7);

  // Taken again, then the component goes (the holder: 3).
  hotKey->RegisterKey();
  Press({L"5B+20"});
  EXPECT_EQ(presses, 8);
  hotKey.reset();
  Press({L"5B+20"});
  EXPECT_EQ(presses, 8);
  EXPECT_EQ(registered, 4);
  EXPECT_EQ(holder.Stop(), 3) << "hot keys the holder got";
}

// The release of a taken Space that never comes to the hook (the user locked the computer
// while holding Windows+Space, and the lock screen took the release) must not leave the
// next plain Space swallowed: the press is over when the session is unlocked (the hook is
// put up again then, as after Windows dropped it), or once it has been quiet for longer
// than any repeat of a held key takes.
TEST_F(WaitHotKeyTest, ATakenPressWhoseReleaseWasLostSwallowsNoLaterSpace) {
  KeyLog typedInto;
  Holder holder(L"8 20");
  ASSERT_TRUE(holder.Holding());
  TWaitHotKey hotKey;
  int presses = 0;
  hotKey.OnCatchHotKey = [&](TWaitHotKey&) { ++presses; };
  hotKey.SetHotKey(L"Windows+Space");
  ASSERT_NO_THROW(hotKey.RegisterKey());

  Press({L"d5B,d20,u5B"});
  EXPECT_EQ(presses, 1);
  SendMessageW(hotKey.Handle(), WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0);
  Press({L"20"});
  EXPECT_EQ(typedInto.Downs(VK_SPACE), 1) << "the first Space after the unlock was swallowed";
  EXPECT_EQ(typedInto.Ups(VK_SPACE), 1);

  Press({L"d5B,d20,u5B"});
  EXPECT_EQ(presses, 2);
  Sleep(2000);
  Press({L"20"});
  EXPECT_EQ(typedInto.Downs(VK_SPACE), 2) << "a Space long after a lost release was swallowed";
  EXPECT_EQ(typedInto.Ups(VK_SPACE), 2);

  // The hook put up again still takes the show key, and only it.
  Press({L"5B+20", L"20"});
  EXPECT_EQ(presses, 3);
  EXPECT_EQ(typedInto.Downs(VK_SPACE), 3);
  EXPECT_EQ(holder.Stop(), 0) << "the show key went back to the system";
}

TEST_F(WaitHotKeyTest, TwoComponentsTakingTheirKeysFromTheKeyboardEachGetOnlyTheirOwn) {
  Holder space(L"8 20"), z(L"9 5A");  // Windows+Space, Windows+Alt+Z
  ASSERT_TRUE(space.Holding());
  ASSERT_TRUE(z.Holding());
  TWaitHotKey show, other;
  int shown = 0, others = 0;
  show.OnCatchHotKey = [&](TWaitHotKey&) { ++shown; };
  other.OnCatchHotKey = [&](TWaitHotKey&) { ++others; };
  show.SetHotKey(L"Windows+Space");
  other.SetHotKey(L"Windows+Alt+Z");
  ASSERT_NO_THROW(show.RegisterKey());
  ASSERT_NO_THROW(other.RegisterKey());
  Press({L"5B+12+5A", L"5B+20", L"5B+12+5A", L"5B+5A"});
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(others, 2);
  EXPECT_EQ(space.Stop(), 0);
  EXPECT_EQ(z.Stop(), 0);
}

TEST_F(WaitHotKeyTest, ATextOrAKeyNamingNoKeyLeavesTheCombinationInForce) {
  TWaitHotKey hotKey;
  int registered = 0, presses = 0;
  hotKey.OnRegisterKey = [&](TWaitHotKey&) { ++registered; };
  hotKey.OnCatchHotKey = [&](TWaitHotKey&) { ++presses; };
  hotKey.SetHotKey(L"Ctrl+F6");
  hotKey.RegisterKey();
  EXPECT_FALSE(hotKey.SetHotKey(L"Ctrl+Spce")) << "a misspelt name is refused whole";
  EXPECT_EQ(hotKey.HotKey(), L"Ctrl+F6");
  hotKey.RegisterKey();
  hotKey.KeyAssign().SetKey(L"Foo");  // a name the table does not know clears the key
  EXPECT_EQ(hotKey.HotKey(), L"(なし)");
  hotKey.RegisterKey();
  EXPECT_EQ(registered, 3);
  EXPECT_FALSE(FreeForOthers(L"2 75")) << "Ctrl+F6 stays registered";
  Press({L"11+75"});
  EXPECT_EQ(presses, 1);
  hotKey.UnregisterKey();
  EXPECT_TRUE(FreeForOthers(L"2 75"));
}

TEST_F(WaitHotKeyTest, APressWhileTheHandlerRunsIsDroppedUnlessReentrant) {
  for (bool reentrant : {false, true}) {
    SCOPED_TRACE(reentrant ? "reentrant" : "not reentrant");
    TWaitHotKey hotKey;
    hotKey.SetReentrant(reentrant);
    hotKey.SetHotKey(L"Ctrl+F7");
    hotKey.RegisterKey();
    int presses = 0;
    hotKey.OnCatchHotKey = [&](TWaitHotKey& sender) {
      EXPECT_TRUE(sender.Busy());
      // The first press presses the key again and pumps messages until it is through.
      if (++presses == 1) Press({L"11+76"});
      EXPECT_TRUE(sender.Busy());
    };
    Press({L"11+76"});
    EXPECT_EQ(presses, reentrant ? 2 : 1);
    EXPECT_FALSE(hotKey.Busy());
    Press({L"11+76"});  // no longer busy: handled again
    EXPECT_EQ(presses, reentrant ? 3 : 2);
  }
}

TEST_F(WaitHotKeyTest, PressesAreIgnoredWhileDisabled) {
  TWaitHotKey hotKey;
  int presses = 0;
  hotKey.OnCatchHotKey = [&](TWaitHotKey&) { ++presses; };
  hotKey.SetHotKey(L"Ctrl+F8");
  hotKey.RegisterKey();
  hotKey.SetEnabled(false);
  Press({L"11+77"});
  EXPECT_EQ(presses, 0);
  hotKey.SetEnabled(true);
  Press({L"11+77"});
  EXPECT_EQ(presses, 1);
}

TEST_F(WaitHotKeyTest, AFailingHandlerIsReportedAndTheKeyKeepsWorking) {
  TApplication app(L"RavariVudovi");
  TWaitHotKey hotKey;
  hotKey.SetHotKey(L"Ctrl+F9");
  hotKey.RegisterKey();
  int presses = 0;
  hotKey.OnCatchHotKey = [&](TWaitHotKey&) {
    if (++presses == 1) throw EVantriError(L"起動できません");
  };
  std::wstring reported;
  std::thread user([&] {
    for (int i = 0; i < 400; ++i) {
      if (HWND box = FindWindowW(L"#32770", L"RavariVudovi")) {
        wchar_t text[256] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 256);
        reported = text;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return;
      }
      Sleep(25);
    }
  });
  Press({L"11+78"});
  user.join();
  EXPECT_EQ(reported, L"起動できません.") << WideToUtf8(reported);
  EXPECT_FALSE(hotKey.Busy());
  Press({L"11+78"});
  EXPECT_EQ(presses, 2);
}

TEST(WaitHotKey, TheTextFormFollowsEveryChangeOfTheAssignment) {
  TWaitHotKey hotKey;
  std::vector<std::wstring> seen;
  hotKey.OnChangeKey = [&](TWaitHotKey& sender) { seen.push_back(sender.HotKey()); };
  EXPECT_EQ(hotKey.HotKey(), L"(なし)");
  hotKey.SetHotKey(L"Ctrl+");  // names no key: nothing happens
  hotKey.SetHotKey(L"space+windows");
  hotKey.KeyAssign().SethkShift(true);
  TKeyAssign other;
  other.SethkAlt(true);
  other.SetKey(L"esc");
  hotKey.SetKeyAssign(other);
  hotKey.SetHotKey(L"Ctrl+Num+");  // refused: nothing happens
  hotKey.KeyAssign().SetKey(L"Num");
  EXPECT_EQ(seen, (std::vector<std::wstring>{L"Windows+Space", L"Windows+Shift+Space",
                                             L"Alt+ESC", L"(なし)"}));
}

TEST(HotKeyId, RefusesATakenNameAndOneThatMakesNoAtom) {
  ATOM taken = AddAtomW(L"4242");
  ASSERT_NE(taken, 0);
  try {
    THotKeyId id(L"4242");
    ADD_FAILURE() << "a taken name was accepted";
  } catch (const EWaitHotKey_Atom& e) {
    EXPECT_EQ(e.Message(), L"既存のアトムを使おうとしました(4242)");
  }
  DeleteAtom(taken);
  std::wstring tooLong(300, L'7');
  try {
    THotKeyId id(tooLong);
    ADD_FAILURE() << "an atom name of 300 characters was accepted";
  } catch (const EWaitHotKey_Atom& e) {
    EXPECT_EQ(e.Message(), L"アトムが作成できません(" + tooLong + L")");
  }
}

}  // namespace
}  // namespace vl
