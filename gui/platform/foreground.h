// Bringing a window of ours to the front when the user called it up without giving our
// process any input of its own (the shake of the mouse, a key caught by a hook).
//
// Windows refuses SetForegroundWindow to a process that did not receive the last input
// event while the foreground lock holds; the window would then appear behind the active
// one, or without the keyboard. The system lifts that lock when the user presses Alt (as
// LockSetForegroundWindow's documentation says), so on a refusal we tap Alt ourselves and
// ask again. Inside the tap we tap an unassigned key, so that the Alt press counts as part
// of a combination: an Alt pressed and released alone would put the window in front into
// menu mode.
#pragma once

#include <windows.h>

namespace vl {

// Brings the window forward with the activation; true when it is the foreground window.
bool BringToFront(HWND window);

// Alt down, an unassigned key down and up, Alt up, sent as input: what lifts the lock.
void TapAltQuietly();

}  // namespace vl
