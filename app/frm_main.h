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
#include <string>
#include <string_view>
#include <vector>

#include "app/page.h"
#include "app/page_control_ex.h"
#include "buttons/frm_btn_option.h"
#include "core/button_search.h"
#include "core/ini_file.h"
#include "core/page_grid.h"
#include "core/shake_gesture.h"
#include "gui/platform/mouse_move_waiter.h"
#include "dialogs/frm_about.h"
#include "dialogs/frm_page_option.h"
#include "dialogs/frm_setting.h"
#include "gui/application.h"
#include "gui/font.h"
#include "gui/popup_menu.h"
#include "gui/window.h"
#include "showhide/cool_tray_icon.h"
#include "showhide/wait_hot_key.h"

namespace vl {

inline constexpr wchar_t kMainCaption[] = L"    -Vantri Launch-";
// The windows the launcher holds at most, whatever the user opens: half of what Windows
// allows a process by default (10,000 user objects), so that a page of 40 x 40 buttons
// can always be built, and menus, icons and the system's own windows keep their room.
inline constexpr int kWindowBudget = 5000;

class TfrmMain : public TWindow,
                 public TPageHost,
                 public TBtnOptionHost,
                 public TPageOptionHost,
                 public TSettingHost {
 public:
  TfrmMain();
  ~TfrmMain() override;

  void AddPage(std::int32_t pageNo, std::wstring_view mode, TPage::Build when = TPage::Build::Now);
  // The page of the selected tab fits the window to its grid.
  void BaseChange();
  // The page of the selected tab, built; null when there is none.
  TPage* SelectedPage();
  // The page of the selected tab as it is, built or not, its showing not counted.
  TPage* PageOnDisplay() const;
  // Pages not on display are released, the longest unseen first, when building a page
  // would take the windows of the process past this many. Tests set a smaller one.
  void SetWindowBudget(int windows) { windowBudget_ = windows; }
  const std::vector<std::unique_ptr<TPage>>& PageList() const { return pageList_; }
  TPageControlEx& Base() { return *base_; }
  TCoolTrayIcon& CoolTrayIcon1() { return *coolTrayIcon1_; }
  TPopupMenu& PopupMenu1() { return popupMenu1_; }
  TPopupMenu& PopupMenu2() { return popupMenu2_; }
  TWaitHotKey& WaitHotKey() { return waitHotKey_; }
  TWaitHotKey& WaitHotKey1() { return waitHotKey1_; }
  std::int32_t PageNum() const { return pageNum_; }
  // Whether the start (or a later look) read the settings file. Until it could, the
  // launcher shows a stand-in page, writes neither "General" nor any page built from
  // defaults, and looks at the file every second; once it reads, it takes it up as a
  // start would.
  bool TakenUp() const { return takenUp_; }

  const ShakeParams& Shake() const { return shake_; }
  void SetShakeSpeed(std::int32_t value) override;
  void SetShakeTime(std::int32_t value) override;
  // The watch on or off, and the tray menu's check mark with it; nothing is written.
  void SetUseShake(bool on) override;
  // Both throw EWaitHotKey_Text, changing nothing, for a text that names no single key;
  // the show key also for a key that types in other programs unless Ctrl, Alt or Windows
  // is held with it (bare "Space" would be taken from every program).
  void SetShowHotKey(std::wstring_view text) override;
  // A hide key with Ctrl, Alt or Windows, or one that types in no program (Shift+F5), is a
  // system-wide hot key; any other (such as "Esc", or Shift+A) works only while the
  // launcher has the keyboard focus, and leaves the key to every other program. Either way
  // WaitHotKey1 holds the key and its text.
  void SetHideHotKey(std::wstring_view text) override;
  // "ホットキーを使う" cleared: neither key calls the launcher up or sends it away.
  void ReleaseHotKeys() override;

  // The dialogs the commands show, made after the main window; null while one is missing
  // (its creation failed), and its command then does nothing. We don't own them.
  void SetDialogs(TfrmBtnOption* btnOption, TfrmPageOption* pageOption, TfrmAbout* about,
                  TfrmSetting* setting = nullptr);

  // The commands of the page strip's menu and of the tray menu.
  void D1Click();  // delete button
  void N4Click();  // button properties
  void About1Click();
  void SettingClick();
  void N2Click();  // new page
  void N3Click();  // delete page
  void N5Click();  // page properties
  void OpenFolderClick();  // the folder of the pressed button's target
  void RunAsClick();       // the pressed button's target as administrator
  void Help1Click();
  void Exit1Click();
  void Show1Click();
  void Hide1Click();
  void mnuMouseMoveClick();
  // One tick of the mouse watch: the shake gesture.
  void Timer1Timer();

  // Type to find: the search of every page's button names and target file names, as the
  // user types in the launcher. Esc clears it, and so does hiding the launcher.
  const ButtonSearch& Search() const { return search_; }
  // The text shown while a search runs; empty when none does.
  std::wstring SearchLine() const;
  bool Timer1Enabled() const { return timer1Enabled_; }
  // The watch is on but sleeps: the pointer rests, and the next move of the mouse wakes it.
  bool Timer1Resting() const { return restingPointer_.Waiting(); }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void RestUntilTheMouseMoves(POINT at);
  void PutUpTrayIcon();
  // TPageHost
  TPageControl& PageStrip() override { return *base_; }
  void SetMainClientSize(int width, int height) override;
  void HideMainWindow() override;
  void MakeRoom(const TPage& page, std::int32_t windows) override;
  void DragButton(TPage& page, std::int32_t i, POINT screen) override;
  void DropButton(TPage& page, std::int32_t i, POINT screen) override;
  // TBtnOptionHost
  std::optional<ButtonRef> CurrentButton() override;
  TLaunchBtn* FindButton(const ButtonRef& ref) override;
  void SaveButtons(std::int32_t pageNo) override;
  // TPageOptionHost
  std::optional<PageRef> CurrentPage() override;
  bool HasPage(std::int32_t pageNo) override { return IndexOfPage(pageNo) >= 0; }
  std::optional<std::int32_t> CountRegistered(std::int32_t pageNo) override;
  void RebuildPage(std::int32_t pageNo, const std::wstring& caption) override;

  void BuildMenus();
  // The menus' pictures at the window's DPI.
  void SetMenuImages();
  // WM_DPICHANGED: the window moved to a monitor of another scale.
  void DpiChanged(int dpi, const RECT& suggested);
  // Makes a page with the next free number, or says that none is left.
  void NewPage();
  // The position of page pageNo in PageList; -1 when there is no such page.
  int IndexOfPage(std::int32_t pageNo) const;
  // The built pages, the one unseen the longest first (one built but never shown, such as
  // a new page, before any shown).
  std::vector<TPage*> LongestUnseenFirst() const;
  void SetTimer1Enabled(bool enabled);
  void FormCreate();
  void RegisterHotKeys();
  // Whether a read of the settings file now reaches the file.
  bool FileReadsNow() const;
  void TakeUpTheFile();
  void ClearPages();
  void WriteGeneral(const RECT& window);
  void SaveAtEndSession() noexcept;
  bool IsInsideBase(HWND hwnd) const;
  // Whether msg is a press of the hide key without modifiers, in the launcher.
  bool IsLocalHideKey(const MSG& msg) const;
  // ShowMainWindow, and the window in front even under the foreground lock.
  void ShowLauncher();
  // The same from the tray, its menu or the shake of the mouse: the show key's hook is put
  // up again first.
  void ShowLauncherWithoutTheKey();
  // The keyboard focus to the selected page's last used button, else its first, or to the
  // window when the page has none.
  void FocusLastButton();
  // The focus to button i of the page on display, which becomes its current button.
  void FocusButton(TPage& page, std::int32_t i);
  // The number of the selected page's button that has the keyboard focus; 0 for none.
  std::int32_t FocusedButton(TPage& page) const;
  // The launcher's keys (the grid, the pages, the search), seen before any window of it
  // gets them; true when the key was the launcher's.
  bool LauncherKey(const MSG& msg);
  bool LauncherKeyDown(UINT key);
  void MoveFocus(GridMove move);
  // The next (+1) or previous (-1) page, round the end, the focus in its grid.
  void TurnPage(int delta);
  // The page strip's menu for the pressed or focused button, at `at` on the screen.
  void PopupPageMenu(POINT at);
  void ShowMenuOfFocusedButton();
  void SearchType(wchar_t c);
  // The current hit focused (its page shown), the hits marked, the search line shown.
  void ShowSearch();
  void ClearSearch();
  void HideSearchLine();
  int SearchStripHeight() const;
  void MarkHits();
  // Moves a window about to be shown wholly into the work area of the nearest monitor.
  void KeepInWorkArea(WINDOWPOS& pos) const;

  TIniFile ini_;
  UniqueFont baseFont_;
  std::unique_ptr<TPageControlEx> base_;
  std::vector<std::unique_ptr<TPage>> pageList_;  // in tab order
  // Page numbers in the order they were last on display, the last shown at the back.
  std::vector<std::int32_t> shownOrder_;
  int windowBudget_ = kWindowBudget;
  TPopupMenu popupMenu1_;
  TPopupMenu popupMenu2_;
  int mnuMouseMove_ = -1;  // index of the watch item in PopupMenu2
  std::vector<int> boundButtonItems_;  // PopupMenu1's items that want a bound button
  std::unique_ptr<TCoolTrayIcon> coolTrayIcon1_;
  TWaitHotKey waitHotKey_;   // show
  TWaitHotKey waitHotKey1_;  // hide
  int localHideKey_ = 0;     // the hide key's code while it acts only in the launcher, else 0
  bool localHideShift_ = false;  // with Shift held
  TApplication::Hook keyboardFilter_;  // before the hide key's: Esc clears a search first
  TApplication::Hook hideKeyFilter_;
  ButtonSearch search_;
  UniqueWindow searchLine_;  // the search text, in a strip below the grid
  bool searchStrip_ = false;  // the window has grown by the strip
  SIZE pageClient_{0, 0};     // the client size the page asked for, without the strip
  std::int32_t pageNum_ = -1;
  bool takenUp_ = false;
  ShakeParams shake_;
  ShakeState gesture_{{0, 0}};
  bool timer1Enabled_ = false;
  // With the watch on and the pointer at rest, sampling stops until the mouse moves.
  TMouseMoveWaiter restingPointer_;
  TfrmBtnOption* frmBtnOption_ = nullptr;
  TfrmPageOption* frmPageOption_ = nullptr;
  TfrmAbout* frmAbout_ = nullptr;
  TfrmSetting* frmSetting_ = nullptr;
};

}  // namespace vl
