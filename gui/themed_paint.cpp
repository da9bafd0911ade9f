#include "gui/themed_paint.h"

#include <commctrl.h>

#include <iterator>

#include "gui/platform/scoped_select.h"
#include "gui/theme.h"

namespace vl {
namespace {

void Fill(HDC dc, const RECT& rect, COLORREF colour) {
  SetDCBrushColor(dc, colour);
  FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// A one-pixel edge: `topLeft` along the top and left, `bottomRight` along the others.
void Edge(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
  Fill(dc, {r.left, r.top, r.right, r.top + 1}, topLeft);
  Fill(dc, {r.left, r.top, r.left + 1, r.bottom}, topLeft);
  Fill(dc, {r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
  Fill(dc, {r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}

void PaintTab(HDC dc, HWND tab, int index, bool selected, const Palette& p) {
  RECT r;
  if (!SendMessageW(tab, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r))) return;
  // The selected tab stands out above the row and joins the page below, as the system's.
  if (selected) InflateRect(&r, 2, 2);
  Fill(dc, r, selected ? p.face : p.otherTab);
  Edge(dc, {r.left, r.top, r.right, selected ? r.bottom + 1 : r.bottom}, p.edgeLight, p.edgeShadow);
  wchar_t text[256] = L"";
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = text;
  item.cchTextMax = static_cast<int>(std::size(text));
  SendMessageW(tab, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item));
  SetTextColor(dc, p.text);
  SetBkMode(dc, TRANSPARENT);
  DrawTextW(dc, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  if (selected && GetFocus() == tab) {
    RECT focus = r;
    InflateRect(&focus, -3, -3);
    PaintFocusFrame(dc, focus);
  }
}

bool IsGroupBox(HWND window) {
  wchar_t name[8] = L"";
  return GetClassNameW(window, name, static_cast<int>(std::size(name))) && _wcsicmp(name, WC_BUTTONW) == 0 &&
         (GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

}  // namespace

void PaintFlatFace(HDC dc, const RECT& rect, bool pushed) {
  const Palette& p = ThemePalette();
  Fill(dc, rect, pushed ? p.pushedFace : p.face);
  if (pushed)
    Edge(dc, rect, p.edgeShadow, p.edgeLight);
  else
    Edge(dc, rect, p.edgeLight, p.edgeShadow);
}

void PaintFocusFrame(HDC dc, const RECT& rect) {
  // Every other pixel, as the system's focus mark.
  const COLORREF colour = ThemePalette().focus;
  for (int x = rect.left; x < rect.right; x += 2) {
    SetPixelV(dc, x, rect.top, colour);
    SetPixelV(dc, x, rect.bottom - 1, colour);
  }
  for (int y = rect.top; y < rect.bottom; y += 2) {
    SetPixelV(dc, rect.left, y, colour);
    SetPixelV(dc, rect.right - 1, y, colour);
  }
}

bool PaintThemedSheet(HWND sheet) {
  if (CurrentThemeMode() == ThemeMode::Light) return false;
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(sheet, &ps);
  FillRect(dc, &ps.rcPaint, WindowBrush());
  for (HWND box = FindWindowExW(sheet, nullptr, WC_BUTTONW, nullptr); box;
       box = FindWindowExW(sheet, box, WC_BUTTONW, nullptr)) {
    if (!IsGroupBox(box) || !IsWindowVisible(box)) continue;
    // Inside the box, all but the controls that paint themselves: through a DC of the sheet
    // that does not leave its children out.
    RECT inside;
    GetWindowRect(box, &inside);
    MapWindowPoints(nullptr, sheet, reinterpret_cast<POINT*>(&inside), 2);
    if (!IntersectRect(&inside, &inside, &ps.rcPaint)) continue;
    HDC all = GetDCEx(sheet, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
    if (!all) continue;
    IntersectClipRect(all, inside.left, inside.top, inside.right, inside.bottom);
    for (HWND child = GetWindow(sheet, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      if (!IsWindowVisible(child) || IsGroupBox(child)) continue;
      RECT r;
      GetWindowRect(child, &r);
      MapWindowPoints(nullptr, sheet, reinterpret_cast<POINT*>(&r), 2);
      ExcludeClipRect(all, r.left, r.top, r.right, r.bottom);
    }
    FillRect(all, &inside, WindowBrush());
    ReleaseDC(sheet, all);
  }
  EndPaint(sheet, &ps);
  return true;
}

bool PaintThemedTabs(HWND tab, HDC printDc) {
  if (CurrentThemeMode() == ThemeMode::Light) return false;
  PAINTSTRUCT ps{};
  HDC dc = printDc ? printDc : BeginPaint(tab, &ps);
  const Palette& p = ThemePalette();
  RECT client;
  GetClientRect(tab, &client);
  Fill(dc, client, p.window);
  HGDIOBJ tabFont = reinterpret_cast<HGDIOBJ>(SendMessageW(tab, WM_GETFONT, 0, 0));
  ScopedSelect font(dc, tabFont ? tabFont : GetStockObject(DEFAULT_GUI_FONT));
  const int count = static_cast<int>(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
  const int selected = static_cast<int>(SendMessageW(tab, TCM_GETCURSEL, 0, 0));
  for (int i = 0; i < count; ++i)
    if (i != selected) PaintTab(dc, tab, i, false, p);
  if (selected >= 0) PaintTab(dc, tab, selected, true, p);  // last: it overlaps its neighbours
  if (!printDc) EndPaint(tab, &ps);
  return true;
}

}  // namespace vl
