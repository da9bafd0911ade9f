// Image strips: one bitmap that holds a row of small square images side by side (the menu
// images), cut into one bitmap an image.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "gui/platform/handles.h"

namespace vl {

// Cuts a 32-bit strip into its size x size images, as 32-bit bitmaps with premultiplied
// alpha. With a background colour the images are laid over it instead and come out
// opaque: not every system's menus honour alpha (Wine's draw transparent pixels black).
// A strip of another depth is cut as it is, opaque. An empty strip gives no images.
// drawnSize: the images come out that many pixels square (the menu's DPI asks for more
// than the strip holds), smoothly scaled; 0 keeps `size`.
std::vector<UniqueBitmap> SplitImageStrip(HBITMAP strip, int size,
                                          std::optional<COLORREF> background = std::nullopt,
                                          int drawnSize = 0);

// `image` (a 32-bit image as cut above) with `gap` more columns on its right, of the
// background colour (opaque) or transparent: a menu draws an item's text right after its
// image, and the gap keeps the two apart. Null when no bitmap can be made.
UniqueBitmap WithGapAfter(HBITMAP image, int gap, std::optional<COLORREF> background = std::nullopt);
// The gap the system leaves between columns of a menu at that DPI: two of its edges.
int MenuImageGap(int dpi);

// The strip stored as a bitmap resource of the program, cut as above; no images when the
// resource is missing.
std::vector<UniqueBitmap> LoadImageStrip(const wchar_t* resource, int size,
                                         std::optional<COLORREF> background = std::nullopt,
                                         int drawnSize = 0);

}  // namespace vl
