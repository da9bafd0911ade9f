// The plain message box and the application-wide error report, as real boxes on the
// screen: caption, icon, text and buttons read back from the box window itself.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>

#include "core/errors.h"
#include "core/text_codec.h"
#include "gui/application.h"
#include "gui/message_box.h"
#include "gui/message_dialog.h"
#include "tests/win/button_test_support.h"

namespace vl {
namespace {

using test::MessageBoxCatcher;

// A window whose handler fails as the handlers of the program may.
class FailingForm : public test::TestForm {
 public:
  std::function<void()> fail;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_APP) fail();
    if (msg == WM_APP + 1) return 42;
    return TestForm::HandleMessage(msg, wParam, lParam);
  }
};

TEST(MessageBoxes, PlainMessageHasTheTitleNoIconAndOneOk) {
  MessageBoxCatcher boxes;
  ShowMessage(L"登録済みです");
  ASSERT_EQ(boxes.Seen().size(), 1u);
  EXPECT_EQ(boxes.Seen()[0].caption, L"RavariVudovi");
  EXPECT_EQ(boxes.Seen()[0].text, L"登録済みです");
  EXPECT_FALSE(boxes.Seen()[0].icon);
  EXPECT_EQ(boxes.Seen()[0].buttons.size(), 1u);
}

TEST(MessageBoxes, AnErrorInAHandlerIsReportedWithAStopIconAndTheProgramGoesOn) {
  const struct {
    std::function<void()> fail;
    const wchar_t* shown;
  } cases[] = {
      {[] { throw EVantriError(L"ファイルが開けません"); }, L"ファイルが開けません."},
      {[] { throw EVantriError(L"already ends."); }, L"already ends."},
      {[] { throw EVantriError(L"Stop!"); }, L"Stop!"},        // "!" comes before "."
      {[] { throw EVantriError(L"(code 5)"); }, L"(code 5)"},  // so does ")"
      {[] { throw EVantriError(L"code 5"); }, L"code 5."},     // "5" comes after
      // Not the program's own: a Japanese message of its kind, never the library's text.
      {[] { throw std::runtime_error("bad alloc"); }, L"予期しないエラーが発生しました."},
      {[] { (void)std::string("abc").at(7); }, L"予期しないエラーが発生しました."},
      {[] { throw std::bad_alloc(); }, L"メモリが足りません."},
      {[] { throw 42; }, L"予期しないエラーが発生しました."},
  };
  FailingForm form;
  for (const auto& c : cases) {
    form.fail = c.fail;
    MessageBoxCatcher boxes;
    SendMessageW(form.Handle(), WM_APP, 0, 0);
    ASSERT_EQ(boxes.Seen().size(), 1u) << WideToUtf8(c.shown);
    EXPECT_EQ(boxes.Seen()[0].caption, L"RavariVudovi");
    EXPECT_EQ(boxes.Seen()[0].text, c.shown);
    EXPECT_TRUE(boxes.Seen()[0].icon);
    EXPECT_EQ(boxes.Seen()[0].buttons.size(), 1u);
    EXPECT_EQ(SendMessageW(form.Handle(), WM_APP + 1, 0, 0), 42);
  }
}

// Every box of ours, question or message, stands over the window it belongs to, where the
// user is looking, and never past the edge of the work area.
TEST(MessageBoxes, BoxesStandOverTheLauncherInsideTheWorkArea) {
  test::TestForm form(300, 220);
  TApplication& app = TApplication::Instance();
  app.SetMainForm(form.Handle());
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  auto centre = [](const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; };
  const std::function<void()> raise[] = {[] { ShowMessage(L"一行"); }, [] { WarningBox(L"警告の\n二行"); },
                                         [] { (void)Confirm(L"ボタン「メモ帳」を削除してよろしいですか？"); }};
  for (POINT at : {POINT{40, 30}, POINT{work.right - 200, work.bottom - 100}}) {
    SetWindowPos(form.Handle(), nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RECT over;
    GetWindowRect(form.Handle(), &over);
    for (const auto& box : raise) {
      MessageBoxCatcher boxes;
      box();
      ASSERT_EQ(boxes.Seen().size(), 1u);
      const RECT r = boxes.Seen()[0].rect;
      EXPECT_TRUE(r.left >= work.left && r.top >= work.top && r.right <= work.right && r.bottom <= work.bottom)
          << "at " << r.left << "," << r.top << " - " << r.right << "," << r.bottom;
      if (at.x == 40) {  // room all round: centred on the launcher
        EXPECT_NEAR(centre(r).x, centre(over).x, 1);
        EXPECT_NEAR(centre(r).y, centre(over).y, 1);
      } else {  // at the corner: pushed in, as near the launcher as the work area lets it
        EXPECT_EQ(r.right, work.right);
        EXPECT_EQ(r.bottom, work.bottom);
      }
    }
  }
  app.SetMainForm(nullptr);
}

}  // namespace
}  // namespace vl
