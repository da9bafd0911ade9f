// What the tray icon tests share: a clock, a message pump that runs for a while or until
// a condition holds, and a form that stands in for the launcher's main window.
#pragma once

#include <windows.h>

#include <functional>

#include "gui/window.h"

namespace vl::test {

// Milliseconds from an arbitrary start, with the performance counter's resolution.
inline double NowMs() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Dispatches messages until `done` answers true or `timeoutMs` has passed; returns `done`.
inline bool PumpUntil(const std::function<bool()>& done, double timeoutMs) {
  const double end = NowMs() + timeoutMs;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done && done()) return true;
    if (NowMs() >= end) return done ? done() : true;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
  }
}

inline void PumpFor(double ms) { PumpUntil(nullptr, ms); }

// A tool window owned by the application's owner window, with one edit control, that
// counts the WM_NULL messages it receives.
class TTestForm : public TWindow {
 public:
  TTestForm(HWND owner, const wchar_t* caption, int x, int y) {
    WindowParams p;
    p.className = L"VlTrayTestForm";
    p.caption = caption;
    p.style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    p.exStyle = WS_EX_TOOLWINDOW;
    p.x = x;
    p.y = y;
    p.width = 320;
    p.height = 120;
    p.parent = owner;
    Create(p);
    edit_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 200, 24, Handle(),
                            nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  HWND Edit() const { return edit_; }
  int nullMessages = 0;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_NULL) ++nullMessages;
    return TWindow::HandleMessage(msg, wParam, lParam);
  }

 private:
  HWND edit_ = nullptr;  // the window owns it
};

}  // namespace vl::test
