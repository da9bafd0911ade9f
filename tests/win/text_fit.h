// Whether every caption of a dialog is shown whole: each visible control's text measured
// in the control's own font against the room the control leaves it, at the DPI the dialog
// is laid out at. The room is what Windows leaves at that DPI, not what this platform's
// drawing happens to leave: a check box's box and gap come from the system metrics for
// that DPI, as do a push button's borders and an edit's edge.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/text_codec.h"
#include "tests/win/dialog_layout.h"

namespace vl::test {

struct Clip {
  std::wstring text;
  int missingWidth = 0;   // pixels the text lacks across
  int missingHeight = 0;  // and down
};

namespace detail {

inline std::wstring WindowText(HWND w) {
  std::wstring t(static_cast<std::size_t>(GetWindowTextLengthW(w)) + 1, L'\0');
  t.resize(static_cast<std::size_t>(GetWindowTextW(w, t.data(), static_cast<int>(t.size()))));
  return t;
}

inline std::wstring ClassOf(HWND w) {
  wchar_t name[64] = L"";
  GetClassNameW(w, name, 64);
  return name;
}

// The text's size in the control's font: on one line, or broken at `wrapWidth` when it is
// above 0, as DrawText breaks it for the control.
inline SIZE Measure(HWND control, const std::wstring& text, UINT flags, int wrapWidth) {
  HDC dc = GetDC(nullptr);
  auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
  RECT r{0, 0, wrapWidth > 0 ? wrapWidth : 0, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
            flags | DT_CALCRECT | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE));
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  // An empty text still takes a line's height.
  return {r.right - r.left, std::max<LONG>(r.bottom - r.top, tm.tmHeight)};
}

inline int Metric(int index, int dpi) { return GetSystemMetricsForDpi(index, static_cast<UINT>(dpi)); }

inline void Check(HWND w, int dpi, std::vector<Clip>& clips) {
  RECT box;
  GetWindowRect(w, &box);
  const int width = box.right - box.left, height = box.bottom - box.top;
  const std::wstring cls = ClassOf(w);
  const LONG style = GetWindowLongW(w, GWL_STYLE);
  const std::wstring text = WindowText(w);
  int roomW = 0, roomH = 0;
  SIZE need{0, 0};
  if (cls == L"Button") {
    if (text.empty()) return;
    const LONG kind = style & BS_TYPEMASK;
    const UINT prefix = 0;  // buttons draw & as the mnemonic's underline
    if (kind == BS_GROUPBOX) {
      // The caption across the top, after the frame's indent and with a gap at each end.
      roomW = width - 2 * MulDiv(8, dpi, 96);
      roomH = height;
      need = Measure(w, text, prefix, 0);
    } else if (kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_RADIOBUTTON ||
               kind == BS_AUTORADIOBUTTON || kind == BS_3STATE || kind == BS_AUTO3STATE) {
      // The box, then a gap before the text.
      roomW = width - Metric(SM_CXMENUCHECK, dpi) - 2 * Metric(SM_CXEDGE, dpi);
      roomH = height;
      need = Measure(w, text, prefix, (style & BS_MULTILINE) ? roomW : 0);
    } else {
      // A push button: its raised edge and the focus rectangle inside it on each side.
      roomW = width - 2 * (Metric(SM_CXEDGE, dpi) + Metric(SM_CXFOCUSBORDER, dpi) + 1);
      roomH = height - 2 * (Metric(SM_CYEDGE, dpi) + Metric(SM_CYFOCUSBORDER, dpi));
      need = Measure(w, text, prefix, (style & BS_MULTILINE) ? roomW : 0);
    }
  } else if (cls == L"Static") {
    if (text.empty()) return;
    RECT client;
    GetClientRect(w, &client);
    roomW = client.right;
    roomH = client.bottom;
    const UINT flags = (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
    need = Measure(w, text, flags | DT_EXPANDTABS, 0);
    // Left, centred and right-aligned statics break their lines at the client's width: a
    // text meant to take several lines fits when all of them do.
    const bool wraps = (style & SS_TYPEMASK) <= SS_RIGHT && !(style & SS_ELLIPSISMASK);
    if (wraps && need.cx > roomW) {
      const SIZE lines = Measure(w, text, flags | DT_EXPANDTABS, roomW);
      if (lines.cx <= roomW && lines.cy <= roomH) return;
      need.cy = lines.cy;
    }
  } else if (cls == L"Edit") {
    if (style & ES_MULTILINE) return;  // it scrolls
    // One line of its font within the client area that the sunken edge leaves.
    const bool edged = (GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0;
    roomW = width;
    roomH = height - (edged ? 2 * Metric(SM_CYEDGE, dpi) : 0);
    need = Measure(w, L"Ag国", 0, 0);
    need.cx = 0;
  } else {
    return;
  }
  if (need.cx > roomW || need.cy > roomH)
    clips.push_back({text.empty() ? L"(" + cls + L")" : text, std::max(0, static_cast<int>(need.cx) - roomW),
                     std::max(0, static_cast<int>(need.cy) - roomH)});
}

}  // namespace detail

// The captions of `dialog`'s visible controls that do not fit, with what they lack.
inline std::vector<Clip> ClippedTexts(HWND dialog, int dpi) {
  std::vector<Clip> clips;
  for (HWND w : ShownControls(dialog)) detail::Check(w, dpi, clips);
  return clips;
}

// Fails once for each caption cut, naming the dialog, the DPI, the text and the pixels
// it lacks.
inline void ExpectTextsFit(HWND dialog, const std::string& name, int dpi) {
  for (const Clip& c : ClippedTexts(dialog, dpi))
    ADD_FAILURE() << name << " at " << dpi << " DPI: \"" << WideToUtf8(c.text) << "\" lacks "
                  << c.missingWidth << " px across and " << c.missingHeight << " px down";
}

}  // namespace vl::test
