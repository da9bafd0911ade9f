// IconGlyph: the glyph a launch button shows for an icon file, 32 x 32 designed pixels
// (48 x 48 at 144 DPI), made once for all the buttons that show it at that size.
//
// A page of a thousand buttons often shows one program many times, and a rebuilt page
// shows again what it showed: each glyph is made from its file once and shared while any
// button holds it. The glyph is painted over the theme's face colour (gui/theme), so a
// change of that colour makes new glyphs.
//
// A file whose icon may wait on a server (IconLookupMayWait: on the network, a shortcut,
// a type whose icon or program is on a share) is looked at on a worker thread, several
// at once: a server that does not answer holds up the lookup for the network's time-out,
// and the launcher must show and answer at once. The button that asked is sent
// GlyphArrivedMessage() when the glyph is in, and asks again. A lookup that found nothing
// leaves the buttons as they were and is made again by AskAgainForMissingGlyphs (a server
// may be back). The same threads look at whether a button's target on the network or on a
// slow drive is still there (TargetKnownGone). Called on the GUI thread only.
#pragma once

#include <windows.h>

#include <string>

#include "gui/platform/handles.h"

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

// Whether the target `path` of a bound button is known to be gone (TargetGone). A local
// target is looked at at once (a few microseconds). One whose look may wait on a server or
// a slow drive (TargetCheckMayWait) is looked at on the lookup threads: the answer is the
// last one that came in, false before the first, and `requester` is sent
// TargetCheckedMessage() when the next comes. `ask` says when a new look is made there:
//   Answered: only if none was ever made (a button taking the message);
//   Again: unless one is under way (a page built, the launcher called up);
//   Now: at once, waiting up to a second for the answer (a click, which the shell would
//   hold up anyway); no answer in time counts as there.
enum class TargetAsk { Answered, Again, Now };
bool TargetKnownGone(const std::wstring& path, HWND requester, TargetAsk ask);
UINT TargetCheckedMessage();

}  // namespace vl
