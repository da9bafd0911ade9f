// Where a top-level window may stand: wholly inside the work area of a monitor, clear of
// the taskbar, so that a stored place on a monitor that is gone, or beyond a lowered
// resolution, never leaves the window where nobody can see it.
#pragma once

#include <windows.h>

namespace vl {

// Moves `pos`, the place and size `window` is about to take (WM_WINDOWPOSCHANGING's; its
// flags say which of them change), wholly into the work area of the nearest monitor. A
// window larger than the work area keeps its top left corner in it.
void KeepInWorkArea(HWND window, WINDOWPOS& pos);

}  // namespace vl
