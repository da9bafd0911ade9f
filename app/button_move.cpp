#include "app/button_move.h"

#include <commctrl.h>

#include "gui/layout.h"
#include "gui/message_box.h"

namespace vl {

MoveTarget MoveTargetAt(TPage& from, std::int32_t i, POINT screen, const TPageControl& strip,
                        const std::vector<std::unique_ptr<TPage>>& pages) {
  HWND under = WindowFromPoint(screen);
  if (std::int32_t j = from.ButtonIndexOf(under)) {
    if (j == i) return {};
    return {MoveTarget::kSwap, &from, j};
  }
  if (under != strip.Handle()) return {};
  const int tab = strip.TabAt(screen);
  if (tab < 0 || tab >= static_cast<int>(pages.size())) return {};
  TPage& to = *pages[static_cast<std::size_t>(tab)];
  if (&to == &from) return {};
  const std::int32_t j = to.FirstEmptyButton();
  return {j ? MoveTarget::kToPage : MoveTarget::kPageFull, &to, j};
}

HCURSOR MoveCursor(MoveTarget::Kind kind) {
  return LoadCursorW(nullptr, kind == MoveTarget::kSwap || kind == MoveTarget::kToPage ? IDC_SIZEALL : IDC_NO);
}

void MoveButton(TPage& from, std::int32_t i, const MoveTarget& target) {
  switch (target.kind) {
    case MoveTarget::kSwap:
      from.SwapButtons(i, target.button);
      break;
    case MoveTarget::kToPage:
      from.MoveButtonTo(i, *target.page, target.button);
      break;
    case MoveTarget::kPageFull:
      ShowMessage(L"「" + target.page->Sheet().Caption() + L"」には空いているボタンがありません。ボタンは移動しませんでした");
      break;
    case MoveTarget::kNothing:
      break;
  }
}

void SayMoved(TTrackTip& tip, const TPageControl& strip, int tab, const std::wstring& pageName) {
  RECT rc;
  if (tab < 0 || !SendMessageW(strip.Handle(), TCM_GETITEMRECT, tab, reinterpret_cast<LPARAM>(&rc))) return;
  // A little below the tab, clear of the name it repeats.
  POINT below{(rc.left + rc.right) / 2, rc.bottom + DesignToDevice(3, DpiOf(strip.Handle()))};
  ClientToScreen(strip.Handle(), &below);
  tip.Show(L"「" + pageName + L"」へ移動しました", below, kMovedTipMs);
}

void TDropLight::Follow(const std::vector<std::unique_ptr<TPage>>& pages, const MoveTarget& target) {
  const bool swap = target.kind == MoveTarget::kSwap && target.page;
  const std::uint64_t pageId = swap ? target.page->Id() : 0;
  const std::int32_t button = swap ? target.button : 0;
  if (pageId == pageId_ && button == button_) return;
  for (const auto& page : pages) {
    if (page->Id() != pageId_) continue;
    if (TLaunchBtn* lit = page->Button(button_)) lit->SetDropTarget(false);
  }
  pageId_ = pageId;
  button_ = button;
  if (TLaunchBtn* lit = swap ? target.page->Button(button) : nullptr) lit->SetDropTarget(true);
}

}  // namespace vl
