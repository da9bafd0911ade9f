#include "app/foreground_return.h"

#include <utility>

namespace vl {
namespace {

// The taskbar and its overflow area: a click on our tray icon passes through them, and
// they are not a program the user was typing in.
bool TaskbarThread(DWORD thread) {
  HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
  return taskbar && GetWindowThreadProcessId(taskbar, nullptr) == thread;
}

}  // namespace

bool OursWindow(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process == GetCurrentProcessId();
}

TForegroundReturn::TForegroundReturn(HWND window)
    : subclass_(window, [this](UINT msg, WPARAM wParam, LPARAM lParam) { return Watch(msg, wParam, lParam); }) {}

void TForegroundReturn::Remember() {
  HWND front = GetForegroundWindow();
  if (!front || OursWindow(front) || TaskbarThread(GetWindowThreadProcessId(front, nullptr))) return;
  front_ = front;
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  focus_ = GetGUIThreadInfo(GetWindowThreadProcessId(front, nullptr), &info) ? info.hwndFocus : nullptr;
}

void TForegroundReturn::GiveBack() {
  HWND front = std::exchange(front_, nullptr);
  HWND focus = std::exchange(focus_, nullptr);
  if (!front || !IsWindow(front) || !IsWindowVisible(front)) return;
  if (HWND now = GetForegroundWindow(); now && !OursWindow(now)) return;  // another program has it
  if (!SetForegroundWindow(front)) return;
  if (!focus || !IsWindow(focus) || (focus != front && !IsChild(front, focus))) return;
  const DWORD theirs = GetWindowThreadProcessId(front, nullptr);
  // Its thread takes the activation in its own time, and its default handling puts the
  // focus on the window itself: the control's focus is set once that is done.
  // A thread that does not answer is left alone: setting the focus with its input
  // attached would wait on it.
  DWORD_PTR ignored = 0;
  if (!SendMessageTimeoutW(front, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 500, &ignored)) return;
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(theirs, &info) || info.hwndFocus == focus) return;
  const DWORD ours = GetCurrentThreadId();
  if (!AttachThreadInput(ours, theirs, TRUE)) return;
  SetFocus(focus);
  AttachThreadInput(ours, theirs, FALSE);
}

LRESULT TForegroundReturn::Watch(UINT msg, WPARAM wParam, LPARAM lParam) {
  // Another program took the front while the launcher was up: the user went on there,
  // and the window noted is no longer the one to go back to. The taskbar does not count.
  if (msg == WM_ACTIVATEAPP && !wParam && !TaskbarThread(static_cast<DWORD>(lParam))) {
    front_ = nullptr;
    focus_ = nullptr;
  }
  return subclass_.CallNext(msg, wParam, lParam);
}

}  // namespace vl
