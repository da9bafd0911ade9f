// The first start's hint on a real main window in this process: on the first page's empty
// buttons of a file without a bound button, on no other page, gone with the first binding
// (a drop, the button dialog) for the rest of the run, and never written to the file.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

#include "app/drop_hint.h"
#include "app/frm_main.h"
#include "core/ini_file.h"
#include "gui/application.h"
#include "tests/core/temp_dir.h"
#include "tests/win/button_test_support.h"

namespace vl {
namespace {

class DropHintTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::remove(SettingsFilePath()); }
  void TearDown() override {
    form.reset();
    std::filesystem::remove(SettingsFilePath());
  }
  // The buttons of page `index` that show the hint, as "1" and "0" in button order; empty
  // for a page not built.
  std::string Hinted(std::size_t index) const {
    std::string shown;
    TPage& page = *form->PageList()[index];
    for (std::int32_t i = 1; i <= page.BtnCount(); ++i)
      shown += page.Button(i)->Placeholder() == kDropHintText ? '1' : '0';
    return shown;
  }
  void ShowPage(int index) {
    form->Base().SetActivePageIndex(index);
    form->BaseChange();
  }

  TApplication app{L"RavariVudovi"};
  test::TempDir dir;
  std::unique_ptr<TfrmMain> form;
};

TEST_F(DropHintTest, AFirstStartHintsOnPageOneOnlyUntilADropAndNotAgainWhenCleared) {
  form = std::make_unique<TfrmMain>();
  ASSERT_EQ(form->PageList().size(), 1u);
  EXPECT_EQ(Hinted(0), "11111");
  form->N2Click();  // a second page, shown
  ASSERT_EQ(form->PageList().size(), 2u);
  EXPECT_EQ(Hinted(1), "00000") << "never on another page";
  ShowPage(0);
  EXPECT_EQ(Hinted(0), "11111");

  const auto file = dir.path() / L"メモ.txt";
  test::WriteBytes(file, "x");
  test::SendDrop(form->PageList()[0]->Button(3)->Handle(), {file.wstring()});
  ASSERT_TRUE(form->PageList()[0]->Button(3)->Regist());
  EXPECT_EQ(Hinted(0), "00000") << "gone with the first binding";

  form->PageList()[0]->ClearButtonKeys(3);
  ShowPage(1);
  ShowPage(0);
  EXPECT_EQ(Hinted(0), "00000") << "every button cleared again: not back in this run";

  const std::string text = test::ReadBytes(SettingsFilePath());
  std::string lower(text.size(), ' ');
  std::transform(text.begin(), text.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  EXPECT_EQ(lower.find("hint"), std::string::npos) << "the hint writes nothing";
}

TEST_F(DropHintTest, ABindingOnAPageNotBuiltKeepsTheHintAwayAndTheButtonDialogRetiresIt) {
  test::WriteBytes(SettingsFilePath(),
                   "[General]\r\nPageNum=2\r\n"
                   "[Page1]\r\nLive=1\r\nName=One\r\nYoko=3\r\nTate=1\r\nBtnW=64\r\nBtnH=64\r\n"
                   "[Page2]\r\nLive=1\r\nName=Two\r\nYoko=3\r\nTate=1\r\nBtnW=64\r\nBtnH=64\r\n"
                   "BtnFP3=C:\\windows\\notepad.exe\r\nBtnName3=notepad\r\n");
  form = std::make_unique<TfrmMain>();
  ASSERT_FALSE(form->PageList()[1]->Built());
  EXPECT_EQ(Hinted(0), "000") << "a button of page 2 is bound, read from the file";
  form.reset();

  test::WriteBytes(SettingsFilePath(),
                   "[General]\r\nPageNum=1\r\n"
                   "[Page1]\r\nLive=1\r\nName=One\r\nYoko=3\r\nTate=1\r\nBtnW=64\r\nBtnH=64\r\n");
  form = std::make_unique<TfrmMain>();
  EXPECT_EQ(Hinted(0), "111");
  TfrmBtnOption dialog(*form);
  form->SetDialogs(&dialog, nullptr, nullptr);
  form->PageList()[0]->SetCurrentBtn(2);
  form->N4Click();
  ASSERT_TRUE(dialog.Visible());
  dialog.lbeName.SetText(L"notepad");
  dialog.lbeLocate.SetText(L"C:\\windows\\notepad.exe");
  dialog.BtnOkClick();
  ASSERT_TRUE(form->PageList()[0]->Button(2)->Regist());
  EXPECT_EQ(Hinted(0), "000");
  form->SetDialogs(nullptr, nullptr, nullptr);
}

}  // namespace
}  // namespace vl
