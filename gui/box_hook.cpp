#include "gui/box_hook.h"

#include <algorithm>
#include <string>

#include "gui/modal_scope.h"

namespace vl {
namespace {

// A hook set for the box's creation places it and, for a question, renames its buttons;
// it unhooks itself at the box's first activation. Boxes never nest before that moment,
// so one slot per thread is enough.
struct BoxHook {
  HHOOK hook = nullptr;
  HWND owner = nullptr;
  bool yesNo = false;
};
thread_local BoxHook t_box;
thread_local WNDPROC t_boxProc = nullptr;

LRESULT CALLBACK YesNoBoxProc(HWND box, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
    EndDialog(box, IDNO);
    return 0;
  }
  return CallWindowProcW(t_boxProc, box, msg, wParam, lParam);
}

LRESULT CALLBACK WatchCreation(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE && t_box.hook) {
    HWND box = reinterpret_cast<HWND>(wParam);
    PlaceOver(box, t_box.owner);
    if (t_box.yesNo) {
      SetDlgItemTextW(box, IDYES, L"はい(&Y)");
      SetDlgItemTextW(box, IDNO, L"いいえ(&N)");
      t_boxProc = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&YesNoBoxProc)));
    }
    HHOOK hook = t_box.hook;
    t_box = {};
    UnhookWindowsHookEx(hook);
    return 0;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

void PlaceOver(HWND box, HWND owner) {
  if (!owner || !IsWindowVisible(owner) || IsIconic(owner)) return;
  RECT over, rect;
  if (!GetWindowRect(owner, &over) || !GetWindowRect(box, &rect)) return;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (!GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) return;
  const RECT& work = monitor.rcWork;
  const LONG width = rect.right - rect.left, height = rect.bottom - rect.top;
  LONG x = over.left + (over.right - over.left - width) / 2;
  LONG y = over.top + (over.bottom - over.top - height) / 2;
  // A box larger than the work area keeps its top left corner on it, where the title is.
  x = std::max(work.left, std::min(x, work.right - width));
  y = std::max(work.top, std::min(y, work.bottom - height));
  SetWindowPos(box, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int RunMessageBox(std::wstring_view text, std::wstring_view caption, UINT flags, bool yesNo) {
  std::wstring body(text), title(caption);
  HWND owner = ModalOwner();
  TModalScope modal(owner);
  t_box = {SetWindowsHookExW(WH_CBT, &WatchCreation, nullptr, GetCurrentThreadId()), owner, yesNo};
  const int answer = MessageBoxW(owner, body.c_str(), title.c_str(), flags);
  if (t_box.hook) {  // the box never came up
    UnhookWindowsHookEx(t_box.hook);
    t_box = {};
  }
  return answer;
}

}  // namespace vl
