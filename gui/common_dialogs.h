// The system's file-open and font dialogs, modal to the whole program (TModalScope) while
// they are up.
//
// TOpenDialog has no filter and keeps the last file chosen: the next Execute starts from
// it. TFontDialog offers the screen fonts without colour or effects and without size
// limits, starting from Font. Execute returns true when the user chose (OK) and then
// holds the choice; a cancelled dialog changes nothing.
#pragma once

#include <windows.h>

#include <string>

#include "gui/font.h"

namespace vl {

class TOpenDialog {
 public:
  bool Execute(HWND owner);
  std::wstring FileName;
};

class TFontDialog {
 public:
  bool Execute(HWND owner);
  FontDesc Font;
};

}  // namespace vl
