// TToolTip: the tooltip of one control, as one tool of a tooltips_class32 control that
// every control of the same top-level window shares. A tooltip window per control would
// cost a window per button, and a process has a quota of user objects.
//
// The shared control watches each tool's mouse messages by itself (TTF_SUBCLASS). It is
// made with the first tool of its top-level window, owned by that window (its handle
// kept in a property of it), and destroyed with the last tool, or with the window.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace vl {

// A tooltip control owned by `owner` (it stays above it and goes with it), always on top
// and showing "&" as it is; raises the platform error when none can be made.
HWND MakeToolTipWindow(HWND owner);

class TToolTip {
 public:
  explicit TToolTip(HWND tool);
  ~TToolTip();
  TToolTip(const TToolTip&) = delete;
  TToolTip& operator=(const TToolTip&) = delete;

  void SetText(const std::wstring& text);
  // What the tooltip control holds for this tool, as it would show it; empty while the
  // tool is not active.
  std::wstring Text() const;
  // Off, the tool leaves the shared control (which keeps serving the others); on, it
  // comes back with its text.
  void Activate(bool on);

  // The shared tooltip window.
  HWND Handle() const { return window_; }

 private:
  TTTOOLINFOW ToolInfo(const wchar_t* text) const;

  HWND tool_;    // we don't own it
  HWND window_;  // shared: the last tool destroys it
  std::wstring text_;
  bool active_ = true;
};

}  // namespace vl
