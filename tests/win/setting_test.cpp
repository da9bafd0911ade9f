// The settings dialog in this process on a real main window, with the settings file beside
// the test: what it shows for a file without the section, the enabling rule, restore then
// Cancel, OK with a text that is no number, hot keys applied, released and refused,
// every option written only when its box changed (a synced value left alone), and
// the start-up shortcut written to and removed from the prefix's real Startup folder, read
// back through the shell's link object.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "app/frm_main.h"
#include "buttons/link_file.h"
#include "core/file_io.h"
#include "core/ini_file.h"
#include "core/text_codec.h"
#include "dialogs/frm_setting.h"
#include "dialogs/startup_link.h"
#include "gui/application.h"
#include "gui/platform/ole_scope.h"
#include "gui/theme.h"
#include "tests/core/temp_dir.h"
#include "tests/win/button_test_support.h"
#include "tests/win/dialog_layout.h"
#include "tests/win/text_fit.h"

namespace vl {
namespace {

using test::Free;

class SettingTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::remove(SettingsFilePath()); }
  void TearDown() override {
    SetFileAttributesW(SettingsFilePath().c_str(), FILE_ATTRIBUTE_NORMAL);  // before the exit's writes
    dialog.reset();
    form.reset();
    std::filesystem::remove(SettingsFilePath());
  }
  void Open(const std::string& ini = "") {
    dialog.reset();
    form.reset();
    if (!ini.empty()) test::WriteBytes(SettingsFilePath(), ini);
    form = std::make_unique<TfrmMain>();
    dialog = std::make_unique<TfrmSetting>(*form);
    form->SetDialogs(nullptr, nullptr, nullptr, dialog.get());
  }
  std::wstring Key(const wchar_t* key) {
    return TIniFile(SettingsFilePath()).ReadString(L"Setting", key, L"<none>");
  }
  std::vector<test::SeenBox> Click(TButton& button) {
    test::MessageBoxCatcher boxes;
    SendMessageW(button.Handle(), BM_CLICK, 0, 0);
    return boxes.Seen();
  }

  TOleScope ole;
  TApplication app{L"RavariVudovi"};
  std::unique_ptr<TfrmMain> form;
  std::unique_ptr<TfrmSetting> dialog;
};

TEST_F(SettingTest, WithoutTheSectionItShowsItsDefaultsAndTheFieldsFollowTheirBoxes) {
  Open("[General]\r\nPageNum=1\r\n");
  form->SettingClick();
  ASSERT_TRUE(dialog->Visible());
  EXPECT_EQ(GetForegroundWindow(), dialog->Handle());
  RECT outer;
  GetWindowRect(dialog->Handle(), &outer);
  EXPECT_EQ(outer.right - outer.left, 352);
  EXPECT_EQ(outer.bottom - outer.top, 405);
  for (int sheet : {1, 2, 0}) {
    dialog->PageControl1.SetActivePageIndex(sheet);
    test::ExpectTidyLayout(dialog->Handle());
  }
  RECT add, remove;
  GetWindowRect(dialog->Button5.Handle(), &add);
  GetWindowRect(dialog->Button2.Handle(), &remove);
  EXPECT_TRUE(add.top == remove.top && add.bottom == remove.bottom) << "the start-up buttons on one row";
  EXPECT_EQ(dialog->PageControl1.ActivePageIndex(), 0);
  EXPECT_TRUE(dialog->cbAskDelBtn.Checked()) << "absent, the delete command asks: the first OK must not stop that";
  EXPECT_TRUE(dialog->cbAskDelPage.Checked());
  EXPECT_TRUE(dialog->cbHideLaunch.Checked());
  EXPECT_TRUE(dialog->cbUseShake.Checked());
  EXPECT_TRUE(dialog->cbUseHotKey.Checked());
  EXPECT_EQ(dialog->spnShakeTime.Value(), 9);
  EXPECT_EQ(dialog->spnShakeSpd.Value(), 40);
  EXPECT_EQ(dialog->lbeShow.Text(), L"Windows+Space");
  EXPECT_EQ(dialog->lbeHide.Text(), L"Esc");
  for (const TControl* c : {static_cast<const TControl*>(&dialog->spnShakeTime), static_cast<const TControl*>(&dialog->spnShakeSpd),
                            static_cast<const TControl*>(&dialog->lbeShow), static_cast<const TControl*>(&dialog->lbeHide)})
    EXPECT_TRUE(c->Enabled());

  const std::string before = test::ReadBytes(SettingsFilePath());
  // A click by the user and a change by code both run the rule.
  SendMessageW(dialog->cbUseShake.Handle(), BM_CLICK, 0, 0);
  EXPECT_FALSE(dialog->cbUseShake.Checked());
  EXPECT_FALSE(dialog->spnShakeTime.Enabled());
  EXPECT_FALSE(IsWindowEnabled(dialog->spnShakeSpd.UpDown()));
  dialog->cbUseHotKey.SetChecked(false);
  EXPECT_FALSE(dialog->lbeShow.Enabled());
  EXPECT_FALSE(dialog->lbeHide.EditLabel().Enabled());
  dialog->Button1Click();
  EXPECT_FALSE(dialog->Visible());
  EXPECT_EQ(test::ReadBytes(SettingsFilePath()), before) << "Cancel writes nothing";

  // The file says cleared while the boxes are already clear: the fields follow all the same.
  dialog->cbUseShake.SetChecked(true);
  test::WriteBytes(SettingsFilePath(), "[General]\r\nPageNum=1\r\n[Setting]\r\nIsUseShake=0\r\nIsUseHotKey=0\r\n");
  form->SettingClick();
  EXPECT_FALSE(dialog->spnShakeTime.Enabled());
  EXPECT_FALSE(dialog->lbeShow.Enabled());
  EXPECT_TRUE(dialog->btnBackShakeDefault.Enabled());
  EXPECT_TRUE(dialog->btnBackHotKeyDefault.Enabled());
}

