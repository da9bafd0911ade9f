#include "dialogs/frm_page_option.h"

#include <algorithm>

#include "core/ini_values.h"
#include "core/number_text.h"
#include "core/page_grid.h"
#include "core/settings_keys.h"
#include "gui/message_box.h"
#include "gui/message_dialog.h"

namespace vl {
namespace {

namespace keys = settings;

// Every control's place, in designed pixels: left, top, width, height. Those in a group
// box are measured from the box's corner. Two columns under the name: the counts and
// sizes with their units on the left, the display and the font on the right; the buttons
// at the bottom right.
struct Layout {
  DesignRect client, lbeName, GroupBox2, GroupBox3, rgShowType, GroupBox1, Button2, Button1;
  DesignRect Label1, spnTate, lblTateUnit, Label2, spnYoko, lblYokoUnit;              // in GroupBox2
  DesignRect Label3, spnHeight, lblHeightUnit, Label4, spnWidth, lblWidthUnit;        // in GroupBox3
  DesignRect lblFontName, lblFontSize, Button3;                                       // in GroupBox1
};
constexpr Layout kLayout{
    .client = {0, 0, 352, 253},
    .lbeName = {48, 12, 296, 20},
    .GroupBox2 = {8, 40, 184, 80},
    .GroupBox3 = {8, 128, 184, 80},
    .rgShowType = {200, 40, 144, 80},
    .GroupBox1 = {200, 128, 144, 80},
    .Button2 = {168, 220, 84, 25},
    .Button1 = {260, 220, 84, 25},
    .Label1 = {8, 25, 44, 14},
    .spnTate = {56, 22, 56, 20},
    .lblTateUnit = {116, 25, 56, 14},
    .Label2 = {8, 51, 44, 14},
    .spnYoko = {56, 48, 56, 20},
    .lblYokoUnit = {116, 51, 56, 14},
    .Label3 = {8, 25, 44, 14},
    .spnHeight = {56, 22, 56, 20},
    .lblHeightUnit = {116, 25, 56, 14},
    .Label4 = {8, 51, 44, 14},
    .spnWidth = {56, 48, 56, 20},
    .lblWidthUnit = {116, 51, 56, 14},
    .lblFontName = {12, 20, 124, 14},
    .lblFontSize = {12, 36, 124, 14},
    .Button3 = {12, 52, 120, 22},
};

DialogParams Params() {
  DialogParams p;
  p.className = L"TfrmPageOption";
  p.caption = L"ページのプロパティ";
  p.width = kLayout.client.width;
  p.height = kLayout.client.height;
  return p;
}

// The grid cut below bound buttons: they leave the window, not the file.
std::wstring FewerButtonsQuestion(std::int32_t cells, std::int32_t hidden) {
  return L"ボタンの数を " + DecimalText(cells) + L" 個にすると、登録したボタンのうち " + DecimalText(hidden) +
         L" 個が表示されなくなります。\nそのボタンの登録は設定ファイルに残り、ボタンの数を増やすと元どおり表示されます。"
         L"\nよろしいですか？";
}

}  // namespace

TfrmPageOption::TfrmPageOption(TPageOptionHost& host)
    : TDialogForm(Params()),
      host_(host),
      ini_(SettingsFilePath()),
      lbeName(On(kLayout.lbeName, L"名前：")),
      GroupBox2(On(kLayout.GroupBox2, L"ボタンの数")),
      Label1(On(In(kLayout.GroupBox2, kLayout.Label1), L"行数："), SS_RIGHT),
      spnTate(On(In(kLayout.GroupBox2, kLayout.spnTate))),
      lblTateUnit(On(In(kLayout.GroupBox2, kLayout.lblTateUnit), L"個")),
      Label2(On(In(kLayout.GroupBox2, kLayout.Label2), L"列数："), SS_RIGHT),
      spnYoko(On(In(kLayout.GroupBox2, kLayout.spnYoko))),
      lblYokoUnit(On(In(kLayout.GroupBox2, kLayout.lblYokoUnit), L"個")),
      GroupBox3(On(kLayout.GroupBox3, L"ボタンの大きさ")),
      Label3(On(In(kLayout.GroupBox3, kLayout.Label3), L"高さ："), SS_RIGHT),
      spnHeight(On(In(kLayout.GroupBox3, kLayout.spnHeight))),
      lblHeightUnit(On(In(kLayout.GroupBox3, kLayout.lblHeightUnit), L"ピクセル")),
      Label4(On(In(kLayout.GroupBox3, kLayout.Label4), L"幅："), SS_RIGHT),
      spnWidth(On(In(kLayout.GroupBox3, kLayout.spnWidth))),
      lblWidthUnit(On(In(kLayout.GroupBox3, kLayout.lblWidthUnit), L"ピクセル")),
      rgShowType(On(kLayout.rgShowType, L"表示"), {L"両方", L"アイコン", L"テキスト"}),
      GroupBox1(On(kLayout.GroupBox1, L"フォント")),
      // A face name is the user's: "&" in it is no mnemonic, and a long one ends in "…".
      lblFontName(On(In(kLayout.GroupBox1, kLayout.lblFontName)), SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS),
      lblFontSize(On(In(kLayout.GroupBox1, kLayout.lblFontSize))),
      Button3(On(In(kLayout.GroupBox1, kLayout.Button3), L"フォントの変更")),
      Button2(On(kLayout.Button2, L"OK")),
      Button1(On(kLayout.Button1, L"キャンセル")) {
  FontDialog.Font.name = L"ＭＳ Ｐゴシック";
  // The page keeps a face, a size and a colour: no bold or italic to offer.
  FontDialog.OfferStyles = false;
  SetDefaultButton(&Button2);
  SetCancelButton(&Button1);
  OnShow = [this] { FormShow(); };
  Button3.OnClick = [this] { Button3Click(); };
  Button2.OnClick = [this] { Button2Click(); };
  Button1.OnClick = [this] { Button1Click(); };
}

TfrmPageOption::Shown TfrmPageOption::Current() const {
  return Shown{lbeName.Text(),     spnYoko.Value(),          spnTate.Value(),
               spnHeight.Value(),  spnWidth.Value(),         rgShowType.ItemIndex(),
               lblFontName.Text(), lblFontSize.Text()};
}

void TfrmPageOption::FormShow() {
  captured_ = host_.CurrentPage();
  if (!captured_) return;
  const std::wstring section = keys::PageSection(captured_->pageNo);
  std::int32_t showType = 0, fontSize = 0;
  const std::uint64_t missed = ini_.MissedReads();
  ini_.Update([&] {
    lbeName.SetText(ini_.ReadString(section, keys::kName, L""));
    spnYoko.SetValue(ini_.ReadInteger(section, keys::kYoko, keys::kGridDefault));
    spnTate.SetValue(ini_.ReadInteger(section, keys::kTate, keys::kGridDefault));
    spnHeight.SetValue(ini_.ReadInteger(section, keys::kBtnH, keys::kGridDefault));
    spnWidth.SetValue(ini_.ReadInteger(section, keys::kBtnW, keys::kGridDefault));
    showType = ini_.ReadInteger(section, keys::kShowType, keys::kShowTypeApplyDefault);
    lblFontName.SetText(ini_.ReadString(section, keys::kFontName, L""));
    fontSize = ini_.ReadInteger(section, keys::kFontSize, keys::kFontSizeDefault);
  });
  filledBlind_ = ini_.MissedReads() != missed;
  lblFontSize.SetText(DecimalText(fontSize));
  // Below the items chooses none; beyond them, the last.
  rgShowType.SetItemIndex(showType < 0 ? -1 : std::min(showType, rgShowType.Count() - 1));
  shown_ = Current();
  FontDialog.Font.points = fontSize;
  if (!shown_.fontName.empty()) FontDialog.Font.name = shown_.fontName;
}

void TfrmPageOption::Button3Click() {
  if (!FontDialog.Execute(Handle())) return;
  // Only the face and the size belong to the page: a style chosen goes no further.
  FontDialog.Font.bold = FontDialog.Font.italic = false;
  FontDialog.Font.underline = FontDialog.Font.strikeOut = false;
  lblFontName.SetText(FontDialog.Font.name);
  lblFontSize.SetText(DecimalText(FontDialog.Font.points));
}

TfrmPageOption::Refused TfrmPageOption::Refusal(const Shown& v) const {
  if (v.name.empty()) return {L"ページの名前を入力してください", lbeName.Handle()};
  const HWND grid = v.yoko < 1 || v.yoko > kMaxGridCells ? spnYoko.Handle() : spnTate.Handle();
  // Below one is no grid at all; the page could not build it.
  if (v.yoko < 1 || v.tate < 1) return {L"行数と列数は、どちらも1個以上にしてください", grid};
  if (v.yoko > kMaxGridCells || v.tate > kMaxGridCells)
    return {L"行数と列数は、どちらも" + DecimalText(kMaxGridCells) + L"個までにしてください", grid};
  auto outside = [](std::int32_t size) { return size < kMinBtnSize || size > kMaxBtnSize; };
  if (outside(v.btnH) || outside(v.btnW))
    return {L"ボタンの大きさは" + DecimalText(kMinBtnSize) + L"から" + DecimalText(kMaxBtnSize) +
                L"ピクセルまでにしてください",
            outside(v.btnH) ? spnHeight.Handle() : spnWidth.Handle()};
  return {};
}

void TfrmPageOption::Button2Click() {
  if (!captured_) {
    Hide();
    return;
  }
  auto gone = [this] {
    if (host_.HasPage(captured_->pageNo)) return false;
    // Deleted while the dialog was open: its section is no longer live, and nothing is
    // written into it.
    ShowMessage(L"このページはもうないため、変更は保存されません");
    Hide();
    return true;
  };
  if (gone()) return;
  if (filledBlind_) {
    // Filled while the file could not be read: the fields hold defaults, not the user's
    // values, and would wipe them. Filled again (from the file, if it reads now) instead.
    FormShow();
    throw ini_.WriteRefusal();
  }
  const Shown now = Current();
  if (Refused refused = Refusal(now); !refused.message.empty()) {
    ShowMessage(refused.message);
    if (Visible()) FocusField(refused.field);
    return;
  }
  // Counted now: a file dropped on the page while the dialog was open counts too.
  if (const std::int32_t hidden = host_.CountRegisteredPast(captured_->pageNo, now.yoko * now.tate).value_or(0);
      hidden > 0 && !Confirm(FewerButtonsQuestion(now.yoko * now.tate, hidden), kWarningCaption))
    return;
  if (gone()) return;
  const std::wstring section = keys::PageSection(captured_->pageNo);
  // One write: a refused one (shown in the error box) leaves the file and the page as
  // they were and the dialog open with the edits.
  host_.WillRewrite(captured_->pageNo);
  // Only what the user changed here: a key written as it was shown would put back a
  // value another program (a sync tool) changed while the dialog was open.
  ini_.Update([&] {
    if (now.name != shown_.name) ini_.WriteString(section, keys::kName, now.name);
    if (now.yoko != shown_.yoko) ini_.WriteInteger(section, keys::kYoko, now.yoko);
    if (now.tate != shown_.tate) ini_.WriteInteger(section, keys::kTate, now.tate);
    if (now.btnW != shown_.btnW) ini_.WriteInteger(section, keys::kBtnW, now.btnW);
    if (now.btnH != shown_.btnH) ini_.WriteInteger(section, keys::kBtnH, now.btnH);
    if (now.showType != shown_.showType) ini_.WriteInteger(section, keys::kShowType, now.showType);
    if (now.fontName != shown_.fontName) ini_.WriteString(section, keys::kFontName, FontDialog.Font.name);
    if (now.fontSize != shown_.fontSize) ini_.WriteInteger(section, keys::kFontSize, FontDialog.Font.points);
  });
  if (now != shown_) host_.RebuildPage(captured_->pageNo, now.name);
  Hide();
}

void TfrmPageOption::Button1Click() { Hide(); }

}  // namespace vl
