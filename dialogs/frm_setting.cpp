#include "dialogs/frm_setting.h"

#include <utility>

#include "core/file_io.h"
#include "core/hot_key_text.h"
#include "core/settings_keys.h"
#include "dialogs/startup_link.h"
#include "gui/application.h"
#include "gui/message_box.h"

namespace vl {
namespace {

namespace keys = settings;

DialogParams Params() {
  DialogParams p;
  p.className = L"TfrmSetting";
  p.caption = L"環境設定";
  p.width = 352;
  p.height = 405;
  p.outerSize = true;
  return p;
}

// The places, in designed pixels: left, top, width, height. The tab control fills the
// client area above the two buttons at the bottom right; what sits on a sheet is measured
// from the sheet's corner, what sits in a group from the group's. Only the lower buttons
// of the first sheet and the buttons below the tabs follow the measured sizes.
struct Layout {
  DesignRect cbAskDelBtn, cbAskDelPage, cbHideLaunch, cbPortablePaths; // on TabSheet1
  DesignRect GroupBox1, GroupBox2;                                     // on TabSheet2
  DesignRect cbUseShake, Label1, spnShakeTime, Label3, Label2, spnShakeSpd, Label4,
      btnBackShakeDefault;                                             // in GroupBox1
  DesignRect cbUseHotKey, lbeShow, lbeHide, btnBackHotKeyDefault;      // in GroupBox2
  DesignRect cbShowAtPointer;                                          // on TabSheet2
};
constexpr int kGroupWidth = 306;
constexpr Layout kLayout{
    .cbAskDelBtn = {16, 16, 280, 16},
    .cbAskDelPage = {16, 40, 280, 16},
    .cbHideLaunch = {16, 64, 280, 16},
    .cbPortablePaths = {16, 88, 280, 28},  // two lines: the caption is longer than the sheet
    .GroupBox1 = {8, 6, kGroupWidth, 128},
    .GroupBox2 = {8, 142, kGroupWidth, 128},
    .cbUseShake = {12, 20, 200, 16},
    .Label1 = {8, 46, 56, 14},
    .spnShakeTime = {68, 43, 56, 20},
    .Label3 = {130, 46, kGroupWidth - 136, 14},
    .Label2 = {8, 74, 56, 14},
    .spnShakeSpd = {68, 71, 56, 20},
    .Label4 = {130, 74, kGroupWidth - 136, 14},
    .btnBackShakeDefault = {kGroupWidth - 124, 98, 112, 22},
    .cbUseHotKey = {12, 20, 200, 16},
    .lbeShow = {68, 43, 160, 20},
    .lbeHide = {68, 71, 160, 20},
    .btnBackHotKeyDefault = {kGroupWidth - 124, 98, 112, 22},
    .cbShowAtPointer = {16, 278, 280, 16},
};
constexpr int kMargin = 8, kButtonWidth = 75, kButtonHeight = 25, kBelowTabs = 40;
constexpr int kStartupButtonWidth = 148;

}  // namespace

TfrmSetting::TfrmSetting(TSettingHost& host)
    : TDialogForm(Params()),
      host_(host),
      ini_(SettingsFilePath()),
      PageControl1(Handle(), DesignToDevice(kMargin, Dpi()), DesignToDevice(kMargin, Dpi()),
                   DesignToDevice(ClientRect().width - 2 * kMargin, Dpi()),
                   DesignToDevice(ClientRect().height - kMargin - kBelowTabs, Dpi()), Font()),
      TabSheet1(PageControl1.AddSheet(L"一般設定", 0)),
      TabSheet2(PageControl1.AddSheet(L"呼び出し", 0)),
      TabSheet3(PageControl1.AddSheet(L"表示", 0)),
      sheet_(DesignRectOf(PageControl1.DisplayRect(), Dpi())),
      cbAskDelBtn({TabSheet1.Handle(), kLayout.cbAskDelBtn, L"ボタンを削除するときに確認する", Font()}),
      cbAskDelPage({TabSheet1.Handle(), kLayout.cbAskDelPage, L"ページを削除するときに確認する", Font()}),
      cbHideLaunch({TabSheet1.Handle(), kLayout.cbHideLaunch, L"ボタンを押したらランチャーを隠す", Font()}),
      cbPortablePaths({TabSheet1.Handle(), kLayout.cbPortablePaths,
                       L"ランチャーと同じドライブのファイルは相対パスで登録する", Font()},
                      BS_MULTILINE | BS_TOP),
      lblStartup({TabSheet1.Handle(),
                  {12, sheet_.height - kButtonHeight - 12 - 24, sheet_.width - 24, 16}, {}, Font()}),
      Button5({TabSheet1.Handle(),
               {12, sheet_.height - kButtonHeight - 12, kStartupButtonWidth, kButtonHeight},
               L"スタートアップに登録", Font()}),
      Button2({TabSheet1.Handle(),
               {sheet_.width - kStartupButtonWidth - 12, sheet_.height - kButtonHeight - 12,
                kStartupButtonWidth, kButtonHeight},
               L"スタートアップから削除", Font()}),
      GroupBox1({TabSheet2.Handle(), kLayout.GroupBox1, L"マウス", Font()}),
      cbUseShake({TabSheet2.Handle(), In(kLayout.GroupBox1, kLayout.cbUseShake), L"マウスを振って呼び出す", Font()}),
      Label1({TabSheet2.Handle(), In(kLayout.GroupBox1, kLayout.Label1), L"振る時間", Font()}, SS_RIGHT),
      spnShakeTime({TabSheet2.Handle(), In(kLayout.GroupBox1, kLayout.spnShakeTime), {}, Font()}),
      Label3({TabSheet2.Handle(), In(kLayout.GroupBox1, kLayout.Label3), L"(多いと呼び出しやすくなる)", Font()}),
      Label2({TabSheet2.Handle(), In(kLayout.GroupBox1, kLayout.Label2), L"振る速さ", Font()}, SS_RIGHT),
      spnShakeSpd({TabSheet2.Handle(), In(kLayout.GroupBox1, kLayout.spnShakeSpd), {}, Font()}),
      Label4({TabSheet2.Handle(), In(kLayout.GroupBox1, kLayout.Label4), L"(多いと速く振る必要がある)", Font()}),
      btnBackShakeDefault(
          {TabSheet2.Handle(), In(kLayout.GroupBox1, kLayout.btnBackShakeDefault), L"デフォルトに戻す", Font()}),
      GroupBox2({TabSheet2.Handle(), kLayout.GroupBox2, L"ホットキー", Font()}),
      cbUseHotKey({TabSheet2.Handle(), In(kLayout.GroupBox2, kLayout.cbUseHotKey), L"ホットキーを使う", Font()}),
      lbeShow({TabSheet2.Handle(), In(kLayout.GroupBox2, kLayout.lbeShow), L"表示：", Font()}),
      lbeHide({TabSheet2.Handle(), In(kLayout.GroupBox2, kLayout.lbeHide), L"隠す：", Font()}),
      btnBackHotKeyDefault(
          {TabSheet2.Handle(), In(kLayout.GroupBox2, kLayout.btnBackHotKeyDefault), L"デフォルトに戻す", Font()}),
      appearance(TabSheet3.Handle(), Font()),
      cbShowAtPointer({TabSheet2.Handle(), kLayout.cbShowAtPointer, L"マウスのあるモニターに表示する", Font()}),
      btnOk(On({ClientRect().width - 2 * (kButtonWidth + kMargin), ClientRect().height - kButtonHeight - kMargin,
                kButtonWidth, kButtonHeight},
               L"OK")),
      Button1(On({ClientRect().width - kButtonWidth - kMargin, ClientRect().height - kButtonHeight - kMargin,
                  kButtonWidth, kButtonHeight},
                 L"キャンセル")) {
  SetDefaultButton(&btnOk);
  SetCancelButton(&Button1);
  SetTabs(&PageControl1);
  OnShow = [this] { FormShow(); };
  cbUseShake.OnClick = [this] { cbUseShakeClick(); };
  cbUseHotKey.OnClick = [this] { cbUseHotKeyClick(); };
  btnBackShakeDefault.OnClick = [this] { btnBackShakeDefaultClick(); };
  btnBackHotKeyDefault.OnClick = [this] { btnBackHotKeyDefaultClick(); };
  btnOk.OnClick = [this] { btnOkClick(); };
  Button1.OnClick = [this] { Button1Click(); };
  Button5.OnClick = [this] { Button5Click(); };
  Button2.OnClick = [this] { Button2Click(); };
  built_ = true;
}

void TfrmSetting::FormShow() {
  const std::uint64_t missed = ini_.MissedReads();
  ini_.Update([&] {
    cbAskDelBtn.SetChecked(ini_.ReadBool(keys::kSetting, keys::kAskBeforeDelBtn, keys::kAskBeforeDelBtnDefault));
    cbAskDelPage.SetChecked(ini_.ReadBool(keys::kSetting, keys::kAskBeforeDelPage, keys::kAskBeforeDelPageDefault));
    cbHideLaunch.SetChecked(ini_.ReadBool(keys::kSetting, keys::kHideWhenClickBtn, keys::kHideWhenClickBtnDefault));
    cbPortablePaths.SetChecked(ini_.ReadBool(keys::kSetting, keys::kPortablePaths, keys::kPortablePathsDefault));
    cbUseHotKey.SetChecked(ini_.ReadBool(keys::kSetting, keys::kIsUseHotKey, keys::kIsUseHotKeyDefault));
    cbUseShake.SetChecked(ini_.ReadBool(keys::kSetting, keys::kIsUseShake, keys::kIsUseShakeDefault));
    spnShakeTime.SetValue(ini_.ReadInteger(keys::kSetting, keys::kShakeTime, keys::kShakeTimeDefault));
    spnShakeSpd.SetValue(ini_.ReadInteger(keys::kSetting, keys::kShakeSpeed, keys::kShakeSpeedDefault));
    lbeHide.SetText(ini_.ReadString(keys::kSetting, keys::kHideHotKey, keys::kHideHotKeyDefault));
    lbeShow.SetText(ini_.ReadString(keys::kSetting, keys::kShowHotKey, keys::kShowHotKeyDefault));
    appearance.Fill(ini_);
    cbShowAtPointer.SetChecked(ini_.ReadBool(keys::kSetting, keys::kShowAtPointer, keys::kShowAtPointerDefault));
  });
  filledBlind_ = ini_.MissedReads() != missed;
  shown_ = Current();
  RenewStartupState();
  // A box whose state did not change raised nothing: its fields may still show another
  // file's state.
  cbUseHotKeyClick();
  cbUseShakeClick();
}

TfrmSetting::Options TfrmSetting::Current() const {
  return {cbAskDelBtn.Checked(), cbAskDelPage.Checked(), cbHideLaunch.Checked(), cbPortablePaths.Checked(),
          cbUseShake.Checked(),  cbUseHotKey.Checked(),  cbShowAtPointer.Checked(), lbeHide.Text(),
          lbeShow.Text(),        spnShakeTime.Value(),   spnShakeSpd.Value()};
}

void TfrmSetting::cbUseShakeClick() {
  const bool on = cbUseShake.Checked();
  spnShakeTime.SetEnabled(on);
  spnShakeSpd.SetEnabled(on);
}

void TfrmSetting::cbUseHotKeyClick() {
  const bool on = cbUseHotKey.Checked();
  lbeShow.SetEnabled(on);
  lbeHide.SetEnabled(on);
}

void TfrmSetting::btnBackShakeDefaultClick() {
  ini_.Update([&] {
    ini_.WriteInteger(keys::kSetting, keys::kShakeTime, keys::kShakeTimeDefault);
    ini_.WriteInteger(keys::kSetting, keys::kShakeSpeed, keys::kShakeSpeedDefault);
    ini_.WriteBool(keys::kSetting, keys::kIsUseShake, true);
  });
  spnShakeTime.SetValue(keys::kShakeTimeDefault);
  spnShakeTime.SetEnabled(true);
  spnShakeSpd.SetValue(keys::kShakeSpeedDefault);
  spnShakeSpd.SetEnabled(true);
  cbUseShake.SetChecked(true);
}

void TfrmSetting::btnBackHotKeyDefaultClick() {
  ini_.Update([&] {
    ini_.WriteString(keys::kSetting, keys::kHideHotKey, keys::kHideHotKeyDefault);
    ini_.WriteString(keys::kSetting, keys::kShowHotKey, keys::kShowHotKeyDefault);
    ini_.WriteBool(keys::kSetting, keys::kIsUseHotKey, true);
  });
  lbeHide.SetText(keys::kHideHotKeyDefault);
  lbeHide.SetEnabled(true);
  lbeShow.SetText(keys::kShowHotKeyDefault);
  lbeShow.SetEnabled(true);
  cbUseHotKey.SetChecked(true);
}

void TfrmSetting::btnOkClick() {
  if (filledBlind_) {
    // Filled while the file could not be read: the fields hold defaults, not the user's
    // values, and would wipe them. Filled again (from the file, if it reads now) instead.
    FormShow();
    throw ini_.WriteRefusal();
  }
  const Options now = Current();
  const bool useHotKey = now.useHotKey;
  const std::wstring &show = now.show, &hide = now.hide;
  const std::int32_t time = now.time, speed = now.speed;
  // A text that cannot be the key is refused before anything is written or applied: the
  // keys in force stay, and the correction starts in the field. Greyed out, the texts are
  // only kept.
  if (useHotKey) {
    for (auto [field, systemWide] : {std::pair{&lbeShow, true}, std::pair{&lbeHide, false}}) {
      const std::wstring why = HotKeyTextRefusal(field->Text(), systemWide);
      if (why.empty()) continue;
      ShowMessage(why);
      if (Visible()) FocusField(field->Handle());
      return;
    }
  }
  // One write: a refused one (shown in the error box) applies nothing and leaves the
  // dialog open with the edits.
  // Only what the user changed here: a value written as it was shown would put back one
  // that another program (a sync tool) changed while the dialog was open.
  const Options& was = shown_;
  ini_.Update([&] {
    auto flag = [&](bool Options::*option, const wchar_t* key) {
      if (now.*option != was.*option) ini_.WriteBool(keys::kSetting, key, now.*option);
    };
    flag(&Options::askDelBtn, keys::kAskBeforeDelBtn);
    flag(&Options::askDelPage, keys::kAskBeforeDelPage);
    flag(&Options::hideLaunch, keys::kHideWhenClickBtn);
    flag(&Options::portable, keys::kPortablePaths);
    flag(&Options::useShake, keys::kIsUseShake);
    flag(&Options::useHotKey, keys::kIsUseHotKey);
    flag(&Options::atPointer, keys::kShowAtPointer);
    if (hide != was.hide) ini_.WriteString(keys::kSetting, keys::kHideHotKey, hide);
    if (show != was.show) ini_.WriteString(keys::kSetting, keys::kShowHotKey, show);
    if (time != was.time) ini_.WriteInteger(keys::kSetting, keys::kShakeTime, time);
    if (speed != was.speed) ini_.WriteInteger(keys::kSetting, keys::kShakeSpeed, speed);
    appearance.Write(ini_);
  });
  appearance.Apply();  // before the hot keys, whose refusal stops OK
  host_.SetShakeSpeed(speed);
  host_.SetShakeTime(time);
  host_.SetUseShake(now.useShake);
  host_.SetShowAtPointer(now.atPointer);
  // A refused key throws here: the error box names it and the dialog stays open.
  if (useHotKey) {
    host_.SetShowHotKey(show);
    host_.SetHideHotKey(hide);
  } else {
    host_.ReleaseHotKeys();
  }
  Hide();
}

void TfrmSetting::Button1Click() { Hide(); }

void TfrmSetting::RenewStartupState() {
  // Asked afresh each time: the user or another program may add or delete the link.
  const std::optional<PathString> folder = StartupFolder(TApplication::Instance().OwnerWindow());
  const bool registered = folder && StartupLinkExists(RunningExecutablePath(), *folder);
  lblStartup.SetText(!folder       ? L"スタートアップフォルダーが見つかりません"
                     : registered ? L"スタートアップに登録されています"
                                  : L"スタートアップに登録されていません");
  const HWND focus = GetFocus();
  Button5.SetEnabled(folder && !registered);
  Button2.SetEnabled(folder && registered);
  // A button greyed under the keyboard's focus would leave the dialog with none: the
  // focus goes to the other one, which undoes what this one did.
  for (auto [greyed, other] : {std::pair{&Button5, &Button2}, std::pair{&Button2, &Button5}})
    if (focus == greyed->Handle() && !greyed->Enabled() && other->Enabled()) FocusField(other->Handle());
}

void TfrmSetting::Button5Click() {
  std::optional<PathString> folder = StartupFolder(TApplication::Instance().OwnerWindow());
  if (!folder) {
    RenewStartupState();
    ShowMessage(L"スタートアップフォルダーが見つからないため、登録できません");
    return;
  }
  std::wstring said = L"スタートアップに登録しました。次にWindowsにサインインしたときから自動で起動します";
  try {
    WriteStartupLink(RunningExecutablePath(), *folder);
  } catch (const EVantriError& e) {
    said = L"スタートアップに登録できませんでした。\n" + e.Message() + L"\nスタートアップフォルダー「" + *folder +
           L"」に書き込めるか確かめてから、もう一度お試しください";
  }
  RenewStartupState();
  ShowMessage(said);
}

void TfrmSetting::Button2Click() {
  std::optional<PathString> folder = StartupFolder(TApplication::Instance().OwnerWindow());
  if (!folder) {
    RenewStartupState();
    ShowMessage(L"スタートアップフォルダーが見つからないため、削除できません");
    return;
  }
  const PathString program = RunningExecutablePath();
  std::wstring said;
  try {
    said = RemoveStartupLink(program, *folder) ? L"スタートアップから削除しました"
                                               : L"スタートアップには登録されていませんでした";
  } catch (const EVantriError& e) {
    said = L"スタートアップから削除できませんでした。\n" + e.Message() + L"\nスタートアップフォルダー「" + *folder +
           L"」の「" + StartupLinkName(program) + L"」を手で削除してください";
  }
  RenewStartupState();
  ShowMessage(said);
}

LRESULT TfrmSetting::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NOTIFY && built_ && PageControl1.Notify(*reinterpret_cast<NMHDR*>(lParam))) return 0;
  return TDialogForm::HandleMessage(msg, wParam, lParam);
}

}  // namespace vl