TEST_F(SettingTest, RestoreThenCancelLeavesTheDefaultsInTheFileAndTheRunningLauncherAsItWas) {
  Open("[General]\r\nPageNum=1\r\n[Setting]\r\nIsUseShake=0\r\nIsUseHotKey=0\r\nShakeTime=5\r\nShakeSpeed=20\r\n"
       "ShowHotKey=Ctrl+Alt+K\r\nHideHotKey=Ctrl+Alt+J\r\n");
  EXPECT_TRUE(Free(MOD_CONTROL | MOD_ALT, 'K')) << "\"IsUseHotKey\" cleared: no key registered at start";
  EXPECT_TRUE(Free(MOD_CONTROL | MOD_ALT, 'J'));
  form->SettingClick();
  EXPECT_FALSE(dialog->spnShakeSpd.Enabled());
  EXPECT_FALSE(dialog->lbeHide.Enabled());
  EXPECT_TRUE(Click(dialog->btnBackShakeDefault).empty());
  EXPECT_TRUE(Click(dialog->btnBackHotKeyDefault).empty());
  EXPECT_EQ(dialog->spnShakeTime.Value(), 9);
  EXPECT_EQ(dialog->spnShakeSpd.Value(), 40);
  EXPECT_TRUE(dialog->cbUseShake.Checked());
  EXPECT_TRUE(dialog->spnShakeSpd.Enabled());
  EXPECT_EQ(dialog->lbeShow.Text(), L"Windows+Space");
  EXPECT_EQ(dialog->lbeHide.Text(), L"Esc");
  EXPECT_TRUE(dialog->lbeHide.Enabled());
  dialog->spnShakeTime.SetValue(77);
  SendMessageW(dialog->Button1.Handle(), BM_CLICK, 0, 0);
  EXPECT_FALSE(dialog->Visible());

  EXPECT_EQ(Key(L"ShakeTime"), L"9");
  EXPECT_EQ(Key(L"ShakeSpeed"), L"40");
  EXPECT_EQ(Key(L"IsUseShake"), L"1");
  EXPECT_EQ(Key(L"ShowHotKey"), L"Windows+Space");
  EXPECT_EQ(Key(L"HideHotKey"), L"Esc");
  EXPECT_EQ(Key(L"IsUseHotKey"), L"1");
  EXPECT_EQ(form->Shake().shakeTime, 5) << "the running launcher keeps its values";
  EXPECT_EQ(form->Shake().shakeSpeed, 20);
  EXPECT_FALSE(form->Timer1Enabled());
  EXPECT_EQ(form->WaitHotKey().HotKey(), L"(なし)") << "and registers no key";
  form->SettingClick();
  EXPECT_EQ(dialog->spnShakeTime.Value(), 9) << "the next show refills from the file";

  // Into a section without them, the three keys land in the order they are written.
  Open("[General]\r\nPageNum=1\r\n[Setting]\r\n");
  form->SettingClick();
  dialog->btnBackShakeDefaultClick();
  dialog->btnBackHotKeyDefaultClick();
  const std::string file = test::ReadBytes(SettingsFilePath());
  EXPECT_NE(file.find("ShakeTime=9\r\nShakeSpeed=40\r\nIsUseShake=1\r\nHideHotKey=Esc\r\nShowHotKey=Windows+Space\r\nIsUseHotKey=1\r\n"),
            std::string::npos)
      << file;
}

