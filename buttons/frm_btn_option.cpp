#include "buttons/frm_btn_option.h"

#include "core/settings_keys.h"
#include "gui/message_box.h"

namespace vl {
namespace {

namespace keys = settings;

// Every control's place, in designed pixels: left, top, width, height. Those in a group
// box are measured from the box's corner.
struct Layout {
  DesignRect client, GroupBox1, GroupBox2, BtnCancel, BtnOk;
  DesignRect lbeName, lbeLocate, lbeWorkDir, BtnBrows;          // in GroupBox1
  DesignRect chkIsUseIcon, BtnBrows2, lbeIconLocate;            // in GroupBox2
};
constexpr Layout kLayout{
    .client = {0, 0, 313, 273},
    .GroupBox1 = {8, 8, 297, 121},
    .GroupBox2 = {8, 136, 297, 97},
    .BtnCancel = {216, 240, 89, 25},
    .BtnOk = {112, 240, 89, 25},
    .lbeName = {48, 24, 233, 20},
    .lbeLocate = {48, 52, 193, 20},
    .lbeWorkDir = {92, 80, 189, 20},
    .BtnBrows = {248, 52, 33, 19},
    .chkIsUseIcon = {48, 24, 113, 17},
    .BtnBrows2 = {248, 24, 33, 19},
    .lbeIconLocate = {48, 56, 233, 20},
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
      lbeWorkDir(On(In(kLayout.GroupBox1, kLayout.lbeWorkDir), L"作業フォルダ：")),
      BtnBrows(On(In(kLayout.GroupBox1, kLayout.BtnBrows), L"参照")),
      GroupBox2(On(kLayout.GroupBox2, L"アイコン")),
      chkIsUseIcon(On(In(kLayout.GroupBox2, kLayout.chkIsUseIcon), L"別のアイコンを使う")),
      BtnBrows2(On(In(kLayout.GroupBox2, kLayout.BtnBrows2), L"参照")),
      lbeIconLocate(On(In(kLayout.GroupBox2, kLayout.lbeIconLocate), L"場所：")),
      BtnCancel(On(kLayout.BtnCancel, L"キャンセル")),
      BtnOk(On(kLayout.BtnOk, L"OK")) {
  BtnBrows.SetFont(brows1Font_);
  BtnBrows2.SetFont(brows2Font_);
  SetDefaultButton(&BtnOk);  // Esc is bound to no button here
  OnShow = [this] { FormShow(); };
  chkIsUseIcon.OnClick = [this] { chkIsUseIconClick(); };
  BtnBrows.OnClick = [this] { BtnBrowsClick(); };
  BtnBrows2.OnClick = [this] { BtnBrows2Click(); };
  BtnOk.OnClick = [this] { BtnOkClick(); };
  BtnCancel.OnClick = [this] { BtnCancelClick(); };
}

void TfrmBtnOption::FormShow() {
  captured_ = host_.CurrentButton();
  if (!captured_) return;
  const std::wstring section = keys::PageSection(captured_->pageNo);
  const std::int32_t i = captured_->btnIndex;
  // The file first takes what the page's buttons hold now (a drop since the last save).
  host_.SaveButtons(captured_->pageNo);
  std::wstring icon;
  ini_.Update([&] {
    lbeName.SetText(ini_.ReadString(section, keys::ButtonKey(keys::kBtnName, i), L""));
    lbeLocate.SetText(ini_.ReadString(section, keys::ButtonKey(keys::kBtnFP, i), L""));
    lbeWorkDir.SetText(ini_.ReadString(section, keys::ButtonKey(keys::kWD, i), L""));
    icon = ini_.ReadString(section, keys::ButtonKey(keys::kBtnIP, i), L"");
  });
  // An icon file other than the target means the user chose one.
  const bool other = icon != lbeLocate.Text();
  chkIsUseIcon.SetChecked(other);
  BtnBrows2.SetEnabled(other);
  lbeIconLocate.SetEnabled(other);
  if (other) lbeIconLocate.SetText(icon);
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
  const std::wstring section = keys::PageSection(captured_->pageNo);
  const std::int32_t i = captured_->btnIndex;
  const std::wstring name = lbeName.Text(), locate = lbeLocate.Text(), workDir = lbeWorkDir.Text();
  const std::wstring otherIcon = lbeIconLocate.Text();
  const std::wstring& icon = chkIsUseIcon.Checked() && !otherIcon.empty() ? otherIcon : locate;
  // All four keys in one write, before the button changes: a refused write (shown in the
  // error box) leaves the button as the file has it and the dialog open with the edits.
  ini_.Update([&] {
    ini_.WriteString(section, keys::ButtonKey(keys::kBtnName, i), name);
    ini_.WriteString(section, keys::ButtonKey(keys::kBtnFP, i), locate);
    ini_.WriteString(section, keys::ButtonKey(keys::kWD, i), workDir);
    ini_.WriteString(section, keys::ButtonKey(keys::kBtnIP, i), icon);
  });
  button->SetBtnName(name);
  button->SetFullPath(locate);
  button->SetWorkDir(workDir);
  button->SetIconPath(icon);
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
  Hide();
}

void TfrmBtnOption::BtnCancelClick() { Hide(); }

}  // namespace vl
