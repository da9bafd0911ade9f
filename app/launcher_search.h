// TLauncherSearch: type to find in the main window: the search of every page's button
// names and target file names as the user types, the strip below the grid that shows the
// text and the hit count, and the marks on the hits of the built pages.
//
// The strip is a child of the main window; while it shows, the window grows by its height
// below the page, so that it hides no button. A screen reader speaks the strip's line as
// it changes (gui/live_text), after the hit's button, which it hears take the focus. The
// search holds page and button numbers, never buttons (a page or button gone since is
// skipped). It calls the pages and the strip; it reaches the main window only through
// TSearchHost.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/page_set.h"
#include "core/button_search.h"
#include "core/ini_file.h"
#include "gui/live_text.h"
#include "gui/page_control.h"

namespace vl {

// What the search needs of the main window.
class TSearchHost {
 public:
  // Sizes the main window for a page of width x height pixels, the strip below it
  // included while it shows.
  virtual void SetMainClientSize(int width, int height) = 0;
  // The hit's page on display and the keyboard focus on its button.
  virtual void ShowHit(std::int32_t pageNo, std::int32_t btnIndex) = 0;

 protected:
  ~TSearchHost() = default;
};

class TLauncherSearch {
 public:
  // `window` is the main window, the strip's parent; `font` its font (we don't own it).
  TLauncherSearch(TSearchHost& host, HWND window, HFONT font, TPageSet& pages, const TPageControl& strip,
                  TIniFile& ini)
      : host_(host), window_(window), font_(font), pages_(pages), strip_(strip), ini_(ini) {}
  TLauncherSearch(const TLauncherSearch&) = delete;
  TLauncherSearch& operator=(const TLauncherSearch&) = delete;

  const ButtonSearch& Search() const { return search_; }
  bool Active() const { return search_.Active(); }
  // One more character: a search begins over the pages as they stand now.
  void Type(wchar_t c);
  // A running search found again over the buttons as they stand now, with the same text:
  // its hits follow a button that moved, was renamed or bound.
  void Renew();
  void Backspace();
  // The next (Down) or the previous hit, round the end.
  void Step(bool next);
  // The current hit focused (its page shown), the hits marked, the search line shown.
  void Show();
  // Ends a running search: its marks and its strip go.
  void Clear();
  // The text shown while a search runs; empty when none does.
  std::wstring Line() const;
  // Only built pages have buttons to mark; a page built later is marked when it shows.
  void MarkHits();

  // The main window's client size for a page of width x height: the strip is placed
  // below the page, and its height is returned (0 while it does not show).
  int PlaceBelowPage(int width, int height);
  // The strip's place in the main window's client area, in its pixels: where the strip
  // shows, or will show once a search begins.
  RECT StripRect() const;
  // The strip's colours, for WM_CTLCOLORSTATIC; none for another control.
  std::optional<LRESULT> Colour(HWND control, HDC dc) const;
  // The main window's font, made again at a new DPI.
  void SetFont(HFONT font);

 private:
  // Begins a search over the pages' texts as they stand now.
  void Begin();
  int StripHeight() const;
  void HideLine();

  TSearchHost& host_;
  HWND window_;
  HFONT font_;
  TPageSet& pages_;
  const TPageControl& strip_;
  TIniFile& ini_;
  ButtonSearch search_;
  std::unique_ptr<TLiveText> line_;  // the search text, in a strip below the grid
  bool shown_ = false;                // the window has grown by the strip
  SIZE pageClient_{0, 0};             // the client size the page asked for, without the strip
};

}  // namespace vl
