// The accessible object of a push button that draws itself (gui/accessible_window): a push
// button to a screen reader, as the system's own push buttons are, named by the window's
// answer to AccessibleNameMessage(); its default action "押す" posts
// AccessiblePressMessage() to the window, which presses it as the keyboard does.
#pragma once

#include <windows.h>

#include <optional>

#include "gui/accessible_window.h"

namespace vl {

// Posted: the window is pressed as Enter presses it.
UINT AccessiblePressMessage();

// The answer to WM_GETOBJECT for a button window, as AnswerAccessibleWindow gives it.
std::optional<LRESULT> AnswerAccessibleButton(HWND button, WPARAM wParam, LPARAM lParam);

}  // namespace vl
