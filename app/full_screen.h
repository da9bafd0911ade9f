// Whether the user is busy with a program that fills the screen, so that a move of the
// mouse that looks like a shake is taken as part of that (a game, a video, a slide show)
// and not as a call for the launcher: the window in front covers the whole of its
// monitor (neither the desktop nor the shell's own window, which do too), or the shell
// says so (SHQueryUserNotificationState: busy, a Direct3D program in full screen, or
// presentation mode). Asked only when a shake is seen: a few calls of the system.
#pragma once

#include <windows.h>

namespace vl {

bool FullScreenInFront();

// The same rule for a window given: covering its monitor, and not the shell's.
bool CoversItsMonitor(HWND window);

}  // namespace vl
