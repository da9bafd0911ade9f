#include "gui/image_strip.h"

#include <cstdint>
#include <cstring>

#include "gui/dib.h"

namespace vl {
namespace {

// A square image of `size` (premultiplied 0xAARRGGBB pixels, top-down) drawn at `out`
// pixels, each channel taken between the four nearest source pixels: sharper than the
// menu's own stretching, and without its blocks of doubled pixels.
UniqueBitmap ScaledSquare(const std::uint32_t* src, int size, int out) {
  std::uint32_t* dst = nullptr;
  UniqueBitmap image = MakeDib(out, out, &dst);
  if (!image) return image;
  auto at = [&](int x, int y) { return src[y * size + x]; };
  for (int y = 0; y < out; ++y) {
    // The centre of the target pixel, in source pixels.
    double fy = (y + 0.5) * size / out - 0.5;
    int y0 = fy < 0 ? 0 : static_cast<int>(fy);
    int y1 = y0 + 1 < size ? y0 + 1 : y0;
    double wy = fy < 0 ? 0 : fy - y0;
    for (int x = 0; x < out; ++x) {
      double fx = (x + 0.5) * size / out - 0.5;
      int x0 = fx < 0 ? 0 : static_cast<int>(fx);
      int x1 = x0 + 1 < size ? x0 + 1 : x0;
      double wx = fx < 0 ? 0 : fx - x0;
      std::uint32_t pixel = 0;
      for (int shift = 0; shift < 32; shift += 8) {
        auto c = [&](std::uint32_t p) { return static_cast<double>(p >> shift & 0xFF); };
        double top = c(at(x0, y0)) * (1 - wx) + c(at(x1, y0)) * wx;
        double bottom = c(at(x0, y1)) * (1 - wx) + c(at(x1, y1)) * wx;
        pixel |= static_cast<std::uint32_t>(top * (1 - wy) + bottom * wy + 0.5) << shift;
      }
      dst[y * out + x] = pixel;
    }
  }
  return image;
}

}  // namespace

std::vector<UniqueBitmap> SplitImageStrip(HBITMAP strip, int size, std::optional<COLORREF> background,
                                          int drawnSize) {
  std::vector<UniqueBitmap> images;
  BITMAP info{};
  if (!strip || size <= 0 || !GetObjectW(strip, sizeof info, &info) || info.bmHeight < size) return images;
  const int width = info.bmWidth, height = size;
  // Read the whole strip as top-down 32-bit pixels, whatever its own format.
  std::uint32_t* all = nullptr;
  UniqueBitmap copy = MakeDib(width, height, &all);
  if (!copy) return images;
  BITMAPINFO want = Dib32(width, height);
  HDC screen = GetDC(nullptr);
  int lines = GetDIBits(screen, strip, 0, static_cast<UINT>(height), all, &want, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (lines != height) return images;
  const bool hasAlpha = info.bmBitsPixel == 32;
  for (int left = 0; left + size <= width; left += size) {
    std::uint32_t* pixels = nullptr;
    UniqueBitmap image = MakeDib(size, size, &pixels);
    if (!image) break;
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        std::uint32_t p = all[y * width + left + x];
        std::uint32_t a = hasAlpha ? p >> 24 : 255;
        // Pixels are 0xAARRGGBB; COLORREF is 0x00BBGGRR.
        std::uint32_t under = background ? (GetRValue(*background) << 16 | GetGValue(*background) << 8 |
                                            GetBValue(*background))
                                         : 0;
        auto channel = [&](int shift) {
          return ((p >> shift & 0xFF) * a + (under >> shift & 0xFF) * (255 - a) + 127) / 255 << shift;
        };
        std::uint32_t alpha = background ? 255 : a;
        pixels[y * size + x] = alpha << 24 | channel(16) | channel(8) | channel(0);
      }
    }
    if (drawnSize > 0 && drawnSize != size) {
      image = ScaledSquare(pixels, size, drawnSize);
      if (!image) break;
    }
    images.push_back(std::move(image));
  }
  return images;
}

UniqueBitmap WithGapAfter(HBITMAP image, int gap, std::optional<COLORREF> background) {
  DIBSECTION dib{};
  if (!image || GetObjectW(image, sizeof dib, &dib) != sizeof dib || dib.dsBm.bmBitsPixel != 32 || gap < 0)
    return UniqueBitmap();
  const int width = dib.dsBm.bmWidth, height = dib.dsBm.bmHeight < 0 ? -dib.dsBm.bmHeight : dib.dsBm.bmHeight;
  std::uint32_t* pixels = nullptr;
  UniqueBitmap wider = MakeDib(width + gap, height, &pixels);
  if (!wider) return wider;
  const std::uint32_t fill =
      background ? 0xFF000000u | GetRValue(*background) << 16 | GetGValue(*background) << 8 | GetBValue(*background)
                 : 0u;
  const auto* src = static_cast<const std::uint32_t*>(dib.dsBm.bmBits);
  for (int y = 0; y < height; ++y) {
    std::memcpy(pixels + y * (width + gap), src + y * width, static_cast<std::size_t>(width) * 4);
    for (int x = width; x < width + gap; ++x) pixels[y * (width + gap) + x] = fill;
  }
  return wider;
}

int MenuImageGap(int dpi) { return 2 * GetSystemMetricsForDpi(SM_CXEDGE, static_cast<UINT>(dpi)); }

std::vector<UniqueBitmap> LoadImageStrip(const wchar_t* resource, int size,
                                         std::optional<COLORREF> background, int drawnSize) {
  UniqueBitmap strip(static_cast<HBITMAP>(
      LoadImageW(GetModuleHandleW(nullptr), resource, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  return SplitImageStrip(strip.get(), size, background, drawnSize);
}

}  // namespace vl
