// Control positions as they are designed: pixels at 96 DPI, each control's rectangle in its
// parent's client area. Every control of a dialog is placed through PlaceControl, so that
// following another DPI setting is one change here.
#pragma once

#include <windows.h>

namespace vl {

struct DesignRect {
  int left = 0, top = 0, width = 0, height = 0;
};

// Designed pixels to the window's pixels. The program declares no DPI awareness, so the
// system scales its windows as a whole and the two are the same.
int DesignToDevice(int pixels);
// The other way, for a rectangle the system measured (a tab control's page area).
DesignRect DesignRectOf(const RECT& device);

// A rectangle designed inside a group box, in the group box's parent's terms.
constexpr DesignRect In(const DesignRect& group, const DesignRect& r) {
  return {group.left + r.left, group.top + r.top, r.width, r.height};
}

// Moves and sizes a child window to its designed rectangle.
void PlaceControl(HWND control, const DesignRect& rect);

}  // namespace vl
