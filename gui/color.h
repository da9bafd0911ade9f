// Colours of the settings file on the screen: a TColor names either an RGB value or, with
// the high bit set, one of the system's colours, which is looked up when it is used.
#pragma once

#include <windows.h>

#include "core/ini_values.h"

namespace vl {

inline COLORREF ColorToRGB(TColor color) {
  if (color & 0x80000000u) return GetSysColor(static_cast<int>(color & 0xFF));
  // clNone and clDefault name no colour of their own; text takes the window text colour.
  if (color == clNone || color == clDefault) return GetSysColor(COLOR_WINDOWTEXT);
  return static_cast<COLORREF>(color & 0x00FFFFFF);
}

}  // namespace vl
