// TAppearanceTab: the settings dialog's sheet "表示": "外観：" and its drop-down list of
// the launcher's theme, "システムに合わせる" (the default), "ライト" and "ダーク", kept as
// "Theme" in [Setting] (0, 1, 2; anything else shows as the first).
//
// The dialog fills it with its other controls, writes "Theme" at OK only when the user
// chose another item than the filling showed (a file nobody touched keeps not having the
// key), and then applies the choice to every window of the launcher (gui/theme). Its
// controls are children of the sheet given, owned here.
#pragma once

#include <windows.h>

#include "core/appearance.h"
#include "core/ini_file.h"
#include "gui/combo_box.h"
#include "gui/controls.h"

namespace vl {

class TAppearanceTab {
 public:
  TAppearanceTab(HWND sheet, HFONT font);

  void Fill(TIniFile& ini);
  // Inside the dialog's one write at OK.
  void Write(TIniFile& ini) const;
  // The choice shown applied to the running launcher.
  void Apply() const;
  ThemeChoice Chosen() const;

  TLabel lblTheme;
  TComboBox cbTheme;

 private:
  ThemeChoice shown_ = ThemeChoice::System;
};

}  // namespace vl
