// FontDesc and MakeFont: a font described as the user picks it (face name, size in
// points, style) or as a dialog is designed (a height in pixels at 96 DPI), and the GDI
// font made from it at the DPI of the window that shows it. The caller owns the font it gets; a
// SharedFont is one font that many windows draw with, gone with the last of them.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "gui/platform/handles.h"

namespace vl {

struct FontDesc {
  std::wstring name;
  int points = 9;
  int pixels = 0;  // when not 0: the height in pixels at 96 DPI, instead of points
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  BYTE charset = DEFAULT_CHARSET;

  bool operator==(const FontDesc&) const = default;
};

using SharedFont = std::shared_ptr<const UniqueFont>;

// The system's message font, as the user's desktop settings give it.
FontDesc DefaultUiFont();

// A font given by its height in pixels at 96 DPI, as dialogs are designed.
FontDesc PixelFont(std::wstring name, int pixels, bool bold = false, BYTE charset = DEFAULT_CHARSET);

// The DPI of the system's own metrics and of the font dialog: the primary monitor's.
int SystemDpi();

// The font's description in GDI's terms at `dpi` (N points are N * dpi / 72 pixels high,
// N designed pixels N * dpi / 96), and back from the font dialog's terms at SystemDpi.
LOGFONTW LogFontOf(const FontDesc& desc, int dpi);
FontDesc FontDescOf(const LOGFONTW& logFont);

// The font for a window at `dpi`; throws EVantriError when GDI cannot make it.
UniqueFont MakeFont(const FontDesc& desc, int dpi);
SharedFont MakeSharedFont(const FontDesc& desc, int dpi);

}  // namespace vl
