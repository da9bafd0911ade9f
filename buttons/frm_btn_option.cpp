#include "buttons/frm_btn_option.h"

#include "buttons/shell_helpers.h"
#include "core/settings_keys.h"
#include "gui/message_box.h"

namespace vl {
namespace {

namespace keys = settings;

// Every control's place, in designed pixels: left, top, width, height. Those in a group
// box are measured from the box's corner.
struct Layout {
  DesignRect client, GroupBox1, GroupBox2, BtnCancel, BtnOk;
  DesignRect lbeName, lbeLocate, lbeWorkDir, lbeArguments, cmbShow, chkAdmin, BtnBrows;  // in GroupBox1
  DesignRect chkIsUseIcon, BtnBrows2, lbeIconLocate;            // in GroupBox2
};
// The edits start after the longest of their labels ("作業フォルダー："), which the
// labels' own measuring puts at their left.
constexpr Layout kLayout{
    .client = {0, 0, 353, 357},
    .GroupBox1 = {8, 8, 337, 205},
    .GroupBox2 = {8, 220, 337, 97},
    .BtnCancel = {256, 324, 89, 25},
    .BtnOk = {160, 324, 89, 25},
    .lbeName = {112, 24, 209, 20},
    .lbeLocate = {112, 52, 169, 20},
    .lbeWorkDir = {112, 80, 209, 20},
    .lbeArguments = {112, 108, 209, 20},
    .cmbShow = {112, 136, 129, 20},
    .chkAdmin = {112, 166, 209, 17},
    .BtnBrows = {288, 52, 33, 20},
    .chkIsUseIcon = {12, 24, 200, 17},
    .BtnBrows2 = {288, 24, 33, 20},
    .lbeIconLocate = {112, 56, 209, 20},
};

DialogParams Params() {
  DialogParams p;
  p.className = L"TfrmBtnOption";
  p.caption = L"ボタンのプロパティ";
  p.width = kLayout.client.width;
  p.height = kLayout.client.height;
  return p;
}

}  // namespace

TfrmBtnOption::TfrmBtnOption(TBtnOptionHost& host)
    : TDialogForm(Params()),
      host_(host),
      ini_(SettingsFilePath()),
      brows1Font_(FormFont(PixelFont(L"ＭＳ ゴシック", 11, false, SHIFTJIS_CHARSET))),
      brows2Font_(FormFont(PixelFont(L"ＭＳ Ｐゴシック", 11, false, SHIFTJIS_CHARSET))),
      GroupBox1(On(kLayout.GroupBox1, L"ボタン")),
      lbeName(On(In(kLayout.GroupBox1, kLayout.lbeName), L"名前：")),
      lbeLocate(On(In(kLayout.GroupBox1, kLayout.lbeLocate), L"場所：")),
      lbeWorkDir(On(In(kLayout.GroupBox1, kLayout.lbeWorkDir), L"作業フォルダー：")),
      lbeArguments(On(In(kLayout.GroupBox1, kLayout.lbeArguments), L"引数：")),
      cmbShow(On(In(kLayout.GroupBox1, kLayout.cmbShow), L"実行時の大きさ："), {L"通常のウィンドウ", L"最小化", L"最大化"}),
      chkAdmin(On(In(kLayout.GroupBox1, kLayout.chkAdmin), L"管理者として実行する")),
      BtnBrows(On(In(kLayout.GroupBox1, kLayout.BtnBrows), L"参照")),
      GroupBox2(On(kLayout.GroupBox2, L"アイコン")),
      chkIsUseIcon(On(In(kLayout.GroupBox2, kLayout.chkIsUseIcon), L"別のアイコンを使う")),
      BtnBrows2(On(In(kLayout.GroupBox2, kLayout.BtnBrows2), L"参照")),
      lbeIconLocate(On(In(kLayout.GroupBox2, kLayout.lbeIconLocate), L"場所：")),
      BtnCancel(On(kLayout.BtnCancel, L"キャンセル")),
      BtnOk(On(kLayout.BtnOk, L"OK")) {
  BtnBrows.SetFont(brows1Font_);
  BtnBrows2.SetFont(brows2Font_);
  SetDefaultButton(&BtnOk);
  SetCancelButton(&BtnCancel);
  OnShow = [this] { FormShow(); };
  chkIsUseIcon.OnClick = [this] { chkIsUseIconClick(); };
  BtnBrows.OnClick = [this] { BtnBrowsClick(); };
  BtnBrows2.OnClick = [this] { BtnBrows2Click(); };
  BtnOk.OnClick = [this] { BtnOkClick(); };
  BtnCancel.OnClick = [this] { BtnCancelClick(); };
}

void TfrmBtnOption::Open() {
  if (Visible()) {
    // The user chose the command on another button: the dialog turns to that one rather
    // than go on editing the first behind the user's back.
    std::optional<TBtnOptionHost::ButtonRef> current = host_.CurrentButton();
    if (current && current != captured_) FormShow();
  }
  Show();
}

void TfrmBtnOption::FormShow() {
  captured_ = host_.CurrentButton();
  if (!captured_) return;
  // The file first takes what the page's buttons hold now (a drop since the last save).
  host_.SaveButtons(captured_->pageNo);
  if (TLaunchBtn* button = host_.FindButton(*captured_)) Fill(StoredButton::Of(*button));
}

void TfrmBtnOption::Fill(const StoredButton& button) {
  // From the button itself, which the file now holds: no read that could miss the file,
  // and no value cut to the file's length.
  lbeName.SetText(button.name);
  lbeLocate.SetText(button.fullPath);
  lbeWorkDir.SetText(button.workDir);
  lbeArguments.SetText(button.options.arguments);
  cmbShow.SetItemIndex(button.options.show);
  chkAdmin.SetChecked(button.options.admin);
  // An icon file other than the target means the user chose one; the folder icon a drop
  // gives a folder was chosen by nobody.
  const bool other = button.iconPath != button.fullPath && !IsFolderIcon(button.iconPath);
  chkIsUseIcon.SetChecked(other);
  BtnBrows2.SetEnabled(other);
  lbeIconLocate.SetEnabled(other);
  // Always this button's own: the dialog lives on, and its field held the last button's.
  lbeIconLocate.SetText(other ? button.iconPath : button.fullPath);
  shown_ = button;
  filled_ = Edited();
}

StoredButton TfrmBtnOption::Edited() const {
  StoredButton f{.fullPath = lbeLocate.Text(),
                 .name = lbeName.Text(),
                 .iconPath = {},
                 .workDir = lbeWorkDir.Text(),
                 .options = {lbeArguments.Text(), LaunchOptions::ShowFrom(cmbShow.ItemIndex()), chkAdmin.Checked()}};
  const std::wstring otherIcon = lbeIconLocate.Text();
  if (chkIsUseIcon.Checked() && !otherIcon.empty())
    f.iconPath = otherIcon;
  else if (f.fullPath == shown_.fullPath && IsFolderIcon(shown_.iconPath))
    f.iconPath = shown_.iconPath;  // a folder keeps the icon its drop gave it, as it is stored
  else
    f.iconPath = f.fullPath;
  return f;
}

void TfrmBtnOption::chkIsUseIconClick() {
  // The icon's own fields are usable exactly while the box is ticked.
  BtnBrows2.SetEnabled(chkIsUseIcon.Checked());
  lbeIconLocate.SetEnabled(chkIsUseIcon.Checked());
}

void TfrmBtnOption::BtnBrowsClick() {
  if (OpenDialog.Execute(Handle())) lbeLocate.SetText(OpenDialog.FileName);
}

void TfrmBtnOption::BtnBrows2Click() {
  if (OpenDialog.Execute(Handle())) lbeIconLocate.SetText(OpenDialog.FileName);
}

void TfrmBtnOption::BtnOkClick() {
  if (!captured_) {
    Hide();
    return;
  }
  TLaunchBtn* button = host_.FindButton(*captured_);
  if (!button) {
    // Its page was deleted (or its grid shrank) while the dialog was open: the page's
    // section is no longer live, and nothing is written into it.
    ShowMessage(L"このボタンはもうないため、変更は保存されません");
    Hide();
    return;
  }
  const StoredButton now = Edited();
  if (StoredButton::Of(*button) != shown_) {
    // The button changed while the dialog was open (a drop, the delete command). Left
    // untouched here, the change stands; else the user sees it before choosing again.
    if (now == filled_) {
      Hide();
      return;
    }
    Fill(StoredButton::Of(*button));
    ShowMessage(L"このボタンは開いている間に変更されました。いまの内容を表示します");
    return;
  }
  const std::wstring section = keys::PageSection(captured_->pageNo);
  const std::int32_t i = captured_->btnIndex;
  // An empty location unbinds the button as the delete command does: a bound button
  // without a target would refuse drops and open nothing.
  const StoredButton f = now.fullPath.empty() ? StoredButton{} : now;
  // All its keys in one write, before the button changes: a refused write (shown in the
  // error box) leaves the button as the file has it and the dialog open with the edits.
  host_.WillEdit(*captured_);
  ini_.Update([&] { f.Write(ini_, section, i); });
  if (f.fullPath.empty()) {
    button->ClearButton();
    button->SetCaption(L"");
    host_.ButtonEdited(*captured_);
    Hide();
    return;
  }
  f.Into(*button);
  // With a target it is bound, as the next start would find it.
  button->SetRegist(true);
  const std::wstring& name = f.name;
  switch (button->ShowType()) {
    case st_Both:
      button->SetCaption(name);
      button->LoadGlyph();
      break;
    case st_TextOnly:
      button->SetCaption(name);
      break;
    case st_IconOnly:
      button->LoadGlyph();
      break;
  }
  button->CheckTarget();
  button->RenewHint();
  host_.ButtonEdited(*captured_);
  Hide();
}

void TfrmBtnOption::BtnCancelClick() { Hide(); }

}  // namespace vl
