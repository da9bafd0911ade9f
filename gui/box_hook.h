// The one way the program raises a system message box: modal to the whole program (see
// TModalScope), owned by ModalOwner(), and placed over that owner where the user is
// looking, not in the middle of the screen. With yesNo the buttons read "はい(&Y)" and
// "いいえ(&N)" on every system, and Esc answers No, which a Yes/No box otherwise ignores.
#pragma once

#include <windows.h>

#include <string_view>

namespace vl {

int RunMessageBox(std::wstring_view text, std::wstring_view caption, UINT flags, bool yesNo = false);

// Moves `box` so that it stands centred over `owner`, kept inside the work area of the
// owner's monitor. An owner that is hidden or minimised leaves the box where it is.
void PlaceOver(HWND box, HWND owner);

}  // namespace vl
