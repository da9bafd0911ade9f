// vl_driver: drives the launcher from another process in the end-to-end scenarios.
//
//   vl_driver wait-window CAPTION TIMEOUT_MS   waits until a visible top-level window with
//                                              that caption exists; prints its rectangle
//   vl_driver close-window CAPTION             posts WM_CLOSE to it
//
// Exit code 0 on success, 1 when the window is not there, 2 on a usage error.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

HWND FindVisible(const wchar_t* caption) {
  HWND hwnd = FindWindowW(nullptr, caption);
  return hwnd && IsWindowVisible(hwnd) ? hwnd : nullptr;
}

int WaitWindow(const wchar_t* caption, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    if (HWND hwnd = FindVisible(caption)) {
      RECT r;
      GetWindowRect(hwnd, &r);
      std::printf("window %ld,%ld %ldx%ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
      return 0;
    }
    if (GetTickCount() - start > timeoutMs) {
      std::fprintf(stderr, "no visible window with that caption after %lu ms\n", timeoutMs);
      return 1;
    }
    Sleep(50);
  }
}

int CloseWindow(const wchar_t* caption) {
  HWND hwnd = FindWindowW(nullptr, caption);
  if (!hwnd) {
    std::fprintf(stderr, "no window with that caption\n");
    return 1;
  }
  PostMessageW(hwnd, WM_CLOSE, 0, 0);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring cmd = argc > 1 ? argv[1] : L"";
  if (cmd == L"wait-window" && argc == 4) return WaitWindow(argv[2], std::wcstoul(argv[3], nullptr, 10));
  if (cmd == L"close-window" && argc == 3) return CloseWindow(argv[2]);
  std::fprintf(stderr, "usage: vl_driver wait-window CAPTION TIMEOUT_MS | close-window CAPTION\n");
  return 2;
}