TEST_F(SettingTest, OkWritesAsTypedAppliesWhatItCanAndReleasesTheKeysWhenTheBoxIsCleared) {
  Open("[General]\r\nPageNum=1\r\n");
  form->SettingClick();
  dialog->cbAskDelBtn.SetChecked(true);
  dialog->cbHideLaunch.SetChecked(false);
  dialog->cbUseShake.SetChecked(false);
  dialog->spnShakeTime.SetText(L"-");  // what typing can leave: reads as 0
  dialog->spnShakeSpd.SetValue(55);
  dialog->lbeShow.SetText(L"Ctrl+Alt+K");
  dialog->lbeHide.SetText(L"Ctrl+Alt+J");
  EXPECT_TRUE(Click(dialog->btnOk).empty());
  EXPECT_FALSE(dialog->Visible());
  // Ticked as they were shown (absent keys read as ticked): the user changed nothing there.
  EXPECT_EQ(Key(L"AskBeforeDelBtn"), L"<none>");
  EXPECT_EQ(Key(L"AskBeforeDelPage"), L"<none>");
  EXPECT_EQ(Key(L"HideWhenClickBtn"), L"0");
  EXPECT_EQ(Key(L"IsUseShake"), L"0");
  EXPECT_EQ(Key(L"IsUseHotKey"), L"<none>");
  EXPECT_EQ(Key(L"ShakeTime"), L"0");
  EXPECT_EQ(Key(L"ShakeSpeed"), L"55");
  EXPECT_EQ(Key(L"ShowHotKey"), L"Ctrl+Alt+K");
  EXPECT_EQ(Key(L"HideHotKey"), L"Ctrl+Alt+J");
  EXPECT_EQ(form->Shake().shakeTime, 9) << "0 is saved, not applied";
  EXPECT_EQ(form->Shake().shakeSpeed, 55);
  EXPECT_FALSE(form->Timer1Enabled()) << "the shake box cleared stops the watch at OK";
  EXPECT_FALSE(form->PopupMenu2().Checked(0)) << "and the tray menu's check follows";
  EXPECT_FALSE(Free(MOD_CONTROL | MOD_ALT, 'K')) << "the new show key is registered";
  EXPECT_FALSE(Free(MOD_CONTROL | MOD_ALT, 'J'));

  form->SettingClick();
  dialog->cbUseHotKey.SetChecked(false);
  dialog->lbeShow.SetText(L"Ctrl+Alt+L");
  EXPECT_TRUE(Click(dialog->btnOk).empty());
  EXPECT_EQ(Key(L"IsUseHotKey"), L"0");
  EXPECT_EQ(Key(L"ShowHotKey"), L"Ctrl+Alt+L") << "greyed out, still saved";
  EXPECT_TRUE(Free(MOD_CONTROL | MOD_ALT, 'K')) << "both keys released";
  EXPECT_TRUE(Free(MOD_CONTROL | MOD_ALT, 'J'));
  EXPECT_TRUE(Free(MOD_CONTROL | MOD_ALT, 'L'));

  Open();  // the next start, on the same file
  EXPECT_TRUE(Free(MOD_CONTROL | MOD_ALT, 'L')) << "a start with the box cleared registers none";
  EXPECT_TRUE(Free(MOD_CONTROL | MOD_ALT, 'J'));
  EXPECT_EQ(form->Shake().shakeSpeed, 55);
  form->SettingClick();
  dialog->cbUseHotKey.SetChecked(true);
  EXPECT_TRUE(Click(dialog->btnOk).empty());
  EXPECT_FALSE(Free(MOD_CONTROL | MOD_ALT, 'L')) << "ticked again: registered at OK";
}

