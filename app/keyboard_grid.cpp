#include "app/keyboard_grid.h"

#include <algorithm>
#include <utility>

namespace vl {
namespace {

// The keys that move the focus over the grid the same whether a search runs or not.
constexpr std::pair<UINT, GridMove> kGridKeys[] = {
    {VK_LEFT, GridMove::Left}, {VK_RIGHT, GridMove::Right}, {VK_HOME, GridMove::First}, {VK_END, GridMove::Last}};

}  // namespace

TKeyboardGrid::TKeyboardGrid(TKeyboardHost& host, HWND window, TPageSet& pages, TPageControl& strip,
                             TLauncherSearch& search, const TSearchIme& ime)
    : host_(host), window_(window), pages_(pages), strip_(strip), search_(search), ime_(ime) {
  filter_ = TApplication::Instance().FilterMessages([this](const MSG& msg) { return LauncherKey(msg); });
}

void TKeyboardGrid::FocusLastButton() {
  TPage* page = pages_.Selected();
  if (!page || page->BtnCount() == 0) {
    SetFocus(window_);
    return;
  }
  // Space or Enter then opens what the user last used. The first button, not used yet,
  // does not become the current one: the menu's commands still want a button chosen.
  if (page->Button(page->CurrentBtn()))
    FocusButton(*page, page->CurrentBtn());
  else
    SetFocus(page->Button(1)->Handle());
}

void TKeyboardGrid::FocusButton(TPage& page, std::int32_t i) {
  TLaunchBtn* button = page.Button(i);
  if (!button) return;
  page.SetCurrentBtn(i);
  SetFocus(button->Handle());
}

std::int32_t TKeyboardGrid::FocusedButton(TPage& page) const {
  const HWND focus = GetFocus();
  for (std::int32_t i = 1; i <= page.BtnCount(); ++i)
    if (page.Button(i)->Handle() == focus) return i;
  return 0;
}

void TKeyboardGrid::ShowHit(std::int32_t pageNo, std::int32_t btnIndex) {
  const int index = pages_.IndexOf(pageNo);  // a page deleted since has none
  if (index < 0) return;
  if (index != strip_.ActivePageIndex()) {
    strip_.SetActivePageIndex(index);
    host_.BaseChange();
  }
  if (TPage* page = pages_.Selected()) FocusButton(*page, btnIndex);
}

bool TKeyboardGrid::LauncherKey(const MSG& msg) {
  // Every message of the loop comes here (the mouse watch's ticks too): keys only.
  switch (msg.message) {
    case WM_CHAR:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
      break;
    default:
      return false;
  }
  if (msg.hwnd != window_ && !IsChild(window_, msg.hwnd)) return false;
  // A drag holds the keys: its button takes Esc to call it off and swallows the rest.
  if (const TPage* page = pages_.OnDisplay(); page && page->Dragging()) return false;
  // A key the input method takes comes as VK_PROCESSKEY and must reach TranslateMessage,
  // which hands it to the input method. While a composition runs, a key that comes as
  // itself is still the composition's (Enter commits, the arrows walk the candidates, Esc
  // cancels). What it commits comes as WM_CHAR and is typed as any text is.
  if (msg.message != WM_CHAR && (msg.wParam == VK_PROCESSKEY || ime_.Composing())) return false;
  const bool ctrl = GetKeyState(VK_CONTROL) < 0, alt = GetKeyState(VK_MENU) < 0;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const auto key = static_cast<UINT>(msg.wParam);
  switch (msg.message) {
    case WM_CHAR:
      // Letters, digits and signs, also what the input method gives; control characters
      // (Enter, Tab, Ctrl with a letter) and Space before a search are keys, not text.
      if (msg.wParam <= 0x20 || msg.wParam == 0x7F) return false;
      search_.Type(static_cast<wchar_t>(msg.wParam));
      return true;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      // Taken with their press: the default handling would open the menu a second time
      // (the menu key) or go into the system menu (F10).
      return key == VK_APPS || (key == VK_F10 && shift);
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      break;
    default:
      return false;
  }
  if (key == VK_APPS || (key == VK_F10 && shift && !ctrl && !alt)) {
    ShowMenuOfFocusedButton();
    return true;
  }
  if (alt) return false;
  if (ctrl) {
    if (key == VK_TAB || key == VK_NEXT || key == VK_PRIOR) {
      TurnPage(key == VK_PRIOR || (key == VK_TAB && shift) ? -1 : 1);
      return true;
    }
    if (key == 'Z' && !shift) {
      host_.Undo();
      return true;
    }
    return false;
  }
  return LauncherKeyDown(key);
}

bool TKeyboardGrid::LauncherKeyDown(UINT key) {
  switch (key) {
    case VK_ESCAPE:
      // A search first; the launcher hides at the next Esc.
      if (!search_.Active()) return false;
      search_.Clear();
      return true;
    case VK_BACK:
      if (!search_.Active()) return false;
      search_.Backspace();
      return true;
    case VK_TAB:
      // Between the page strip and the grid.
      if (GetFocus() == strip_.Handle())
        FocusLastButton();
      else
        SetFocus(strip_.Handle());
      return true;
    default:
      break;
  }
  // The strip keeps its own keys: the arrows choose a tab there.
  if (GetFocus() == strip_.Handle()) return false;
  TPage* page = pages_.Selected();
  switch (key) {
    case VK_SPACE:
      // Inside a search a blank is part of the name; Enter opens the hit.
      if (!search_.Active()) return false;
      search_.Type(0x20);
      return true;
    case VK_RETURN:
      // A search that found nothing opens nothing, whichever button has the focus.
      return search_.Active() && search_.Search().Hits().empty();
    case VK_UP:
    case VK_DOWN:
      if (search_.Active()) {
        search_.Step(key == VK_DOWN);
        return true;
      }
      MoveFocus(key == VK_DOWN ? GridMove::Down : GridMove::Up);
      return true;
    case VK_DELETE:
      if (!page) return false;
      if (std::int32_t i = FocusedButton(*page)) {
        page->SetCurrentBtn(i);
        host_.DeleteButton();
      }
      return true;
    default:
      break;
  }
  for (auto [moveKey, move] : kGridKeys) {
    if (key != moveKey) continue;
    MoveFocus(move);
    return true;
  }
  return false;
}

void TKeyboardGrid::MoveFocus(GridMove move) {
  TPage* page = pages_.Selected();
  if (!page || page->BtnCount() == 0) return;
  const std::int32_t from = FocusedButton(*page);
  // From outside the grid (the window itself), the first move lands on the last used.
  if (from == 0) {
    FocusLastButton();
    return;
  }
  // A page whose build ran out of windows part way has fewer buttons than its grid.
  FocusButton(*page, std::min(GridStep(page->Grid(), from, move), page->BtnCount()));
}

void TKeyboardGrid::TurnPage(int delta) {
  const int count = strip_.SheetCount();
  if (count == 0) return;
  strip_.SetActivePageIndex(((strip_.ActivePageIndex() + delta) % count + count) % count);
  host_.BaseChange();
  FocusLastButton();
}

void TKeyboardGrid::ShowMenuOfFocusedButton() {
  TPage* page = pages_.Selected();
  const std::int32_t i = page ? FocusedButton(*page) : 0;
  RECT r{};
  if (i > 0) {
    page->SetCurrentBtn(i);
    GetWindowRect(page->Button(i)->Handle(), &r);
  } else {
    GetWindowRect(strip_.Handle(), &r);
  }
  // At the button, where the user's eyes are, not at a pointer that may be anywhere.
  host_.PopupPageMenu(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

}  // namespace vl
