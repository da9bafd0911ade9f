#include "gui/platform/window_count.h"

namespace vl {
namespace {

struct Tally {
  DWORD processId;
  int count = 0;
};

bool Owns(const Tally& tally, HWND hwnd) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  return pid == tally.processId;
}

BOOL CALLBACK CountChild(HWND hwnd, LPARAM param) {
  auto& tally = *reinterpret_cast<Tally*>(param);
  if (Owns(tally, hwnd)) ++tally.count;
  return TRUE;
}

// A top-level window of the process and every window below it (EnumChildWindows walks
// the whole tree, not just the first level).
void CountTree(HWND hwnd, Tally& tally) {
  if (Owns(tally, hwnd)) ++tally.count;
  EnumChildWindows(hwnd, CountChild, reinterpret_cast<LPARAM>(&tally));
}

BOOL CALLBACK CountTopLevel(HWND hwnd, LPARAM param) {
  CountTree(hwnd, *reinterpret_cast<Tally*>(param));
  return TRUE;
}

}  // namespace

int CountWindowsOfProcess(DWORD processId) {
  Tally tally{processId};
  EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&tally));
  // Message-only windows (hot keys, the tray icon's handler) are no top-level windows
  // EnumWindows would give, yet they count against the quota all the same.
  for (HWND hwnd = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); hwnd;
       hwnd = FindWindowExW(HWND_MESSAGE, hwnd, nullptr, nullptr))
    CountTree(hwnd, tally);
  return tally.count;
}

}  // namespace vl
