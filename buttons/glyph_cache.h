// IconGlyph: the 32 x 32 glyph a launch button shows for an icon file, made once for all
// the buttons that show it.
//
// A page of a thousand buttons often shows one program many times, and a rebuilt page
// shows again what it showed: each glyph is made from its file once and shared while any
// button holds it. The glyph is painted over the button-face colour, so a change of that
// colour makes new glyphs.
//
// A file on the network is looked at on a worker thread: a server that does not answer
// holds up the lookup for the network's time-out, and the launcher must show and answer
// at once. The button that asked is sent GlyphArrivedMessage() when the glyph is in, and
// asks again. Called on the GUI thread only.
#pragma once

#include <windows.h>

#include <string>

#include "gui/handles.h"

namespace vl {

inline constexpr int kGlyphSize = 32;

// The glyph of the file's icon (the shell's icon for its type when it holds none). Empty
// when the file does not exist or GDI could not make the bitmap, and, for a network path
// not looked at yet, until it comes: then `requester` gets GlyphArrivedMessage().
SharedBitmap IconGlyph(const std::wstring& iconPath, HWND requester);

UINT GlyphArrivedMessage();

}  // namespace vl
