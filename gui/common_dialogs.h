// The system's file-open, file-save and font dialogs, modal to the whole program
// (TModalScope) while they are up.
//
// TOpenDialog and TSaveDialog keep the last file chosen: the next Execute starts from it.
// Filter, when set, is the dialog's list of file types as the system takes it (pairs of
// text and pattern, each ended by a NUL: L"ページ (*.ini)\0*.ini\0"), and Title replaces
// the system's caption. TSaveDialog asks before it names a file that exists, and adds
// DefaultExt (without its dot) to a name typed without one. TFontDialog offers the screen
// fonts without colour or effects and without size limits, starting from Font; with
// OfferStyles cleared, for a caller that keeps no bold or italic, it offers no style
// either (the style list and its label hidden) and gives back a regular font. Execute
// returns true when the user chose (OK) and then holds the choice; a cancelled dialog
// changes nothing.
#pragma once

#include <windows.h>

#include <string>

#include "gui/font.h"

namespace vl {

struct FileDialogFields {
  std::wstring FileName;
  std::wstring Filter;
  std::wstring Title;
};

class TOpenDialog : public FileDialogFields {
 public:
  bool Execute(HWND owner);
};

class TSaveDialog : public FileDialogFields {
 public:
  bool Execute(HWND owner);
  std::wstring DefaultExt;
};

class TFontDialog {
 public:
  bool Execute(HWND owner);
  FontDesc Font;
  bool OfferStyles = true;
};

}  // namespace vl
