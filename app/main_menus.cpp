// TfrmMain's two menus, the page strip's and the tray icon's: one table each, built once
// with their pictures at the window's DPI, and the page strip's opened for the current
// button with the items that want one, and 「元に戻す」, set for it; and the page strip's
// commands that open what the buttons hold.
#include "app/frm_main.h"

#include "app/open_all.h"
#include "buttons/shell_helpers.h"
#include "core/settings_keys.h"

#include "gui/image_strip.h"
#include "gui/layout.h"

namespace vl {

namespace {

namespace keys = settings;

// The two menus, in menu order: caption, command, picture in the menu image strip, and
// the shortcut shown beside the caption. Commands of dialogs still to come are empty.
struct MenuItemDef {
  const wchar_t* caption;
  void (TfrmMain::*onClick)();
  int image;
  const wchar_t* shortcut = L"";
};

const MenuItemDef kPopupMenu1[] = {
    {L"元に戻す", &TfrmMain::UndoClick, -1, L"Ctrl+Z"},
    {L"-", nullptr, -1},
    {L"ボタンの削除", &TfrmMain::D1Click, 0},
    {L"ボタンのプロパティ", &TfrmMain::N4Click, 1},
    {L"-", nullptr, -1},
    {L"ページの新規作成", &TfrmMain::N2Click, 2},
    {L"ページの削除", &TfrmMain::N3Click, 3},
    {L"ページのプロパティ", &TfrmMain::N5Click, 4},
    {L"ページの書き出し…", &TfrmMain::ExportPageClick, -1},
    {L"ページの読み込み…", &TfrmMain::ImportPageClick, -1},
    {L"-", nullptr, -1},
    {L"ファイルの場所を開く", &TfrmMain::OpenFolderClick, -1},
    {L"管理者として実行", &TfrmMain::RunAsClick, -1},
    {L"-", nullptr, -1},
    {L"このページのボタンをすべて開く", &TfrmMain::OpenAllClick, -1},
};

const MenuItemDef kPopupMenu2[] = {
    {L"マウスを振って呼び出す", &TfrmMain::mnuMouseMoveClick, 5},
    {L"-", nullptr, -1},
    {L"表示", &TfrmMain::Show1Click, 6},
    {L"隠す", &TfrmMain::Hide1Click, 7, L"Esc"},
    {L"-", nullptr, -1},
    {L"バージョン情報", &TfrmMain::About1Click, 8},
    {L"ヘルプ", &TfrmMain::Help1Click, 9},
    {L"-", nullptr, -1},
    {L"環境設定", &TfrmMain::SettingClick, 10},
    {L"-", nullptr, -1},
    {L"終了", &TfrmMain::Exit1Click, 11},
};

}  // namespace

void TfrmMain::BuildMenus() {
  auto build = [&](TPopupMenu& menu, const auto& items) {
    for (const MenuItemDef& def : items) {
      TPopupMenu::ClickEvent onClick;
      if (def.onClick) onClick = [this, f = def.onClick] { (this->*f)(); };
      int index = menu.Add(def.caption, std::move(onClick), def.shortcut);
      if (def.onClick == &TfrmMain::mnuMouseMoveClick) mnuMouseMove_ = index;
      if (def.onClick == &TfrmMain::UndoClick) undoItem_ = index;
      if (def.onClick == &TfrmMain::N3Click) deletePageItem_ = index;
      if (def.onClick == &TfrmMain::OpenAllClick) openAllItem_ = index;
      if (def.onClick == &TfrmMain::OpenFolderClick || def.onClick == &TfrmMain::RunAsClick)
        boundButtonItems_.push_back(index);
    }
  };
  build(popupMenu1_, kPopupMenu1);
  build(popupMenu2_, kPopupMenu2);
  SetMenuImages();
}

void TfrmMain::SetMenuImages() {
  // The strip holds 16-pixel pictures; the menus show them at the window's DPI, each with
  // the system's gap before its item's text.
  const int dpi = DpiOf(Handle());
  std::vector<UniqueBitmap> images =
      LoadImageStrip(L"MENUIMAGES", 16, GetSysColor(COLOR_MENU), DesignToDevice(16, dpi));
  for (UniqueBitmap& image : images)
    if (UniqueBitmap spaced = WithGapAfter(image.get(), MenuImageGap(dpi), GetSysColor(COLOR_MENU)))
      image = std::move(spaced);
  auto set = [&](TPopupMenu& menu, const auto& items) {
    int index = 0;  // items keep the index of their place in the table
    for (const MenuItemDef& def : items) {
      if (def.image >= 0 && def.image < static_cast<int>(images.size()))
        menu.SetImage(index, std::move(images[static_cast<std::size_t>(def.image)]));
      ++index;
    }
  };
  set(popupMenu1_, kPopupMenu1);
  set(popupMenu2_, kPopupMenu2);
}

void TfrmMain::PopupPageMenu(POINT at) {
  SetForegroundWindow(Handle());
  std::optional<ButtonRef> pressed = CurrentButton();
  TLaunchBtn* button = pressed ? FindButton(*pressed) : nullptr;
  for (int item : boundButtonItems_) popupMenu1_.SetEnabled(item, button && button->Regist());
  popupMenu1_.SetCaption(undoItem_, undo_->Ready() ? L"元に戻す: " + undo_->Label() : L"元に戻す");
  popupMenu1_.SetEnabled(undoItem_, undo_->Ready());
  popupMenu1_.SetEnabled(deletePageItem_, base_->ActivePageIndex() > 0);  // see kFirstPageStays
  const TPage* page = pages_->OnDisplay();
  popupMenu1_.SetEnabled(openAllItem_, page && page->CountRegistered() > 0);
  popupMenu1_.Popup(at.x, at.y);
  PostMessageW(Handle(), WM_NULL, 0, 0);
}

void TfrmMain::OpenFolderClick() {
  std::optional<ButtonRef> pressed = CurrentButton();
  TLaunchBtn* button = pressed ? FindButton(*pressed) : nullptr;
  if (!button || !button->Regist()) return;
  if (!ShowInFolder(UsablePath(button->FullPath()))) return;
  if (ini_.ReadBool(keys::kSetting, keys::kHideWhenClickBtn, keys::kHideWhenClickBtnDefault))
    coolTrayIcon1_->HideMainWindow();
}

void TfrmMain::RunAsClick() {
  std::optional<ButtonRef> pressed = CurrentButton();
  TLaunchBtn* button = pressed ? FindButton(*pressed) : nullptr;
  if (!button || !button->Regist()) return;
  // A target that is gone is said instead; the consent prompt runs messages, and the
  // button may be gone after it.
  if (!button->Open(true) || button->Dimmed()) return;
  if (ini_.ReadBool(keys::kSetting, keys::kHideWhenClickBtn, keys::kHideWhenClickBtnDefault))
    coolTrayIcon1_->HideMainWindow();
}

void TfrmMain::OpenAllClick() {
  OpenAllButtons(*pages_, ini_, [this] { coolTrayIcon1_->HideMainWindow(); });
}

}  // namespace vl