TEST_F(SettingTest, ARefusedHotKeyIsReportedAndLeavesTheDialogOpenWithTheFileWritten) {
  Open("[General]\r\nPageNum=1\r\n[Setting]\r\nHideHotKey=Ctrl+Alt+J\r\n");
  ASSERT_TRUE(RegisterHotKey(nullptr, 0xBFF1, MOD_CONTROL | MOD_ALT, 'Q')) << "the test holds Ctrl+Alt+Q";
  form->SettingClick();
  dialog->lbeShow.SetText(L"Ctrl+Alt+Q");
  dialog->lbeHide.SetText(L"Ctrl+Alt+H");
  auto boxes = Click(dialog->btnOk);
  UnregisterHotKey(nullptr, 0xBFF1);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, L"RavariVudovi");
  EXPECT_EQ(boxes[0].text, L"ホットキーが登録できません(Alt+Ctrl+Q)");
  EXPECT_TRUE(dialog->Visible());
  EXPECT_EQ(Key(L"ShowHotKey"), L"Ctrl+Alt+Q");
  EXPECT_EQ(Key(L"HideHotKey"), L"Ctrl+Alt+H");
  EXPECT_EQ(form->WaitHotKey1().HotKey(), L"Alt+Ctrl+J") << "the hide key is not applied after the refusal";
  EXPECT_FALSE(Free(MOD_CONTROL | MOD_ALT, 'J'));
}

// A text that cannot be the key is refused before anything is written: the message names
// it, the box belongs to the dialog, the field at fault is selected for the correction on
// its own tab, and the keys in force stay.
TEST_F(SettingTest, AHotKeyTextThatCannotBeTheKeyIsRefusedWithItsFieldSelectedAndNothingChanged) {
  Open("[General]\r\nPageNum=1\r\n[Setting]\r\nShowHotKey=Ctrl+Alt+K\r\nHideHotKey=Ctrl+Alt+J\r\n");
  form->SettingClick();
  const std::string before = test::ReadBytes(SettingsFilePath());
  struct Case {
    const wchar_t* show;
    const wchar_t* hide;
    TLabeledEdit* field;
    const wchar_t* said;
  };
  const Case cases[] = {
      {L"Ctrl+Spce", L"Ctrl+Alt+J", &dialog->lbeShow, L"ホットキー「Ctrl+Spce」の「Spce」はキーの名前ではありません"},
      {L"Space", L"Ctrl+Alt+J", &dialog->lbeShow, L"ホットキー「Space」では、ほかのプログラムでこのキーが使えなくなります"},
      {L"F1+Space", L"Ctrl+Alt+J", &dialog->lbeShow, L"ホットキー「F1+Space」にはキーが2つあります"},
      {L"", L"Ctrl+Alt+J", &dialog->lbeShow, L"ホットキー「」にはキーの名前がありません"},
      {L"Win+Space", L"Ctrl++J", &dialog->lbeHide, L"ホットキー「Ctrl++J」の「+」の前後に何もありません"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.show) + " / " + WideToUtf8(c.hide));
    dialog->PageControl1.SetActivePageIndex(0);
    dialog->lbeShow.SetText(c.show);
    dialog->lbeHide.SetText(c.hide);
    auto boxes = Click(dialog->btnOk);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text.rfind(c.said, 0), 0u) << WideToUtf8(boxes[0].text);
    EXPECT_EQ(boxes[0].owner, dialog->Handle()) << "the box is the dialog's";
    EXPECT_TRUE(dialog->Visible());
    EXPECT_EQ(GetActiveWindow(), dialog->Handle()) << "the next key goes to the dialog, not the launcher";
    EXPECT_EQ(dialog->PageControl1.ActivePageIndex(), 1);
    EXPECT_EQ(GetFocus(), c.field->Handle());
    DWORD from = 1, to = 0;
    SendMessageW(c.field->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 0u);
    EXPECT_EQ(to, c.field->Text().size()) << "the whole text chosen, ready to be typed over";
    EXPECT_EQ(test::ReadBytes(SettingsFilePath()), before) << "nothing written";
    EXPECT_EQ(form->WaitHotKey().HotKey(), L"Alt+Ctrl+K");
    EXPECT_FALSE(Free(MOD_CONTROL | MOD_ALT, 'K')) << "the show key in force stays";
    EXPECT_FALSE(Free(MOD_CONTROL | MOD_ALT, 'J'));
    EXPECT_TRUE(Free(0, VK_SPACE)) << "Space stays every program's";
  }
  // The spellings people use are keys: written as typed, registered as meant.
  dialog->lbeShow.SetText(L"Win+Space");
  dialog->lbeHide.SetText(L"Esc");
  EXPECT_TRUE(Click(dialog->btnOk).empty());
  EXPECT_FALSE(dialog->Visible());
  EXPECT_EQ(Key(L"ShowHotKey"), L"Win+Space");
  EXPECT_FALSE(Free(MOD_WIN, VK_SPACE));
  EXPECT_TRUE(Free(0, VK_SPACE));
  EXPECT_TRUE(Free(MOD_CONTROL | MOD_ALT, 'K'));
}

