// FontDesc and MakeFont: a font described as the user picks it (face name, size in
// points, style) and the GDI font made from it. The caller owns the font it gets; a
// SharedFont is one font that many windows draw with, gone with the last of them.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "gui/handles.h"

namespace vl {

struct FontDesc {
  std::wstring name;
  int points = 9;
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

// A font given by its height in pixels, as dialogs are designed.
FontDesc PixelFont(std::wstring name, int pixels, bool bold = false, BYTE charset = DEFAULT_CHARSET);

// The font's description in GDI's terms, at the screen's resolution, and back.
LOGFONTW LogFontOf(const FontDesc& desc);
FontDesc FontDescOf(const LOGFONTW& logFont);

// Throws EVantriError when GDI cannot make the font.
UniqueFont MakeFont(const FontDesc& desc);
SharedFont MakeSharedFont(const FontDesc& desc);

}  // namespace vl
