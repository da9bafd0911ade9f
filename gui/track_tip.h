// TTrackTip: a tooltip the program puts up at a point of the screen for a moment, to say
// what just happened (where a button went), rather than one the pointer calls up by
// resting on a control.
//
// Its tooltip window is made at the first Show, owned by `owner` (so it goes with it), and
// destroyed with the object; a timer on it takes the tip down when its time is up.
#pragma once

#include <windows.h>

#include <string>

#include "gui/platform/handles.h"

namespace vl {

class TTrackTip {
 public:
  explicit TTrackTip(HWND owner) : owner_(owner) {}
  ~TTrackTip();
  TTrackTip(const TTrackTip&) = delete;
  TTrackTip& operator=(const TTrackTip&) = delete;

  // Shows `text` with the tip's top centre at `screen` for `ms` milliseconds; a tip up
  // already takes the new text and starts its time again.
  void Show(const std::wstring& text, POINT screen, UINT ms);
  void Hide();
  // Up now, and what it says.
  bool Visible() const;
  std::wstring Text() const;
  HWND Handle() const { return window_; }

 private:
  static void CALLBACK TimeUp(HWND window, UINT, UINT_PTR, DWORD);

  HWND owner_;  // we don't own it
  HWND window_ = nullptr;
  std::wstring text_;
};

}  // namespace vl