TEST_F(SettingTest, AFileThatCannotBeWrittenAppliesNothingAndKeepsTheDialogOpen) {
  Open("[General]\r\nPageNum=1\r\n[Setting]\r\nShakeSpeed=20\r\n");
  form->SettingClick();
  ASSERT_TRUE(SetFileAttributesW(SettingsFilePath().c_str(), FILE_ATTRIBUTE_READONLY));
  dialog->spnShakeSpd.SetValue(60);
  dialog->lbeShow.SetText(L"Ctrl+Alt+K");
  auto boxes = Click(dialog->btnOk);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].text.find(L"に書き込めません"), std::wstring::npos) << boxes[0].text;
  EXPECT_TRUE(dialog->Visible()) << "the edits stay for another try";
  EXPECT_EQ(form->Shake().shakeSpeed, 20) << "nothing applied";
  EXPECT_TRUE(Free(MOD_CONTROL | MOD_ALT, 'K'));
  boxes = Click(dialog->btnBackShakeDefault);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(dialog->spnShakeSpd.Value(), 60) << "a refused write changes no field";
  SetFileAttributesW(SettingsFilePath().c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(Key(L"ShakeSpeed"), L"20");
}

TEST_F(SettingTest, PortablePathsIsWrittenOnlyWhenItsBoxWasChangedAndItsCaptionFits) {
  Open("[General]\r\nPageNum=1\r\n");
  form->SettingClick();
  EXPECT_FALSE(dialog->cbPortablePaths.Checked()) << "off unless asked for";
  // Its two lines within the box, at the dialog's font.
  RECT box;
  GetClientRect(dialog->cbPortablePaths.Handle(), &box);
  RECT text{0, 0, box.right - GetSystemMetrics(SM_CXMENUCHECK) - 6, 0};
  HDC dc = GetDC(dialog->cbPortablePaths.Handle());
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(dialog->cbPortablePaths.Handle(), WM_GETFONT, 0, 0)));
  DrawTextW(dc, L"ランチャーと同じドライブのファイルは相対パスで登録する", -1, &text, DT_CALCRECT | DT_WORDBREAK);
  SelectObject(dc, old);
  ReleaseDC(dialog->cbPortablePaths.Handle(), dc);
  EXPECT_LE(text.bottom, box.bottom) << "the caption is cut";
  EXPECT_EQ(dialog->cbPortablePaths.Text(), L"ランチャーと同じドライブのファイルは相対パスで登録する");

  // OK with the box as it was shown: the file gets no key it never had.
  dialog->cbHideLaunch.SetChecked(false);
  EXPECT_TRUE(Click(dialog->btnOk).empty());
  EXPECT_EQ(Key(L"HideWhenClickBtn"), L"0");
  EXPECT_EQ(Key(L"PortablePaths"), L"<none>");

  form->SettingClick();
  SendMessageW(dialog->cbPortablePaths.Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(Click(dialog->btnOk).empty());
  EXPECT_EQ(Key(L"PortablePaths"), L"1");

  // Shown ticked; another PC clears it and ticks the hide option through a sync tool while
  // the dialog is open. An OK for another change leaves the synced values alone.
  form->SettingClick();
  EXPECT_TRUE(dialog->cbPortablePaths.Checked());
  EXPECT_FALSE(dialog->cbHideLaunch.Checked());
  test::WriteBytes(SettingsFilePath(),
                   "[General]\r\nPageNum=1\r\n[Setting]\r\nHideWhenClickBtn=1\r\nPortablePaths=0\r\n; synced\r\n");
  dialog->cbAskDelPage.SetChecked(false);
  EXPECT_TRUE(Click(dialog->btnOk).empty());
  EXPECT_EQ(Key(L"AskBeforeDelPage"), L"0");
  EXPECT_EQ(Key(L"PortablePaths"), L"0");
  EXPECT_EQ(Key(L"HideWhenClickBtn"), L"1");

  form->SettingClick();
  EXPECT_FALSE(dialog->cbPortablePaths.Checked());
  dialog->cbPortablePaths.SetChecked(true);
  dialog->Button1Click();
  EXPECT_EQ(Key(L"PortablePaths"), L"0") << "Cancel writes nothing";
}

