// Every dialog at 96, 120, 144 and 192 DPI, moved there as Windows moves it between
// monitors: no caption cut (each measured in its control's own font against the room the
// control leaves it) and the layout tidy, on every tab. The dialogs are filled as the user
// sees them: a bound file in the button dialog, a page with its font in the page dialog.
// The confirmation box is the system's message box, which lays itself out.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "app/frm_main.h"
#include "buttons/frm_btn_option.h"
#include "dialogs/frm_about.h"
#include "dialogs/frm_page_option.h"
#include "dialogs/frm_setting.h"
#include "gui/application.h"
#include "gui/platform/ole_scope.h"
#include "tests/core/temp_dir.h"
#include "tests/win/button_test_support.h"
#include "tests/win/dialog_layout.h"
#include "tests/win/text_fit.h"

namespace vl {
namespace {

constexpr int kDpis[] = {96, 120, 144, 192};

// The dialog moved to a monitor at each scale in turn, as WM_DPICHANGED tells it, with
// `tabs` selecting each of its tabs (one call with none when it has none), and back.
void CheckAtEveryDpi(HWND dialog, const std::string& name, TPageControl* tabs = nullptr) {
  RECT at96;
  GetWindowRect(dialog, &at96);
  ASSERT_EQ(DpiOf(dialog), 96) << "the test display is at 96 DPI";
  for (int dpi : kDpis) {
    RECT suggested{at96.left, at96.top, at96.left + MulDiv(at96.right - at96.left, dpi, 96),
                   at96.top + MulDiv(at96.bottom - at96.top, dpi, 96)};
    SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    ASSERT_EQ(DpiOf(dialog), dpi);
    const int sheets = tabs ? tabs->SheetCount() : 1;
    for (int sheet = 0; sheet < sheets; ++sheet) {
      if (tabs) tabs->SetActivePageIndex(sheet);
      const std::string where = name + (tabs ? " tab " + std::to_string(sheet + 1) : "");
      SCOPED_TRACE(where + " at " + std::to_string(dpi) + " DPI");
      test::ExpectTextsFit(dialog, where, dpi);
      test::ExpectTidyLayout(dialog);
    }
    if (tabs) tabs->SetActivePageIndex(0);
  }
  SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&at96));
}

class DialogFitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::remove(SettingsFilePath());
    // The file in the system's code page: the page's font is "ＭＳ Ｐゴシック".
    test::WriteBytes(SettingsFilePath(),
                     "[General]\r\nPageNum=2\r\n[Page1]\r\nLive=1\r\nName=Tools\r\nYoko=5\r\nTate=2\r\n"
                     "BtnW=48\r\nBtnH=48\r\nShowType=0\r\nFontSize=10\r\n"
                     "FontName=\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e\r\n");
    std::filesystem::create_directories(dir.path() / "Tools");
    test::WriteBytes(dir.path() / "Tools" / "Editor.exe", "MZ");
    form = std::make_unique<TfrmMain>();
  }
  void TearDown() override {
    form.reset();
    std::filesystem::remove(SettingsFilePath());
  }

  TOleScope ole;
  TApplication app{L"RavariVudovi"};
  test::TempDir dir;
  std::unique_ptr<TfrmMain> form;
};

TEST_F(DialogFitTest, EveryCaptionOfEveryDialogFitsAtEveryScale) {
  {
    TfrmBtnOption dialog(*form);
    form->SetDialogs(&dialog, nullptr, nullptr);
    TLaunchBtn& button = *form->PageList()[0]->Button(1);
    test::SendDrop(button.Handle(), {(dir.path() / "Tools" / "Editor.exe").wstring()});
    SendMessageW(button.Handle(), WM_RBUTTONDOWN, MK_RBUTTON, test::PointParam(5, 5));
    ReleaseCapture();
    form->N4Click();
    ASSERT_TRUE(dialog.Visible());
    CheckAtEveryDpi(dialog.Handle(), "ボタンのプロパティ");
    form->SetDialogs(nullptr, nullptr, nullptr);
  }
  {
    TfrmPageOption dialog(*form);
    form->SetDialogs(nullptr, &dialog, nullptr);
    form->N5Click();
    ASSERT_TRUE(dialog.Visible());
    CheckAtEveryDpi(dialog.Handle(), "ページのプロパティ");
    form->SetDialogs(nullptr, nullptr, nullptr);
  }
  {
    TfrmSetting dialog(*form);
    form->SetDialogs(nullptr, nullptr, nullptr, &dialog);
    form->SettingClick();
    ASSERT_TRUE(dialog.Visible());
    CheckAtEveryDpi(dialog.Handle(), "環境設定", &dialog.PageControl1);
    form->SetDialogs(nullptr, nullptr, nullptr, nullptr);
  }
  {
    test::WriteBytes(dir.path() / "History.txt", "v1.01\r\n");
    TfrmAbout about(dir.path() / "History.txt");
    about.Show();
    CheckAtEveryDpi(about.Handle(), "バージョン情報", &about.PageControl1);
  }
}

}  // namespace
}  // namespace vl
