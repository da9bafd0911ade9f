// TSearchIme: the input method in type to find. While a composition runs at the main
// window or one of its controls (a button, the page strip, the window itself), the
// composition window stands at the search strip below the grid (where the strip shows, or
// will show once the committed text begins a search), in the strip's font, and the
// candidate window below it; and no key is the launcher's.
//
// The committed text reaches the search as typed text does: the system turns the result
// into WM_IME_CHAR and then WM_CHAR, which the keyboard's filter types. Nothing here reads
// the result string, so each committed character is searched once. The input method's
// open state is the user's: nothing here opens or closes it.
//
// It sees the composition messages of the main window and of the page strip through
// subclasses it holds for as long as it lives, and those of the buttons through the
// notice each button sends its top-level window (CompositionNoticeMessage). Both windows
// must outlive it. It reads the strip's place from the search and changes nothing there.
#pragma once

#include <windows.h>

#include "app/launcher_search.h"
#include "gui/page_control.h"
#include "gui/window_subclass.h"

namespace vl {

class TSearchIme {
 public:
  // `window` is the main window; `strip` its page strip (a child of it).
  TSearchIme(HWND window, const TPageControl& strip, const TLauncherSearch& search);
  TSearchIme(const TSearchIme&) = delete;
  TSearchIme& operator=(const TSearchIme&) = delete;

  // A composition runs at the window that has the keyboard focus: the keys are the input
  // method's. Never true once the focus has left that window, the launcher was hidden or
  // went inactive, whatever the input method told or failed to tell.
  bool Composing() const;

 private:
  // A composition message received by `at`, the focused window, before the system's
  // handling of it.
  void Composition(HWND at, UINT msg);
  // The composition and candidate windows of the input context `at` holds, at the strip.
  void Place(HWND at);
  LRESULT WindowMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT StripMessage(UINT msg, WPARAM wParam, LPARAM lParam);

  HWND window_;  // we don't own it
  const TPageControl& strip_;
  const TLauncherSearch& search_;
  HWND composingAt_ = nullptr;  // where the composition runs; null when none does
  TWindowSubclass windowHook_;
  TWindowSubclass stripHook_;
};

}  // namespace vl
