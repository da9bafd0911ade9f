#include "gui/accessible_button.h"

#include <oleacc.h>

namespace vl {

UINT AccessiblePressMessage() {
  static const UINT msg = RegisterWindowMessageW(L"VantriLaunch.AccessiblePress");
  return msg;
}

std::optional<LRESULT> AnswerAccessibleButton(HWND button, WPARAM wParam, LPARAM lParam) {
  static const AccessibleKind kind{ROLE_SYSTEM_PUSHBUTTON, L"押す", AccessiblePressMessage()};
  return AnswerAccessibleWindow(button, wParam, lParam, kind);
}

}  // namespace vl
