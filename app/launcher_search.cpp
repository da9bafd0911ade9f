#include "app/launcher_search.h"

#include <algorithm>

#include "core/number_text.h"
#include "core/page_grid.h"
#include "gui/layout.h"
#include "gui/theme.h"

namespace vl {

void TLauncherSearch::Begin() {
  // The pages as they stand now, the one on display first: its hits come first.
  std::vector<std::shared_ptr<const FoldedPage>> pages;
  const int shown = std::max(0, strip_.ActivePageIndex());
  const auto& list = pages_.List();
  const std::size_t count = list.size();
  ini_.Update([&] {  // the file looked at once, not once for each page
    for (std::size_t k = 0; k < count; ++k)
      pages.push_back(list[(static_cast<std::size_t>(shown) + k) % count]->SearchTexts());
  });
  search_.Begin(std::move(pages));
}

void TLauncherSearch::Type(wchar_t c) {
  if (!search_.Active()) Begin();
  search_.Type(c);
  Show();
}

void TLauncherSearch::Renew() {
  if (!search_.Active()) return;
  const std::wstring query = search_.Query();
  Begin();
  for (wchar_t c : query) search_.Type(c);
  // Neither the focus nor the page moves: this runs inside a drop or a drag, whose page
  // must not be released for room under it. The next key goes on from the first hit.
  MarkHits();
  if (line_) line_->Show(L" " + Line());  // a count the change moved is said
}

void TLauncherSearch::Backspace() {
  search_.Backspace();
  Show();
}

void TLauncherSearch::Step(bool next) {
  if (next)
    search_.Next();
  else
    search_.Previous();
  Show();
}

void TLauncherSearch::Show() {
  if (std::optional<SearchHit> hit = search_.Current()) host_.ShowHit(hit->pageNo, hit->btnIndex);
  MarkHits();
  const std::wstring line = Line();
  if (line.empty()) {
    HideLine();
    return;
  }
  if (!line_) {
    auto made = std::make_unique<TLiveText>(window_, SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_CENTERIMAGE);
    if (!made->Handle()) return;  // the search works on without its line
    SendMessageW(made->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    line_ = std::move(made);
  }
  if (!shown_) {
    // A strip of its own below the grid, so that it hides no button: the window grows by
    // it while the search runs.
    shown_ = true;
    host_.SetMainClientSize(pageClient_.cx, pageClient_.cy);
  }
  // Shown in place, after the hit took the focus: a reader says the button, then the count.
  line_->Show(L" " + line);
  InvalidateRect(line_->Handle(), nullptr, TRUE);
}

int TLauncherSearch::StripHeight() const { return DesignToDevice(kTabRowHeight, DpiOf(window_)); }

int TLauncherSearch::PlaceBelowPage(int width, int height) {
  pageClient_ = {width, height};
  const int strip = shown_ ? StripHeight() : 0;
  // The search line stays below the page, whose size a turn of the page or a DPI changes.
  if (strip && line_) SetWindowPos(line_->Handle(), HWND_TOP, 0, height, width, strip, SWP_NOACTIVATE);
  return strip;
}

RECT TLauncherSearch::StripRect() const {
  return {0, pageClient_.cy, pageClient_.cx, pageClient_.cy + StripHeight()};
}

void TLauncherSearch::HideLine() {
  if (line_) line_->Hide();
  if (!shown_) return;
  shown_ = false;
  host_.SetMainClientSize(pageClient_.cx, pageClient_.cy);
}

std::wstring TLauncherSearch::Line() const {
  if (!search_.Active()) return {};
  std::wstring line = L"検索: " + search_.Query() + L"  ";
  if (search_.Hits().empty()) return line + L"見つかりません";
  return line + DecimalText(static_cast<std::int32_t>(search_.Position() + 1)) + L"/" +
         DecimalText(static_cast<std::int32_t>(search_.Hits().size()));
}

void TLauncherSearch::Clear() {
  if (!search_.Active()) return;
  search_.Clear();
  MarkHits();
  HideLine();
}

void TLauncherSearch::MarkHits() {
  // Each button is set once: one cleared and marked again would be painted for nothing.
  const std::vector<SearchHit>& hits = search_.Hits();
  std::vector<char> marked;
  for (const auto& page : pages_.List()) {
    if (!page->Built()) continue;
    marked.assign(static_cast<std::size_t>(page->BtnCount()), 0);
    for (const SearchHit& hit : hits)
      if (hit.pageNo == page->PageNo() && hit.btnIndex >= 1 && hit.btnIndex <= page->BtnCount())
        marked[static_cast<std::size_t>(hit.btnIndex - 1)] = 1;
    for (std::int32_t i = 1; i <= page->BtnCount(); ++i)
      page->Button(i)->SetMarked(marked[static_cast<std::size_t>(i - 1)] != 0);
  }
}

std::optional<LRESULT> TLauncherSearch::Colour(HWND control, HDC dc) const {
  if (!line_ || control != line_->Handle()) return std::nullopt;
  const Palette& p = ThemePalette();
  SetTextColor(dc, p.infoText);
  SetBkColor(dc, p.infoBk);
  // The DC brush is the strip's own DC's: its colour lasts while the strip paints.
  SetDCBrushColor(dc, p.infoBk);
  return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
}

void TLauncherSearch::SetFont(HFONT font) {
  font_ = font;
  if (line_) SendMessageW(line_->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

}  // namespace vl
