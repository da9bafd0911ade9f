#include "gui/font.h"

#include "gui/platform/platform_error.h"

namespace vl {

int SystemDpi() {
  UINT dpi = GetDpiForSystem();
  return dpi > 0 ? static_cast<int>(dpi) : 96;
}

FontDesc DefaultUiFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  FontDesc desc;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    const LOGFONTW& lf = metrics.lfMessageFont;
    desc.name = lf.lfFaceName;
    int pixels = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
    if (pixels != 0) desc.points = MulDiv(pixels, 72, SystemDpi());
    desc.bold = lf.lfWeight >= FW_BOLD;
    desc.italic = lf.lfItalic != 0;
    desc.charset = lf.lfCharSet;
  }
  return desc;
}

FontDesc PixelFont(std::wstring name, int pixels, bool bold, BYTE charset) {
  FontDesc desc;
  desc.name = std::move(name);
  desc.pixels = pixels;
  desc.points = MulDiv(pixels, 72, 96);  // what the font dialog would show for it
  desc.bold = bold;
  desc.charset = charset;
  return desc;
}

FontDesc FontDescOf(const LOGFONTW& lf) {
  FontDesc desc;
  desc.name = lf.lfFaceName;
  int pixels = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
  desc.points = MulDiv(pixels, 72, SystemDpi());
  desc.bold = lf.lfWeight >= FW_BOLD;
  desc.italic = lf.lfItalic != 0;
  desc.underline = lf.lfUnderline != 0;
  desc.strikeOut = lf.lfStrikeOut != 0;
  desc.charset = lf.lfCharSet;
  return desc;
}

LOGFONTW LogFontOf(const FontDesc& desc, int dpi) {
  LOGFONTW lf{};
  lf.lfHeight = desc.pixels ? -MulDiv(desc.pixels, dpi, 96) : -MulDiv(desc.points, dpi, 72);
  lf.lfWeight = desc.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = desc.italic;
  lf.lfUnderline = desc.underline;
  lf.lfStrikeOut = desc.strikeOut;
  lf.lfCharSet = desc.charset;
  lf.lfQuality = DEFAULT_QUALITY;
  desc.name.copy(lf.lfFaceName, LF_FACESIZE - 1);
  return lf;
}

UniqueFont MakeFont(const FontDesc& desc, int dpi) {
  LOGFONTW lf = LogFontOf(desc, dpi);
  UniqueFont font(CreateFontIndirectW(&lf));
  if (!font) ThrowLastError(L"CreateFontIndirect");
  return font;
}

SharedFont MakeSharedFont(const FontDesc& desc, int dpi) {
  return std::make_shared<const UniqueFont>(MakeFont(desc, dpi));
}

}  // namespace vl
