// Moving a launch button by dragging it: what a release at a point of the screen would do
// with the dragged button, the pointer that says so, and the move itself.
//
// Released over another button of its page, the button trades places with it (an empty
// one simply takes it); over the tab of another page, it goes to that page's first button
// that holds nothing, whether that page is built or not (when none is free, a message
// says so and nothing moves); anywhere else, over itself or its own tab included, nothing
// happens. A move reaches the settings file in one write (the sections of both pages
// together) or not at all: then the faces stay as the file is and the write error goes to
// the caller.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "app/page.h"
#include "gui/page_control.h"
#include "gui/track_tip.h"

namespace vl {

struct MoveTarget {
  enum Kind { kNothing, kSwap, kToPage, kPageFull };
  Kind kind = kNothing;
  TPage* page = nullptr;    // where the button would go (kSwap: its own page)
  std::int32_t button = 0;  // the button it would take there
};

// `pages` is the strip's list of pages, in tab order. A page not built is read from the
// file, and a file that cannot be read raises the write error.
MoveTarget MoveTargetAt(TPage& from, std::int32_t i, POINT screen, const TPageControl& strip,
                        const std::vector<std::unique_ptr<TPage>>& pages);
// The standard pointer for a release that would do `kind`: the move pointer (IDC_SIZEALL)
// where the button would move, the slashed circle (IDC_NO) where nothing would.
HCURSOR MoveCursor(MoveTarget::Kind kind);
// The release: the button moved, or the message for a page without a free button.
void MoveButton(TPage& from, std::int32_t i, const MoveTarget& target);

// How long the word on where a button went stays up.
inline constexpr UINT kMovedTipMs = 2000;
// A button dropped on the tab `tab` of the strip went to page `pageName`: says so at that
// tab for a moment.
void SayMoved(TTrackTip& tip, const TPageControl& strip, int tab, const std::wstring& pageName);

// The button a release would trade places with, drawn lit while the drag is over it. It
// holds the page's Id and the button's number, not a pointer: the page may be rebuilt or
// released while the drag goes on, and a button renewed or destroyed takes its light along.
class TDropLight {
 public:
  // Lights the button `target` would take (a swap), and puts out any other.
  void Follow(const std::vector<std::unique_ptr<TPage>>& pages, const MoveTarget& target);
  void Off(const std::vector<std::unique_ptr<TPage>>& pages) { Follow(pages, MoveTarget{}); }

 private:
  std::uint64_t pageId_ = 0;  // 0: nothing lit
  std::int32_t button_ = 0;
};

}  // namespace vl
