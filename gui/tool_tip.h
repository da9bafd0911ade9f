// TToolTip: the tooltip of one control, a tooltips_class32 window that watches the
// control's mouse messages by itself (TTF_SUBCLASS). It owns its tooltip window; the
// control must outlive it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "gui/handles.h"

namespace vl {

class TToolTip {
 public:
  explicit TToolTip(HWND tool);

  void SetText(const std::wstring& text);
  // What the tooltip window itself holds, as it would show it.
  std::wstring Text() const;
  void Activate(bool on);

  HWND Handle() const { return window_.get(); }

 private:
  TTTOOLINFOW ToolInfo(const wchar_t* text) const;

  HWND tool_;  // we don't own it
  UniqueWindow window_;
};

}  // namespace vl
