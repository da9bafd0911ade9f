// The accessible object of a push button that draws itself: what a screen reader asks of
// the button's window (WM_GETOBJECT for OBJID_CLIENT), answered as the system answers for
// its own push buttons. The name is the one the window gives when sent
// AccessibleNameMessage(); the role is a push button's; the default action "押す" posts
// AccessiblePressMessage() to the window, which presses it as the keyboard does, and is
// refused while the button is hidden or its top-level window disabled (under a box modal
// to the program). The child is the button itself when given as CHILDID_SELF, left out, or
// by reference, as the system's own objects take it. Late-bound clients reach the same
// methods through IDispatch, by the type of IAccessible the platform registers. Place,
// state, parent, navigation and the rest are the system's standard object of the window's
// client area.
//
// The object holds the window by handle and asks it on the GUI thread, where the calls of
// an accessibility client arrive; once the window is gone it answers that it is gone.
// oleacc.dll is loaded from the system folder at the first question, so that a session
// without a screen reader never loads it.
#pragma once

#include <windows.h>

#include <optional>

namespace vl {

// wParam 0, lParam a std::wstring* the window fills with its name.
UINT AccessibleNameMessage();
// Posted: the window is pressed as Enter presses it.
UINT AccessiblePressMessage();

// The answer to WM_GETOBJECT for a button window; none when the object asked for is not
// its client area or the platform cannot make the object (the window procedure then
// leaves the message to the default handling).
std::optional<LRESULT> AnswerAccessibleButton(HWND button, WPARAM wParam, LPARAM lParam);

}  // namespace vl
