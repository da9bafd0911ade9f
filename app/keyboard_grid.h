// TKeyboardGrid: the launcher worked with the keyboard: the focus on the grid's buttons and
// its moves (the arrows, Home, End), the turn of page (Ctrl+Tab, Ctrl+PageDown), Tab
// between the page strip and the grid, the menu key, Delete, Ctrl+Z, and the keys of a running
// search (its text, Backspace, Up and Down, Esc). The input method's keys are never the
// launcher's: neither a key it takes nor any key while it composes.
//
// It sees every key of the application's message loop before the window it is meant for
// (a filter it holds for as long as it lives) and takes only those pressed in the main
// window or one of its controls. It calls the pages, the strip and the search; it
// reaches the main window only through TKeyboardHost.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/launcher_search.h"
#include "app/page_set.h"
#include "app/search_ime.h"
#include "core/page_grid.h"
#include "gui/application.h"
#include "gui/page_control.h"

namespace vl {

// What the keyboard needs of the main window.
class TKeyboardHost {
 public:
  // The page of the selected tab fits the window to its grid.
  virtual void BaseChange() = 0;
  // The delete-button command, on the current button.
  virtual void DeleteButton() = 0;
  // The page strip's menu for the current button, at `at` on the screen.
  virtual void PopupPageMenu(POINT at) = 0;
  // 「元に戻す」 (Ctrl+Z).
  virtual void Undo() = 0;

 protected:
  ~TKeyboardHost() = default;
};

class TKeyboardGrid {
 public:
  // `window` is the main window; the strip is its page strip. While `ime` composes, no
  // key is the launcher's.
  TKeyboardGrid(TKeyboardHost& host, HWND window, TPageSet& pages, TPageControl& strip, TLauncherSearch& search,
                const TSearchIme& ime);
  TKeyboardGrid(const TKeyboardGrid&) = delete;
  TKeyboardGrid& operator=(const TKeyboardGrid&) = delete;

  // The keyboard focus to the selected page's last used button, else its first, or to the
  // window when the page has none.
  void FocusLastButton();
  // The page of a search's hit on display, the focus on its button; nothing for a page
  // deleted since.
  void ShowHit(std::int32_t pageNo, std::int32_t btnIndex);
  // The page strip's menu for the focused button, at the button.
  void ShowMenuOfFocusedButton();

 private:
  // The focus to button i of the page on display, which becomes its current button.
  void FocusButton(TPage& page, std::int32_t i);
  // The number of the selected page's button that has the keyboard focus; 0 for none.
  std::int32_t FocusedButton(TPage& page) const;
  // true when the key was the launcher's.
  bool LauncherKey(const MSG& msg);
  bool LauncherKeyDown(UINT key);
  void MoveFocus(GridMove move);
  // The next (+1) or previous (-1) page, round the end, the focus in its grid.
  void TurnPage(int delta);

  TKeyboardHost& host_;
  HWND window_;
  TPageSet& pages_;
  TPageControl& strip_;
  TLauncherSearch& search_;
  const TSearchIme& ime_;
  TApplication::Hook filter_;
};

}  // namespace vl
