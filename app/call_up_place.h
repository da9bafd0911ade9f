// TCallUpPlace: where the main window shows when the user calls it up, and which place of
// it the settings file keeps.
//
// With "ShowAtPointer" on, every call-up (the hot key, the tray, the shake, a second
// copy) brings the window to the monitor under the pointer, laid out at that monitor's
// DPI while still hidden, centred on the pointer and wholly inside the work area (the
// rule is core/call_up_place.h). Off, only the shake does so, as it always has. A showing
// at the pointer while the setting is on is no choice of place by the user: OwnPlace keeps
// answering the place the window had before it, until the user moves the window (the
// caption dragged, or "移動") or the file's place is taken up (Forget). A change of the
// monitors (WM_DISPLAYCHANGE) brings a window on screen back onto a monitor that is there.
//
// Owned by the main window, which must outlive it; it watches the window's messages
// through a subclass of its own.
#pragma once

#include <windows.h>

#include <optional>

#include "core/call_up_place.h"
#include "gui/window_subclass.h"

namespace vl {

class TCallUpPlace {
 public:
  explicit TCallUpPlace(HWND window);
  TCallUpPlace(const TCallUpPlace&) = delete;
  TCallUpPlace& operator=(const TCallUpPlace&) = delete;

  void SetAtPointer(bool on) { atPointer_ = on; }
  bool AtPointer() const { return atPointer_; }
  // Before the window shows: at the pointer when the setting says so, or at `shake`, the
  // pointer where the shake ended, whatever it says. Does nothing otherwise.
  void BeforeShow(std::optional<POINT> shake = std::nullopt);
  // The place the settings file is to keep for the window that stands at `window`.
  POINT OwnPlace(const RECT& window) const;
  // The window was put at the file's place: that is its own place now.
  void Forget() { ownPlace_.reset(); }

 private:
  void MoveTo(POINT pointer);
  LRESULT Watch(UINT msg, WPARAM wParam, LPARAM lParam);

  HWND window_;  // we don't own it
  bool atPointer_ = false;
  // Where the window stood before the first showing at the pointer since the user last
  // placed it; empty while its place is its own.
  std::optional<POINT> ownPlace_;
  TWindowSubclass subclass_;
};

}  // namespace vl
