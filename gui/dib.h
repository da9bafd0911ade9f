// 32-bit device-independent bitmaps: their pixels are what the program wrote or GetPixel
// reads back, whatever the screen's depth.
#pragma once

#include <windows.h>

#include <cstdint>

#include "gui/platform/handles.h"

namespace vl {

// The format of a top-down 32-bit DIB of width x height.
BITMAPINFO Dib32(int width, int height);

// Such a DIB; `pixels`, when given, gets its first row.
UniqueBitmap MakeDib(int width, int height, std::uint32_t** pixels = nullptr);

}  // namespace vl
