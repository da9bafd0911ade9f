#include "gui/platform/work_area.h"

#include <algorithm>

namespace vl {

void KeepInWorkArea(HWND window, WINDOWPOS& pos) {
  RECT r;
  GetWindowRect(window, &r);
  int width = (pos.flags & SWP_NOSIZE) ? r.right - r.left : pos.cx;
  int height = (pos.flags & SWP_NOSIZE) ? r.bottom - r.top : pos.cy;
  int x = (pos.flags & SWP_NOMOVE) ? r.left : pos.x;
  int y = (pos.flags & SWP_NOMOVE) ? r.top : pos.y;
  RECT at{x, y, x + width, y + height};
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoW(MonitorFromRect(&at, MONITOR_DEFAULTTONEAREST), &monitor)) return;
  const RECT& work = monitor.rcWork;
  pos.x = std::max<int>(work.left, std::min<int>(x, work.right - width));
  pos.y = std::max<int>(work.top, std::min<int>(y, work.bottom - height));
  pos.flags &= ~SWP_NOMOVE;
}

}  // namespace vl
