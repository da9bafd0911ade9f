// TTargetSweep: the look at the targets of the page on display that each call-up makes,
// so that a file removed while the launcher was away shows dimmed. It runs after the
// window is shown, never before: a page of 1,600 bound buttons takes tens of milliseconds
// of file-system calls, which the user would otherwise wait for at every call-up. It
// looks at the buttons in slices of a few milliseconds on a timer, the lowest of the
// queue's messages, so that painting and the keys go first, and each button dims as its
// answer comes (targets on the network answer later still, from the lookup threads).
//
// It holds the page by its identity and the buttons by number, and looks both up again
// at each slice: a page released or rebuilt meanwhile ends the sweep, or is swept as it is
// now. It stops when the window hides. Owned by the main window; GUI thread only.
#pragma once

#include <windows.h>

#include <cstdint>

#include "showhide/simple_timer.h"

namespace vl {

class TPageSet;

class TTargetSweep {
 public:
  // `pages` answers the page the window shows now; we don't own it.
  TTargetSweep(HWND window, const TPageSet& pages);
  TTargetSweep(const TTargetSweep&) = delete;
  TTargetSweep& operator=(const TTargetSweep&) = delete;

  // From the first button of the page on display, once the messages waiting now are done.
  void Start();
  bool Running() const { return timer_.Active(); }

 private:
  void Slice();

  HWND window_;  // we don't own it
  const TPageSet& pages_;
  std::uint64_t pageId_ = 0;
  std::int32_t next_ = 1;
  TSimpleTimer timer_;
};

}  // namespace vl
