// IconGlyph: the glyph a launch button shows for an icon file, 32 x 32 designed pixels
// (48 x 48 at 144 DPI), made once for all the buttons that show it at that size.
//
// A page of a thousand buttons often shows one program many times, and a rebuilt page
// shows again what it showed: each glyph is made from its file once and shared while any
// button holds it. The glyph is painted over the button-face colour, so a change of that
// colour makes new glyphs.
//
// A file whose icon may wait on a server (IconLookupMayWait: on the network, a shortcut,
// a type whose icon or program is on a share) is looked at on a worker thread, several
// at once: a server that does not answer holds up the lookup for the network's time-out,
// and the launcher must show and answer at once. The button that asked is sent
// GlyphArrivedMessage() when the glyph is in, and asks again. A lookup that found nothing
// leaves the buttons as they were and is made again by AskAgainForMissingGlyphs (a server
// may be back). Called on the GUI thread only.
#pragma once

#include <windows.h>

#include <string>

#include "gui/handles.h"

namespace vl {

inline constexpr int kGlyphSize = 32;  // designed pixels

// The glyph of the file's icon (the shell's icon for its type when it holds none), `size`
// pixels square, drawn from the icon's own image of the nearest size at or above it where
// the file holds one, never stretched up from a small one when a larger one is there.
// Empty when the file does not exist or GDI could not make the bitmap, and, for a network
// path not looked at yet, until it comes: then `requester` gets GlyphArrivedMessage().
SharedBitmap IconGlyph(const std::wstring& iconPath, HWND requester, int size = kGlyphSize);

UINT GlyphArrivedMessage();

// Looks again at the files whose last lookup, at least `pauseMs` ago, found nothing; the
// buttons that waited for them get their glyphs when they come.
inline constexpr DWORD kMissingGlyphPauseMs = 30000;
void AskAgainForMissingGlyphs(DWORD pauseMs = kMissingGlyphPauseMs);

}  // namespace vl
