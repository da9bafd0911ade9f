// TfrmMain: the launcher's main window, a small tool window whose page strip holds one tab
// per page, with the strip's menu of page and button commands, the tray icon and its menu,
// the show hot key and the hide key.
//
// Created once at start (its creation step opens the settings file, builds every live page
// at the stored window position and registers the hot keys) and destroyed at exit, when it
// writes the page count and its position and lets every live page write its buttons back.
// Closing the window only hides it; "終了" ends the program. At shut-down or log-off it
// saves everything before Windows goes on. It is laid out at its monitor's DPI and again
// when it moves to a monitor of another scale; the position it stores is its place on the
// screen in the pixels it reads it in.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/button_move.h"
#include "app/call_up_place.h"
#include "app/drop_hint.h"
#include "app/foreground_return.h"
#include "app/file_takeover.h"
#include "app/keyboard_grid.h"
#include "app/launcher_search.h"
#include "app/page.h"
#include "app/page_control_ex.h"
#include "app/page_set.h"
#include "app/page_transfer.h"
#include "app/search_ime.h"
#include "app/shake_watch.h"
#include "app/show_hide_keys.h"
#include "app/target_sweep.h"
#include "app/undo_step.h"
#include "buttons/frm_btn_option.h"
#include "core/button_search.h"
#include "core/ini_file.h"
#include "dialogs/frm_about.h"
#include "dialogs/frm_page_option.h"
#include "dialogs/frm_setting.h"
#include "gui/application.h"
#include "gui/font.h"
#include "gui/popup_menu.h"
#include "gui/shell_drop.h"
#include "gui/window.h"
#include "showhide/cool_tray_icon.h"
#include "showhide/wait_hot_key.h"