TEST_F(SettingTest, TheThemeIsWrittenOnlyWhenChosenAndTheLauncherTakesItAtOnce) {
  Open("[General]\r\nPageNum=1\r\n[Setting]\r\nTheme=7\r\n");
  struct Light {
    ~Light() { SetThemeChoice(ThemeChoice::Light); }
  } light;
  form->SettingClick();
  dialog->PageControl1.SetActivePageIndex(2);
  test::ExpectTidyLayout(dialog->Handle());
  EXPECT_EQ(dialog->TabSheet3.Caption(), L"表示");
  EXPECT_EQ(dialog->appearance.lblTheme.Text(), L"外観：");
  EXPECT_EQ(dialog->appearance.cbTheme.ItemIndex(), 0) << "a number that is no choice follows the system";
  EXPECT_EQ(CurrentThemeMode(), ThemeMode::Light) << "the prefix's system is light";
  dialog->cbHideLaunch.SetChecked(false);
  EXPECT_TRUE(Click(dialog->btnOk).empty());
  EXPECT_EQ(Key(L"Theme"), L"7") << "not chosen: left as the file has it";

  // Chosen as the user does, with the list's own keys: the launcher turns at OK.
  form->SettingClick();
  SetFocus(dialog->appearance.cbTheme.Handle());
  SendMessageW(dialog->appearance.cbTheme.Handle(), WM_KEYDOWN, VK_END, 0);
  EXPECT_EQ(dialog->appearance.cbTheme.Text(), L"ダーク");
  EXPECT_EQ(CurrentThemeMode(), ThemeMode::Light) << "nothing before OK";
  EXPECT_TRUE(Click(dialog->btnOk).empty());
  EXPECT_EQ(Key(L"Theme"), L"2");
  EXPECT_EQ(CurrentThemeMode(), ThemeMode::Dark);
  test::Pump(200);
  const HWND button = form->PageList()[0]->Button(1)->Handle();
  HDC dc = GetDC(button);
  EXPECT_EQ(GetPixel(dc, 8, 8), ThemePalette().face) << "the page's face on the screen, dark";
  ReleaseDC(button, dc);

  form->SettingClick();
  EXPECT_EQ(dialog->appearance.cbTheme.ItemIndex(), 2);
  dialog->appearance.cbTheme.SetItemIndex(1);
  dialog->Button1Click();
  EXPECT_EQ(Key(L"Theme"), L"2") << "Cancel writes nothing";
  EXPECT_EQ(CurrentThemeMode(), ThemeMode::Dark) << "and changes nothing";
}

