// What a screen reader hears of a search in a real main window: after each key, the strip's
// line as its accessible object names it, and the events that make a reader speak it while
// the focus is on the hit (the hit itself heard first, by the focus).
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/frm_main.h"
#include "core/ini_file.h"
#include "core/text_codec.h"
#include "gui/application.h"
#include "gui/platform/com_ptr.h"
#include "gui/platform/ole_scope.h"
#include "tests/core/temp_dir.h"
#include "tests/win/button_test_support.h"

namespace vl {
namespace {

// The WinEvents of this process about a client area, as a screen reader's hook gets them:
// out of context, delivered to this thread while it takes its messages.
class EventLog {
 public:
  struct Event {
    DWORD event;
    HWND hwnd;
  };
  EventLog() {
    current_ = this;
    hook_ = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr, &EventLog::Proc,
                            GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  }
  ~EventLog() {
    if (hook_) UnhookWinEvent(hook_);
    current_ = nullptr;
  }
  EventLog(const EventLog&) = delete;
  EventLog& operator=(const EventLog&) = delete;

  bool Hooked() const { return hook_ != nullptr; }
  const std::vector<Event>& Seen() const { return seen_; }
  void Clear() { seen_.clear(); }
  // Where `event` about `hwnd` came first among those seen; -1 if it did not come.
  int First(DWORD event, HWND hwnd) const {
    for (std::size_t k = 0; k < seen_.size(); ++k)
      if (seen_[k].event == event && seen_[k].hwnd == hwnd) return static_cast<int>(k);
    return -1;
  }

 private:
  static void CALLBACK Proc(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
    if (current_ && object == OBJID_CLIENT && child == CHILDID_SELF) current_->seen_.push_back({event, hwnd});
  }

  static inline EventLog* current_ = nullptr;
  HWINEVENTHOOK hook_ = nullptr;
  std::vector<Event> seen_;
};

// The name and role a client reads from the window's accessible object.
struct Heard {
  std::wstring name;
  long role = 0;
  std::wstring shortcut;
};

Heard Hear(HWND window) {
  ComPtr<IAccessible> object;
  if (FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible), object.put_void())) || !object)
    return {L"<no object>", 0, L""};
  VARIANT self;
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  Heard heard;
  BSTR name = nullptr;
  if (SUCCEEDED(object->get_accName(self, &name)) && name) heard.name = name;
  SysFreeString(name);
  VARIANT role;
  VariantInit(&role);
  if (SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4) heard.role = role.lVal;
  VariantClear(&role);
  BSTR keys = nullptr;
  if (SUCCEEDED(object->get_accKeyboardShortcut(self, &keys)) && keys) heard.shortcut = keys;
  SysFreeString(keys);
  return heard;
}

class SearchVoiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::remove(SettingsFilePath());
    test::WriteBytes(SettingsFilePath(),
                     "[General]\r\nPageNum=1\r\n[Setting]\r\nIsUseHotKey=0\r\n"
                     "[Page1]\r\nLive=1\r\nName=One\r\nYoko=2\r\nTate=2\r\nBtnW=40\r\nBtnH=40\r\n"
                     "BtnFP1=C:\\t\\a.exe\r\nBtnName1=alpha\r\nBtnFP2=C:\\t\\b.exe\r\nBtnName2=memo\r\n"
                     "BtnFP3=C:\\t\\c.exe\r\nBtnName3=calc\r\nBtnFP4=C:\\t\\d.exe\r\nBtnName4=memory\r\n");
    form = std::make_unique<TfrmMain>();
  }
  void TearDown() override {
    form.reset();
    std::filesystem::remove(SettingsFilePath());
  }
  // A key as the user presses it: to the focus, through the application's filters.
  void Key(UINT msg, WPARAM code) {
    PostMessageW(GetFocus() ? GetFocus() : form->Handle(), msg, code, 0);
    app.ProcessMessages();
  }
  HWND Strip() const { return FindWindowExW(form->Handle(), nullptr, L"Static", nullptr); }

  TOleScope ole;  // the reader's side of the object comes through COM
  TApplication app{L"RavariVudovi"};
  std::unique_ptr<TfrmMain> form;
};

TEST_F(SearchVoiceTest, EachKeyOfASearchIsHeardWithTheCountAfterTheHitTakesTheFocus) {
  EventLog events;
  ASSERT_TRUE(events.Hooked());
  TPage& page = *form->PageList()[0];
  struct Step {
    UINT msg;
    WPARAM code;
    const wchar_t* line;
    std::int32_t focus;  // the hit's button, 0 for none
  } steps[] = {
      {WM_CHAR, L'm', L"検索: m  1/2", 2},
      {WM_KEYDOWN, VK_DOWN, L"検索: m  2/2", 4},
      {WM_CHAR, L'x', L"検索: mx  見つかりません", 0},
      // The system's own object of a STATIC would take this for an access key and drop it.
      {WM_CHAR, L'&', L"検索: mx&  見つかりません", 0},
      {WM_KEYDOWN, VK_BACK, L"検索: mx  見つかりません", 0},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(WideToUtf8(step.line));
    events.Clear();
    Key(step.msg, step.code);
    ASSERT_EQ(form->SearchLine(), step.line);
    const HWND strip = Strip();
    ASSERT_TRUE(strip && IsWindowVisible(strip));
    const Heard heard = Hear(strip);
    EXPECT_EQ(heard.name, step.line) << "the line as a reader reads it, without the blank that pads it";
    EXPECT_EQ(heard.role, ROLE_SYSTEM_STATUSBAR);
    EXPECT_EQ(heard.shortcut, L"") << "an access key read from an \"&\" the strip shows as it is";
    EXPECT_TRUE(test::PumpUntil([&] { return events.First(EVENT_OBJECT_LIVEREGIONCHANGED, strip) >= 0; }, 2000))
        << "no live region change: a reader would not speak the strip";
    EXPECT_GE(events.First(EVENT_OBJECT_NAMECHANGE, strip), 0);
    if (step.focus) {
      const HWND hit = page.Button(step.focus)->Handle();
      EXPECT_EQ(GetFocus(), hit);
      const int focused = events.First(EVENT_OBJECT_FOCUS, hit);
      EXPECT_GE(focused, 0) << "the hit is heard by the focus, as before";
      EXPECT_LT(focused, events.First(EVENT_OBJECT_LIVEREGIONCHANGED, strip)) << "the count came before the hit";
    }
  }

  // A key that leaves the line as it was is not said again.
  const HWND strip = Strip();
  events.Clear();
  Key(WM_KEYDOWN, VK_DOWN);
  test::Pump(300);
  EXPECT_EQ(events.First(EVENT_OBJECT_LIVEREGIONCHANGED, strip), -1) << "Down with no hit";

  // Cleared, and begun again with the same line: the strip comes back and is said again.
  Key(WM_KEYDOWN, VK_BACK);
  ASSERT_EQ(form->SearchLine(), L"検索: m  1/2");
  Key(WM_KEYDOWN, VK_ESCAPE);
  ASSERT_FALSE(IsWindowVisible(strip));
  events.Clear();
  Key(WM_CHAR, L'm');
  ASSERT_EQ(Strip(), strip) << "one strip for every search";
  EXPECT_TRUE(IsWindowVisible(strip));
  EXPECT_EQ(Hear(strip).name, L"検索: m  1/2");
  EXPECT_TRUE(test::PumpUntil([&] { return events.First(EVENT_OBJECT_LIVEREGIONCHANGED, strip) >= 0; }, 2000));
}

}  // namespace
}  // namespace vl
