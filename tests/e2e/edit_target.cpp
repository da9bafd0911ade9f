// edit_target: another program the user works in, for the call-up scenarios.
//
//   edit_target             a window captioned "edit target" holding an edit control, which
//                           has the keyboard focus; it puts the focus back on the window
//                           itself whenever it is activated (DefWindowProc's way), so that
//                           only a caller who gives the control its focus back sees keys
//                           reach it
//   edit_target full-screen a borderless window captioned "full screen" that covers the
//                           whole primary monitor, in front, as a game or a video does
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const bool full = argc == 2 && std::wcscmp(argv[1], L"full-screen") == 0;
  if (argc > 2 || (argc == 2 && !full)) {
    std::fprintf(stderr, "usage: edit_target [full-screen]\n");
    return 2;
  }
  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.lpszClassName = L"EditTarget";
  wc.hbrBackground = reinterpret_cast<HBRUSH>(full ? COLOR_WINDOWTEXT + 1 : COLOR_WINDOW + 1);
  RegisterClassW(&wc);
  HWND hwnd;
  if (full) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& r = monitor.rcMonitor;
    hwnd = CreateWindowExW(WS_EX_TOPMOST, L"EditTarget", L"full screen", WS_POPUP | WS_VISIBLE, r.left, r.top,
                           r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
  } else {
    hwnd = CreateWindowExW(0, L"EditTarget", L"edit target", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 320, 160,
                           nullptr, nullptr, nullptr, nullptr);
    HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10, 280,
                                24, hwnd, nullptr, nullptr, nullptr);
    SetFocus(edit);
  }
  if (!hwnd) return 1;
  SetForegroundWindow(hwnd);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