TEST_F(SettingTest, ShowAtPointerIsOnTheCallUpTabWrittenOnlyWhenChangedAndPutsTheCallUpAtThePointer) {
  Open("[General]\r\nPageNum=1\r\nFormTop=120\r\nFormLeft=140\r\n");
  form->SettingClick();
  EXPECT_EQ(dialog->cbShowAtPointer.Text(), L"マウスのあるモニターに表示する");
  EXPECT_EQ(GetParent(dialog->cbShowAtPointer.Handle()), dialog->TabSheet2.Handle()) << "on 「呼び出し」";
  EXPECT_FALSE(dialog->cbShowAtPointer.Checked()) << "off unless asked for";
  // OK with the box as it was shown: the file gets no key it never had.
  EXPECT_TRUE(Click(dialog->btnOk).empty());
  EXPECT_EQ(Key(L"ShowAtPointer"), L"<none>");
  EXPECT_FALSE(form->ShowsAtPointer());

  form->SettingClick();
  SendMessageW(dialog->cbShowAtPointer.Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(Click(dialog->btnOk).empty());
  EXPECT_EQ(Key(L"ShowAtPointer"), L"1");
  ASSERT_TRUE(form->ShowsAtPointer()) << "applied to the running launcher";

  // Called up from the tray: centred on the pointer, and the file's place stays.
  form->Hide1Click();
  SetCursorPos(400, 300);
  form->Show1Click();
  RECT r;
  GetWindowRect(form->Handle(), &r);
  EXPECT_EQ((r.left + r.right) / 2, 400);
  EXPECT_EQ((r.top + r.bottom) / 2, 300);
  form.reset();  // the exit writes the window's place
  dialog.reset();
  TIniFile file(SettingsFilePath());
  EXPECT_EQ(file.ReadString(L"General", L"FormTop", L""), L"120");
  EXPECT_EQ(file.ReadString(L"General", L"FormLeft", L""), L"140");
}

class StartupLinkTest : public SettingTest {
 protected:
  void SetUp() override {
    SettingTest::SetUp();
    std::optional<PathString> found = StartupFolder(nullptr);
    ASSERT_TRUE(found) << "the prefix has a Startup folder";
    folder = *found;
    std::filesystem::create_directories(folder);
    link = folder / L"dialogs_test.lnk";
    Clear();
  }
  void TearDown() override {
    Clear();
    SettingTest::TearDown();
  }
  void Clear() {
    for (const auto& p : {link, folder / L"RAVARIVUDOVI.lnk"}) {
      std::filesystem::remove_all(p);
    }
  }
  int Links() {
    int n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) n += entry.path().extension() == L".lnk";
    return n;
  }
  std::filesystem::path folder, link;
};

