// The confirmation box, driven from a second thread as a user would answer it.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

#include "gui/application.h"
#include "core/text_codec.h"
#include "gui/message_dialog.h"

namespace vl {
namespace {

struct BoxSeen {
  std::wstring caption, text, yes, no;
  bool yesIsDefault = false;
  HICON icon = nullptr;
  bool ignoredAnswer = false;  // the box stayed up after the answer
};

HWND WaitForBox(const wchar_t* caption) {
  for (int i = 0; i < 200; ++i) {
    if (HWND box = FindWindowW(L"#32770", caption)) return box;
    Sleep(25);
  }
  return nullptr;
}

std::wstring ItemText(HWND box, int id) {
  wchar_t buffer[256] = {};
  GetDlgItemTextW(box, id, buffer, 256);
  return buffer;
}

// Opens the box on this thread while another thread reads it and answers with `answer`.
bool Answer(const wchar_t* caption, std::function<void(HWND)> answer, BoxSeen& seen) {
  std::thread user([&] {
    HWND box = WaitForBox(caption);
    if (!box) return;
    seen.caption = caption;
    seen.yes = ItemText(box, IDYES);
    seen.no = ItemText(box, IDNO);
    seen.text = ItemText(box, 0xFFFF);
    LONG yesStyle = GetWindowLongW(GetDlgItem(box, IDYES), GWL_STYLE);
    seen.yesIsDefault = (yesStyle & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
      if ((GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
        seen.icon = reinterpret_cast<HICON>(SendMessageW(c, STM_GETICON, 0, 0));
    answer(box);
    for (int i = 0; i < 120 && IsWindow(box); ++i) Sleep(25);
    if (IsWindow(box)) {
      // Close it with Yes, so that a box that ignored the answer fails the test
      // rather than hanging it.
      seen.ignoredAnswer = true;
      PostMessageW(box, WM_COMMAND, IDYES, 0);
    }
  });
  bool result = Confirm(L"このボタンを削除してよろしいですか？", caption);
  user.join();
  return result;
}

class ConfirmTest : public ::testing::Test {
 protected:
  TApplication app{L"RavariVudovi"};
};

TEST_F(ConfirmTest, ShowsJapaneseButtonsWithYesAsDefault) {
  BoxSeen seen;
  bool yes = Answer(kConfirmCaption, [](HWND box) { PostMessageW(box, WM_COMMAND, IDYES, 0); }, seen);
  EXPECT_TRUE(yes);
  EXPECT_EQ(seen.yes, L"はい(&Y)") << WideToUtf8(seen.yes);
  EXPECT_EQ(seen.no, L"いいえ(&N)");
  EXPECT_TRUE(seen.yesIsDefault);
  EXPECT_EQ(seen.icon, LoadIconW(nullptr, IDI_QUESTION)) << "a question";
}

TEST_F(ConfirmTest, EscAndNoAnswerNo) {
  BoxSeen seen;
  auto pressEsc = [](HWND box) {
    HWND focus = GetDlgItem(box, IDYES);
    PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(focus, WM_KEYUP, VK_ESCAPE, 0xC0000001);
  };
  EXPECT_FALSE(Answer(kConfirmCaption, pressEsc, seen));
  EXPECT_FALSE(seen.ignoredAnswer) << "Esc must answer No";
  EXPECT_FALSE(Answer(kWarningCaption, [](HWND box) { PostMessageW(box, WM_COMMAND, IDNO, 0); }, seen));
  EXPECT_EQ(seen.caption, kWarningCaption);
  EXPECT_EQ(seen.icon, LoadIconW(nullptr, IDI_WARNING)) << "a warning looks like one";
}

TEST_F(ConfirmTest, EnterTakesTheDefaultYes) {
  BoxSeen seen;
  auto pressEnter = [](HWND box) {
    HWND focus = GetDlgItem(box, IDYES);
    PostMessageW(focus, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageW(focus, WM_KEYUP, VK_RETURN, 0xC0000001);
  };
  EXPECT_TRUE(Answer(kConfirmCaption, pressEnter, seen));
}

}  // namespace
}  // namespace vl
