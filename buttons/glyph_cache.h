// IconGlyph: the 32 x 32 glyph a launch button shows for an icon file, made once for all
// the buttons that show it.
//
// A page of a thousand buttons often shows one program many times, and a rebuilt page
// shows again what it showed: each glyph is made from its file once and shared while any
// button holds it. The glyph is painted over the button-face colour, so a change of that
// colour makes new glyphs. GUI thread only.
#pragma once

#include <string>

#include "gui/handles.h"

namespace vl {

inline constexpr int kGlyphSize = 32;

// The glyph of the file's icon (the shell's icon for its type when it holds none); empty
// only when GDI could not make the bitmap.
SharedBitmap IconGlyph(const std::wstring& iconPath);

}  // namespace vl
