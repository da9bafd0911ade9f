#include "gui/platform/work_area.h"

#include <shellscalingapi.h>

namespace vl {
namespace {

ScreenRect FromRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, RECT*, LPARAM list) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(monitor, &info)) return TRUE;
  UINT dpiX = 96, dpiY = 96;
  if (FAILED(GetDpiForMonitor(monitor, MDT_EFFECTIVE_DPI, &dpiX, &dpiY))) dpiX = 96;
  reinterpret_cast<std::vector<MonitorArea>*>(list)->push_back(
      {FromRect(info.rcMonitor), FromRect(info.rcWork), static_cast<std::int32_t>(dpiX),
       (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
  return TRUE;
}

}  // namespace

std::vector<MonitorArea> CurrentMonitors() {
  std::vector<MonitorArea> monitors;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

void KeepInWorkArea(HWND window, WINDOWPOS& pos) {
  RECT r;
  GetWindowRect(window, &r);
  int width = (pos.flags & SWP_NOSIZE) ? r.right - r.left : pos.cx;
  int height = (pos.flags & SWP_NOSIZE) ? r.bottom - r.top : pos.cy;
  int x = (pos.flags & SWP_NOMOVE) ? r.left : pos.x;
  int y = (pos.flags & SWP_NOMOVE) ? r.top : pos.y;
  const std::vector<MonitorArea> monitors = CurrentMonitors();
  if (monitors.empty()) return;
  const ScreenRect to = PlaceOnScreen(monitors, {x, y, x + width, y + height});
  pos.x = to.left;
  pos.y = to.top;
  pos.flags &= ~SWP_NOMOVE;
}

}  // namespace vl
