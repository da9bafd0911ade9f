#include "gui/font.h"

#include "gui/platform_error.h"

namespace vl {
namespace {

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

}  // namespace

FontDesc DefaultUiFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  FontDesc desc;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    const LOGFONTW& lf = metrics.lfMessageFont;
    desc.name = lf.lfFaceName;
    int pixels = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
    if (pixels != 0) desc.points = MulDiv(pixels, 72, ScreenDpi());
    desc.bold = lf.lfWeight >= FW_BOLD;
    desc.italic = lf.lfItalic != 0;
    desc.charset = lf.lfCharSet;
  }
  return desc;
}

FontDesc PixelFont(std::wstring name, int pixels, bool bold, BYTE charset) {
  FontDesc desc;
  desc.name = std::move(name);
  desc.points = MulDiv(pixels, 72, ScreenDpi());
  desc.bold = bold;
  desc.charset = charset;
  return desc;
}

FontDesc FontDescOf(const LOGFONTW& lf) {
  FontDesc desc;
  desc.name = lf.lfFaceName;
  int pixels = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
  desc.points = MulDiv(pixels, 72, ScreenDpi());
  desc.bold = lf.lfWeight >= FW_BOLD;
  desc.italic = lf.lfItalic != 0;
  desc.underline = lf.lfUnderline != 0;
  desc.strikeOut = lf.lfStrikeOut != 0;
  desc.charset = lf.lfCharSet;
  return desc;
}

LOGFONTW LogFontOf(const FontDesc& desc) {
  LOGFONTW lf{};
  lf.lfHeight = -MulDiv(desc.points, ScreenDpi(), 72);
  lf.lfWeight = desc.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = desc.italic;
  lf.lfUnderline = desc.underline;
  lf.lfStrikeOut = desc.strikeOut;
  lf.lfCharSet = desc.charset;
  lf.lfQuality = DEFAULT_QUALITY;
  desc.name.copy(lf.lfFaceName, LF_FACESIZE - 1);
  return lf;
}

UniqueFont MakeFont(const FontDesc& desc) {
  LOGFONTW lf = LogFontOf(desc);
  UniqueFont font(CreateFontIndirectW(&lf));
  if (!font) ThrowLastError(L"CreateFontIndirect");
  return font;
}

SharedFont MakeSharedFont(const FontDesc& desc) { return std::make_shared<const UniqueFont>(MakeFont(desc)); }

}  // namespace vl
