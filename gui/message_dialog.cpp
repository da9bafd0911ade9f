#include "gui/message_dialog.h"

#include <windows.h>

#include <string>

#include "gui/modal_scope.h"

namespace vl {
namespace {

// The box is the system's message box; a hook set for its creation renames its buttons
// and lets Esc answer No, which a Yes/No message box otherwise ignores.
thread_local HHOOK t_hook = nullptr;
thread_local WNDPROC t_boxProc = nullptr;

LRESULT CALLBACK BoxProc(HWND box, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
    EndDialog(box, IDNO);
    return 0;
  }
  return CallWindowProcW(t_boxProc, box, msg, wParam, lParam);
}

LRESULT CALLBACK WatchCreation(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND box = reinterpret_cast<HWND>(wParam);
    SetDlgItemTextW(box, IDYES, L"はい(&Y)");
    SetDlgItemTextW(box, IDNO, L"いいえ(&N)");
    t_boxProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&BoxProc)));
    HHOOK hook = t_hook;
    t_hook = nullptr;
    UnhookWindowsHookEx(hook);
    return 0;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

bool Confirm(std::wstring_view text, std::wstring_view caption) {
  std::wstring body(text), title(caption);
  HWND owner = ModalOwner();
  TModalScope modal(owner);
  t_hook = SetWindowsHookExW(WH_CBT, &WatchCreation, nullptr, GetCurrentThreadId());
  // A warning looks like one: under "警告" the warning sign, not the question mark.
  const UINT icon = caption == kWarningCaption ? MB_ICONWARNING : MB_ICONQUESTION;
  int answer = MessageBoxW(owner, body.c_str(), title.c_str(), MB_YESNO | icon | MB_DEFBUTTON1);
  if (t_hook) {  // the box never came up
    UnhookWindowsHookEx(t_hook);
    t_hook = nullptr;
  }
  return answer == IDYES;
}

}  // namespace vl
