// Drawing in the theme's palette (gui/theme) where the system's own drawing knows only the
// light colours: a push button's face and its focus mark, and a tab control's tab row. In
// the light mode the callers keep the system's drawing (DrawFrameControl, DrawFocusRect,
// the tab control's own paint), so that a light launcher looks as it always did.
#pragma once

#include <windows.h>

namespace vl {

// A flat face filling `rect`, its edge lit at the top left and shaded at the bottom right
// (the other way round when pushed), as the frame of DrawFrameControl is.
void PaintFlatFace(HDC dc, const RECT& rect, bool pushed);
// A dotted frame of the palette's focus colour: the place of DrawFocusRect, which inverts
// the pixels and so is pale on a dark face and not the focus colour of high contrast.
void PaintFocusFrame(HDC dc, const RECT& rect);
// A tab control's WM_PAINT (or WM_PRINTCLIENT, with its DC in `printDc`) outside the light
// mode: its background and tabs in the palette; false in the light mode, where the control
// paints itself.
bool PaintThemedTabs(HWND tab, HDC printDc);
// A tab sheet's WM_PAINT outside the light mode: its background in the palette's window
// colour, the inside of its group boxes too, which the sheet's clipping of its children
// leaves to them and a group box does not paint (in the light mode the tab control's own
// page shows there); false in the light mode.
bool PaintThemedSheet(HWND sheet);

}  // namespace vl
