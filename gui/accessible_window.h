// The accessible object of a window of ours that tells a screen reader what it is by
// itself: what the reader asks of the window (WM_GETOBJECT for OBJID_CLIENT), answered
// with the name the window gives when sent AccessibleNameMessage(), the role the window
// is made with, and, for a window that can be worked, a default action whose words it
// gives and whose message it is posted. The default action is refused while the window is
// hidden or disabled, or its top-level window is (under a box modal to the program). The
// child is the window itself when given as CHILDID_SELF, left out, or by reference, as
// the system's own objects take it. Late-bound clients reach the same methods through
// IDispatch, by the type of IAccessible the platform registers. There is no access key (an
// "&" in our windows' texts is drawn as it is). Place, state, parent, navigation and the
// rest are the system's standard object of the window's client area.
//
// The object holds the window by handle and asks it on the GUI thread, where the calls of
// an accessibility client arrive; once the window is gone it answers that it is gone.
// oleacc.dll is loaded from the system folder at the first question, so that a session
// without a screen reader never loads it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace vl {

// wParam 0, lParam a std::wstring* the window fills with its name (TellAccessibleName).
UINT AccessibleNameMessage();

// The window's answer to AccessibleNameMessage. Any program can send a registered message:
// only the accessible object, on the window's own thread, gives a pointer that may be
// written through, and only then is `name` written.
void TellAccessibleName(LPARAM lParam, const std::wstring& name);

// What the object says the window is.
struct AccessibleKind {
  long role;                               // ROLE_SYSTEM_*
  const wchar_t* defaultAction = nullptr;  // the words of the default action; none without
  UINT actionMessage = 0;                  // posted to the window for the default action
};

// The answer to WM_GETOBJECT for the window; none when the object asked for is not its
// client area or the platform cannot make the object (the window procedure then leaves
// the message to the default handling).
std::optional<LRESULT> AnswerAccessibleWindow(HWND window, WPARAM wParam, LPARAM lParam, const AccessibleKind& kind);

}  // namespace vl
