// Control positions as they are designed: pixels at 96 DPI, each control's rectangle in its
// parent's client area. The program is aware of each monitor's DPI (per-monitor version 2
// in its manifest), so every size the settings file or a dialog's layout gives is scaled
// here, by the DPI of the window it lands in, and nowhere else.
#pragma once

#include <windows.h>

namespace vl {

inline constexpr int kDesignDpi = 96;

struct DesignRect {
  int left = 0, top = 0, width = 0, height = 0;
};

// The DPI a window is laid out at: the one its top-level window last followed
// (WM_DPICHANGED), else the system's answer for the window, else 96.
int DpiOf(HWND window);
// What a top-level window answers to DpiOf once it has followed a DPI change itself; 0
// while it has followed none. Our forms answer it from TWindow.
UINT LayoutDpiMessage();

// Designed pixels to the pixels of a window at `dpi`, rounded to the nearest.
int DesignToDevice(int pixels, int dpi);
// The other way, for a rectangle the system measured (a tab control's page area).
DesignRect DesignRectOf(const RECT& device, int dpi);

// A rectangle designed inside a group box, in the group box's parent's terms.
constexpr DesignRect In(const DesignRect& group, const DesignRect& r) {
  return {group.left + r.left, group.top + r.top, r.width, r.height};
}

// Moves and sizes a child window to its designed rectangle, at its own DPI.
void PlaceControl(HWND control, const DesignRect& rect);

// Every window inside `top`, placed at oldDpi, moved and sized as at newDpi. A rectangle
// that PlaceControl made at oldDpi >= 96 is designed back exactly, so a window moved
// between monitors any number of times keeps its layout to the pixel.
void RescaleDescendants(HWND top, int oldDpi, int newDpi);

}  // namespace vl
