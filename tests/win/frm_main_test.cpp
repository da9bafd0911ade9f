// The main window in this process, on the settings file beside the test: what start-up
// builds, the setters of the shake and the hot keys, the watch toggle, closing.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "app/frm_main.h"
#include "core/ini_file.h"
#include "gui/application.h"
#include "tests/core/temp_dir.h"

namespace vl {
namespace {

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
}

TEST_F(FrmMainTest, ShakeSettersIgnoreValuesBelowOne) {
  TIniFile(SettingsFilePath()).WriteInteger(L"Setting", L"ShakeSpeed", -5);
  Open();
  EXPECT_EQ(form->Shake().shakeSpeed, -5) << "at start the value is taken as stored";
  form->SetShakeSpeed(0);
  form->SetShakeTime(-3);
  EXPECT_EQ(form->Shake().shakeSpeed, -5);
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

TEST_F(FrmMainTest, AHotKeyWithoutAKnownNameRaisesNothing) {
  Open();
  EXPECT_NO_THROW(form->SetHideHotKey(L"Ctrl+NoSuchKey"));
  EXPECT_EQ(form->WaitHotKey1().HotKey(), L"(なし)") << "the key becomes empty";
  EXPECT_NO_THROW(form->SetHideHotKey(L"Esc"));
  EXPECT_EQ(form->WaitHotKey1().HotKey(), L"ESC");
  EXPECT_NO_THROW(form->SetHideHotKey(L"(なし)"));
  EXPECT_EQ(form->WaitHotKey1().HotKey(), L"(なし)");
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
  EXPECT_EQ(SendMessageW(form->Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  EXPECT_FALSE(form->Timer1Enabled()) << "the mouse watch stops at log-off";
  TIniFile file(SettingsFilePath());
  EXPECT_EQ(file.ReadInteger(L"General", L"PageNum", -1), 1);
  EXPECT_EQ(file.ReadString(L"Page1", L"WD5", L"<none>"), L"");
}

TEST_F(FrmMainTest, NewPagesTakeTheNextNumberAndTheSelectionStays) {
  Open();
  form->N2Click();
  form->N2Click();
  ASSERT_EQ(form->PageList().size(), 3u);
  EXPECT_EQ(form->PageList()[2]->PageNo(), 3);
  EXPECT_EQ(form->Base().ActivePageIndex(), 0);
  form.reset();  // exit: the page count and every live page are written
  TIniFile file(SettingsFilePath());
  EXPECT_EQ(file.ReadInteger(L"General", L"PageNum", -1), 3);
  EXPECT_EQ(file.ReadString(L"Page3", L"BtnFP5", L"<none>"), L"");
}

}  // namespace
}  // namespace vl
