// Where a top-level window may stand: wholly inside the work area of a monitor, clear of
// the taskbar, so that a stored place on a monitor that is gone, or beyond a lowered
// resolution, never leaves the window where nobody can see it. The rule itself is
// core/call_up_place.h; this is what the system says of its monitors.
#pragma once

#include <windows.h>

#include <span>

#include "core/call_up_place.h"

namespace vl {

// The monitors as the system reports them now, with their work areas and DPIs: the first
// sixteen, more than any desk holds.
class TMonitors {
 public:
  TMonitors();
  std::span<const MonitorArea> All() const { return {areas_, count_}; }

 private:
  static BOOL CALLBACK Add(HMONITOR monitor, HDC, RECT*, LPARAM self);
  MonitorArea areas_[16];
  std::size_t count_ = 0;
};

// Moves `pos`, the place and size `window` is about to take (WM_WINDOWPOSCHANGING's; its
// flags say which of them change), wholly into the work area of the monitor it overlaps
// most, or of the primary monitor when it overlaps none. A window larger than the work
// area keeps its top left corner in it.
void KeepInWorkArea(HWND window, WINDOWPOS& pos);

}  // namespace vl