namespace vl {

inline constexpr wchar_t kMainCaption[] = L"    -Vantri Launch-";
// The launcher always has a page, and the first tab is the one that stays: its menu item
// is greyed, and the command, should it come all the same, says why.
inline constexpr wchar_t kFirstPageStays[] =
    L"最初のページは削除できません。ランチャーにはいつも1ページ以上が必要で、最初のページがそのページだからです。"
    L"\n中のボタンは「ボタンの削除」で空けられます";

// The main window keeps the window itself (its place, its DPI, show and hide), the two
// menus and their commands and the tray icon; each other job has
// a room of its own that it owns and wires to the window: the pages (TPageSet), the
// keyboard (TKeyboardGrid), type to find (TLauncherSearch) and the input method in it
// (TSearchIme), the shake of the mouse
// (TShakeWatch), the show and hide keys (TShowHideKeys) and the takeover of a file held
// at start (TFileTakeover).
class TfrmMain : public TWindow,
                 public TPageHost,
                 public TSearchHost,
                 public TKeyboardHost,
                 public TBtnOptionHost,
                 public TPageOptionHost,
                 public TSettingHost {
 public:
  TfrmMain();
  ~TfrmMain() override;

  // The page of the selected tab fits the window to its grid.
  void BaseChange() override;
  // Pages not on display are released, the longest unseen first, when building a page
  // would take the windows of the process past this many. Tests set a smaller one.
  void SetWindowBudget(int windows) { pages_->SetWindowBudget(windows); }
  const std::vector<std::unique_ptr<TPage>>& PageList() const { return pages_->List(); }
  TPageControlEx& Base() { return *base_; }
  TCoolTrayIcon& CoolTrayIcon1() { return *coolTrayIcon1_; }
  TPopupMenu& PopupMenu1() { return popupMenu1_; }
  TPopupMenu& PopupMenu2() { return popupMenu2_; }
  TWaitHotKey& WaitHotKey() { return keys_->Show(); }
  TWaitHotKey& WaitHotKey1() { return keys_->Hide(); }
  std::int32_t PageNum() const { return pages_->PageNum(); }
  // Whether the start (or a later look) read the settings file. Until it could, the
  // launcher shows a stand-in page, writes neither "General" nor any page built from
  // defaults, and looks at the file every second; once it reads, it takes it up as a
  // start would.
  bool TakenUp() const { return takeover_->TakenUp(); }

  const ShakeParams& Shake() const { return shakeWatch_->Params(); }
  void SetShakeSpeed(std::int32_t value) override { shakeWatch_->SetSpeed(value); }
  void SetShakeTime(std::int32_t value) override { shakeWatch_->SetTime(value); }
  // The watch on or off, and the tray menu's check mark with it; nothing is written.
  void SetUseShake(bool on) override;
  // "ShowAtPointer": every call-up at the pointer's monitor; nothing is written.
  void SetShowAtPointer(bool on) override { place_->SetAtPointer(on); }
  bool ShowsAtPointer() const { return place_->AtPointer(); }
  // Both throw EWaitHotKey_Text, changing nothing, for a text that names no single key;
  // the show key also for a key that types in other programs unless Ctrl, Alt or Windows
  // is held with it (bare "Space" would be taken from every program).
  void SetShowHotKey(std::wstring_view text) override {
    // The tip says the key in force, also when the new one was refused.
    struct Renew {
      TfrmMain& form;
      ~Renew() { form.RenewTrayTip(); }
    } renew{*this};
    keys_->SetShowHotKey(text);
  }
  // A hide key with Ctrl, Alt or Windows, or one that types in no program (Shift+F5), is a
  // system-wide hot key; any other (such as "Esc", or Shift+A) works only while the
  // launcher has the keyboard focus, and leaves the key to every other program. Either way
  // WaitHotKey1 holds the key and its text.
  void SetHideHotKey(std::wstring_view text) override { keys_->SetHideHotKey(text); }
  // "ホットキーを使う" cleared: neither key calls the launcher up or sends it away.
  void ReleaseHotKeys() override {
    keys_->Release();
    RenewTrayTip();
  }

  // The dialogs the commands show, made after the main window; null while one is missing
  // (its creation failed), and its command then does nothing. We don't own them.
  void SetDialogs(TfrmBtnOption* btnOption, TfrmPageOption* pageOption, TfrmAbout* about,
                  TfrmSetting* setting = nullptr);

  // The commands of the page strip's menu and of the tray menu.
  // 「元に戻す」: the last deletion, move, button properties or smaller grid taken back.
  void UndoClick();
  void D1Click();  // delete button
  void N4Click();  // button properties
  void About1Click();
  void SettingClick();
  void N2Click();  // new page
  void N3Click();  // delete page
  void N5Click();  // page properties
  void ExportPageClick();  // the page on display to a page file
  void ImportPageClick();  // a page file as a new page
  void OpenFolderClick();  // the folder of the pressed button's target
  void RunAsClick();       // the pressed button's target as administrator
  void OpenAllClick();     // every bound button of the page on display
  void Help1Click();
  void Exit1Click();
  void Show1Click();
  void Hide1Click();
  void mnuMouseMoveClick();
  // One tick of the mouse watch: the shake gesture.
  void Timer1Timer() { shakeWatch_->Tick(); }

  // Type to find: the search of every page's button names and target file names, as the
  // user types in the launcher. Esc clears it, and so does hiding the launcher.
  const ButtonSearch& Search() const { return search_->Search(); }
  // The text shown while a search runs; empty when none does.
  std::wstring SearchLine() const { return search_->Line(); }
  // The input method composes in the launcher: no key is the launcher's meanwhile.
  bool Composing() const { return ime_->Composing(); }
  bool Timer1Enabled() const { return shakeWatch_->Enabled(); }
  // The watch is on but sleeps: the pointer rests, and the next move of the mouse wakes it.
  bool Timer1Resting() const { return shakeWatch_->Resting(); }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void PutUpTrayIcon();
  // The tray icon's tip: the product's name, and the show key while it calls.
  void RenewTrayTip();
  // TPageHost, TSearchHost
  TPageControl& PageStrip() override { return *base_; }
  void SetMainClientSize(int width, int height) override;
  void HideMainWindow() override;
  bool OnDisplay(const TPage& page) const override;
  // A drop, a move or the button dialog: a running search is found again, its hits found
  // at the buttons as they were.
  void ButtonsChanged() override;
  void MakeRoom(const TPage& page, std::int32_t windows) override { pages_->MakeRoom(page, windows); }
  void DragButton(TPage& page, std::int32_t i, POINT screen) override;
  void DropButton(TPage& page, std::int32_t i, POINT screen) override;
  void DragCalledOff() override;
  void ShowHit(std::int32_t pageNo, std::int32_t btnIndex) override { keyboard_->ShowHit(pageNo, btnIndex); }
  // TKeyboardHost
  void DeleteButton() override { D1Click(); }
  void Undo() override { UndoClick(); }
  void PopupPageMenu(POINT at) override;
  // TBtnOptionHost
  std::optional<ButtonRef> CurrentButton() override;
  TLaunchBtn* FindButton(const ButtonRef& ref) override {
    TPage* page = pages_->Find(ref.pageNo);
    return page ? pages_->BuiltButton(*page, ref.btnIndex) : nullptr;
  }
  void SaveButtons(std::int32_t pageNo) override {
    if (TPage* page = pages_->Find(pageNo)) page->SaveButtons();
  }
  void WillEdit(const ButtonRef& ref) override;
  void ButtonEdited(const ButtonRef& ref) override {
    if (TPage* page = pages_->Find(ref.pageNo)) page->NoteSaved(ref.btnIndex);
    undo_->Landed();
    ButtonsChanged();
  }
  // TPageOptionHost
  std::optional<PageRef> CurrentPage() override;
  bool HasPage(std::int32_t pageNo) override { return pages_->IndexOf(pageNo) >= 0; }
  std::optional<std::int32_t> CountRegisteredPast(std::int32_t pageNo, std::int32_t n) override {
    const TPage* page = pages_->Find(pageNo);
    return page ? std::optional(page->CountRegistered(n)) : std::nullopt;
  }
  void RebuildPage(std::int32_t pageNo, const std::wstring& caption) override;
  void WillRewrite(std::int32_t pageNo) override;

  void BuildMenus();
  // The menus' pictures at the window's DPI.
  void SetMenuImages();
  // WM_DPICHANGED: the window moved to a monitor of another scale.
  void DpiChanged(int dpi, const RECT& suggested);
  void FormCreate();
  // The file that could not be read at start reads now: the launcher takes it up.
  void TakeUpTheFile();
  void ClearPages();
  // At each look of the file: a change another program made to it is taken up, unless a
  // box, a menu or a drag is up; a page a dialog holds waits for it to close.
  void TakeUpOutsideChange();
  // The settings the launcher applies when it takes the file up, as the file has them.
  struct AppliedSettings {
    bool useShake = false, useHotKeys = false, atPointer = false;
    std::int32_t shakeSpeed = 0, shakeTime = 0;
    std::wstring showKey, hideKey;
    POINT place{};
  };
  AppliedSettings ReadAppliedSettings() const;
  bool HeldByDialog(std::int32_t pageNo) const;
  void WriteGeneral(const RECT& window);
  void SaveAtEndSession() noexcept;
  bool IsInsideBase(HWND hwnd) const;
  // ShowMainWindow, and the window in front even under the foreground lock.
  void ShowLauncher();
  // The user calls the launcher up: the window in front noted, the place chosen (at
  // `shake`, the pointer where a shake ended, or as "ShowAtPointer" says), then shown.
  void CallUp(std::optional<POINT> shake = std::nullopt);
  // The user sends it away without starting anything: the keyboard goes back.
  void PutAway();
  // A button of the page on display is being dragged.
  bool Dragging() const;
  // The same from the tray, its menu, a second copy or the shake of the mouse: the show
  // key's hook is put up again first.
  void ShowLauncherWithoutTheKey(std::optional<POINT> shake = std::nullopt);

  TIniFile ini_;
  UniqueFont baseFont_;
  std::unique_ptr<TPageControlEx> base_;
  // The rooms, made once the window and its strip are: the keyboard holds the search and
  // the pages, and goes first.
  std::unique_ptr<TPageSet> pages_;
  std::unique_ptr<TLauncherSearch> search_;
  std::unique_ptr<TSearchIme> ime_;
  std::unique_ptr<TKeyboardGrid> keyboard_;
  std::unique_ptr<TShakeWatch> shakeWatch_;
  std::unique_ptr<TCallUpPlace> place_;
  std::unique_ptr<TForegroundReturn> giveBack_;
  std::unique_ptr<TTargetSweep> sweep_;
  std::unique_ptr<TUndoStep> undo_;
  std::unique_ptr<TFileTakeover> takeover_;
  std::unique_ptr<TPageTransfer> transfer_;
  std::unique_ptr<TShellDrop> shellDrop_;  // what the shell drags that is no file
  TPopupMenu popupMenu1_;
  TPopupMenu popupMenu2_;
  int mnuMouseMove_ = -1;  // index of the watch item in PopupMenu2
  int undoItem_ = -1;      // and of 「元に戻す」 in PopupMenu1
  int deletePageItem_ = -1;  // and of 「ページの削除」
  int openAllItem_ = -1;     // and of 「このページのボタンをすべて開く」
  std::vector<int> boundButtonItems_;  // PopupMenu1's items that want a bound button
  std::unique_ptr<TCoolTrayIcon> coolTrayIcon1_;
  std::unique_ptr<TShowHideKeys> keys_;
  TfrmBtnOption* frmBtnOption_ = nullptr;
  TfrmPageOption* frmPageOption_ = nullptr;
  TfrmAbout* frmAbout_ = nullptr;
  TfrmSetting* frmSetting_ = nullptr;
  AppliedSettings settingsTakenUp_;
  // The window's place as the file was taken up: moved from it, the window writes its own.
  POINT placeTakenUp_{};
  std::vector<std::int32_t> waitingPages_;  // changed on disk while a dialog held them
  bool takingUp_ = false;
  TDropHint dropHint_;
  TDropLight dropLight_;
  // Where a button dropped on a tab went; the tip window goes with this window.
  std::unique_ptr<TTrackTip> movedTip_;
  bool firstStart_ = false;  // there was no settings file: the tray icon says where it lives
};

}  // namespace vl
