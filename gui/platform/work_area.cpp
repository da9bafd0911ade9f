#include "gui/platform/work_area.h"

#include <shellscalingapi.h>

#include <iterator>

namespace vl {
namespace {

ScreenRect FromRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace

TMonitors::TMonitors() { EnumDisplayMonitors(nullptr, nullptr, Add, reinterpret_cast<LPARAM>(this)); }

BOOL CALLBACK TMonitors::Add(HMONITOR monitor, HDC, RECT*, LPARAM self) {
  auto& list = *reinterpret_cast<TMonitors*>(self);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(monitor, &info)) return TRUE;
  UINT dpiX = 96, dpiY = 96;
  if (FAILED(GetDpiForMonitor(monitor, MDT_EFFECTIVE_DPI, &dpiX, &dpiY))) dpiX = 96;
  list.areas_[list.count_++] = {FromRect(info.rcMonitor), FromRect(info.rcWork), static_cast<std::int32_t>(dpiX),
                                (info.dwFlags & MONITORINFOF_PRIMARY) != 0};
  return list.count_ < std::size(list.areas_);
}

void KeepInWorkArea(HWND window, WINDOWPOS& pos) {
  RECT r;
  GetWindowRect(window, &r);
  int width = (pos.flags & SWP_NOSIZE) ? r.right - r.left : pos.cx;
  int height = (pos.flags & SWP_NOSIZE) ? r.bottom - r.top : pos.cy;
  int x = (pos.flags & SWP_NOMOVE) ? r.left : pos.x;
  int y = (pos.flags & SWP_NOMOVE) ? r.top : pos.y;
  const TMonitors monitors;
  if (monitors.All().empty()) return;
  const ScreenRect to = PlaceOnScreen(monitors.All(), {x, y, x + width, y + height});
  pos.x = to.left;
  pos.y = to.top;
  pos.flags &= ~SWP_NOMOVE;
}

}  // namespace vl