TEST_F(StartupLinkTest, TheDialogShowsTheStateEachButtonSaysWhatItDidAndRemovalFindsTheLink) {
  Open("[General]\r\nPageNum=1\r\n");
  form->SettingClick();
  EXPECT_EQ(dialog->lblStartup.Text(), L"スタートアップに登録されていません");
  EXPECT_TRUE(dialog->Button5.Enabled());
  EXPECT_FALSE(dialog->Button2.Enabled()) << "nothing to remove";
  const int before = Links();
  SetFocus(dialog->Button5.Handle());
  auto boxes = Click(dialog->Button5);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, L"スタートアップに登録しました。次にWindowsにサインインしたときから自動で起動します");
  EXPECT_EQ(dialog->lblStartup.Text(), L"スタートアップに登録されています");
  EXPECT_FALSE(dialog->Button5.Enabled()) << "registered: nothing more to register";
  EXPECT_TRUE(dialog->Button2.Enabled());
  EXPECT_EQ(GetFocus(), dialog->Button2.Handle()) << "the focus leaves the greyed button for the other";
  EXPECT_EQ(Links(), before + 1);
  TLinkInfo info;
  ASSERT_TRUE(ReadLinkFile(link.wstring(), info));
  EXPECT_EQ(info.Path, RunningExecutablePath());
  EXPECT_EQ(info.Arguments, L"/starup");
  EXPECT_EQ(info.WorkDir, ProgramFolder());
  // Registered twice (the dialog's handler called with the link there): still one link.
  test::MessageBoxCatcher again;
  dialog->Button5Click();
  EXPECT_EQ(Links(), before + 1);

  // Shown again: the state as the folder has it, whoever changed it meanwhile.
  dialog->Button1Click();
  std::filesystem::remove(link);
  form->SettingClick();
  EXPECT_EQ(dialog->lblStartup.Text(), L"スタートアップに登録されていません");
  WriteStartupLink(RunningExecutablePath(), folder);
  dialog->Button1Click();
  form->SettingClick();
  EXPECT_EQ(dialog->lblStartup.Text(), L"スタートアップに登録されています");

  // A link of another program's name is not ours: removal takes the one it wrote.
  std::filesystem::copy_file(link, folder / L"RAVARIVUDOVI.lnk");
  boxes = Click(dialog->Button2);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, L"スタートアップから削除しました");
  EXPECT_FALSE(std::filesystem::exists(link));
  EXPECT_TRUE(std::filesystem::exists(folder / L"RAVARIVUDOVI.lnk"));
  EXPECT_EQ(dialog->lblStartup.Text(), L"スタートアップに登録されていません");
  EXPECT_TRUE(dialog->Button5.Enabled());
  EXPECT_FALSE(dialog->Button2.Enabled());
  {
    test::MessageBoxCatcher gone;
    dialog->Button2Click();  // removed by another program after the dialog looked
    ASSERT_EQ(gone.Seen().size(), 1u);
    EXPECT_EQ(gone.Seen()[0].text, L"スタートアップには登録されていませんでした");
  }

  // A link that cannot be replaced or deleted (a folder in its place): what went wrong and
  // what to do, and the state as it is.
  std::filesystem::create_directory(link);
  {
    test::MessageBoxCatcher failed;
    dialog->Button5Click();
    ASSERT_EQ(failed.Seen().size(), 1u);
    const std::wstring& text = failed.Seen()[0].text;
    EXPECT_EQ(text.rfind(L"スタートアップに登録できませんでした。\n", 0), 0u) << WideToUtf8(text);
    EXPECT_NE(text.find(L"に書き込めるか確かめてから、もう一度お試しください"), std::wstring::npos) << WideToUtf8(text);
    EXPECT_NE(text.find(folder.wstring()), std::wstring::npos) << "names the folder";
  }
  EXPECT_EQ(dialog->lblStartup.Text(), L"スタートアップに登録されていません");
  {
    test::MessageBoxCatcher failed;
    dialog->Button2Click();
    ASSERT_EQ(failed.Seen().size(), 1u);
    const std::wstring& text = failed.Seen()[0].text;
    EXPECT_EQ(text.rfind(L"スタートアップから削除できませんでした。\n", 0), 0u) << WideToUtf8(text);
    EXPECT_NE(text.find(L"の「dialogs_test.lnk」を手で削除してください"), std::wstring::npos) << WideToUtf8(text);
  }
  EXPECT_TRUE(std::filesystem::exists(link));
}

TEST_F(StartupLinkTest, AProgramInAFolderOutsideTheCodePageGetsAWorkingLink) {
  test::TempDir dir;
  const std::filesystem::path program = dir.path() / L"ランチャ_한글" / L"Vantri Ünï.exe";
  std::filesystem::create_directories(program.parent_path());
  test::WriteBytes(program, "MZ");
  WriteStartupLink(program, dir.path());
  TLinkInfo info;
  ASSERT_TRUE(ReadLinkFile((dir.path() / L"Vantri Ünï.lnk").wstring(), info));
  EXPECT_EQ(info.Path, program.wstring());
  EXPECT_EQ(info.WorkDir, program.parent_path().wstring());
  EXPECT_EQ(info.Arguments, L"/starup");

  EXPECT_EQ(StartupWorkingFolder(L"C:\\RavariVudovi.exe"), L"C:\\") << "a drive's root keeps its separator";
  EXPECT_EQ(StartupWorkingFolder(L"C:\\Tools\\RavariVudovi.exe"), L"C:\\Tools");
  try {
    WriteStartupLink(program, dir.path() / L"no such folder");
    ADD_FAILURE() << "saved into a folder that is not there";
  } catch (const EOleSysError& e) {
    EXPECT_FALSE(e.Message().empty());
  }
  // No folder, so no link: nothing removed, and nothing the user must be told.
  EXPECT_FALSE(RemoveStartupLink(program, dir.path() / L"no such folder"));
}

}  // namespace
}  // namespace vl
