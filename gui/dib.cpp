#include "gui/dib.h"

namespace vl {

BITMAPINFO Dib32(int width, int height) {
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
  bmi.bmiHeader.biWidth = width;
  bmi.bmiHeader.biHeight = -height;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  return bmi;
}

UniqueBitmap MakeDib(int width, int height, std::uint32_t** pixels) {
  BITMAPINFO bmi = Dib32(width, height);
  void* bits = nullptr;
  UniqueBitmap dib(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (pixels) *pixels = static_cast<std::uint32_t*>(bits);
  return dib;
}

}  // namespace vl
