#include "app/full_screen.h"

#include <shellapi.h>

namespace vl {

bool CoversItsMonitor(HWND window) {
  if (!window || window == GetDesktopWindow() || window == GetShellWindow()) return false;
  // The desktop's icons live in a window of the shell's process too (its wallpaper host).
  DWORD process = 0, shell = 0;
  GetWindowThreadProcessId(window, &process);
  GetWindowThreadProcessId(GetShellWindow(), &shell);
  if (shell && process == shell) return false;
  RECT r;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetWindowRect(window, &r) ||
      !GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONULL), &monitor))
    return false;
  return EqualRect(&r, &monitor.rcMonitor) != FALSE;
}

bool FullScreenInFront() {
  QUERY_USER_NOTIFICATION_STATE state{};
  if (SUCCEEDED(SHQueryUserNotificationState(&state)) &&
      (state == QUNS_BUSY || state == QUNS_RUNNING_D3D_FULL_SCREEN || state == QUNS_PRESENTATION_MODE))
    return true;
  return CoversItsMonitor(GetForegroundWindow());
}

}  // namespace vl
