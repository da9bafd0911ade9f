#include "buttons/glyph_cache.h"

#include <shellapi.h>

#include <algorithm>
#include <map>
#include <memory>
#include <utility>

#include "gui/scoped_select.h"

namespace vl {
namespace {

// A 32-bit DIB: its pixels are what GetPixel reads back, whatever the screen's depth.
UniqueBitmap MakeGlyphBitmap(HDC dc) {
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
  bmi.bmiHeader.biWidth = kGlyphSize;
  bmi.bmiHeader.biHeight = kGlyphSize;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  return UniqueBitmap(CreateDIBSection(dc, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
}

UniqueBitmap MakeGlyph(const std::wstring& iconPath) {
  UniqueDC dc(CreateCompatibleDC(nullptr));
  UniqueBitmap glyph = MakeGlyphBitmap(dc.get());
  if (!dc || !glyph) return {};
  // The call may write the path of the icon's real source back into its buffer.
  std::wstring source = iconPath;
  source.resize(std::max<std::size_t>(source.size() + 1, MAX_PATH));
  WORD index = 0;
  UniqueIcon icon(ExtractAssociatedIconW(GetModuleHandleW(nullptr), source.data(), &index));
  ScopedSelect select(dc.get(), glyph.get());
  RECT all{0, 0, kGlyphSize, kGlyphSize};
  FillRect(dc.get(), &all, GetSysColorBrush(COLOR_BTNFACE));
  if (icon) DrawIconEx(dc.get(), 0, 0, icon.get(), kGlyphSize, kGlyphSize, 0, nullptr, DI_NORMAL);
  // The button draws the corner's colour as transparent. One red step away from what the
  // corner holds, that key matches (almost) nothing, so the face colour and every icon
  // pixel, black ones too, are drawn as they are.
  COLORREF corner = GetPixel(dc.get(), 0, kGlyphSize - 1);
  BYTE red = GetRValue(corner);
  red = red == 255 ? 254 : static_cast<BYTE>(red + 1);
  SetPixel(dc.get(), 0, kGlyphSize - 1, RGB(red, GetGValue(corner), GetBValue(corner)));
  return glyph;
}

struct Key {
  std::wstring path;
  COLORREF face;
  auto operator<=>(const Key&) const = default;
};

// Glyphs stay only while a button holds them: the cache never keeps an icon alive.
class TGlyphCache {
 public:
  SharedBitmap Get(const std::wstring& iconPath) {
    Key key{iconPath, GetSysColor(COLOR_BTNFACE)};
    if (auto it = glyphs_.find(key); it != glyphs_.end())
      if (SharedBitmap glyph = it->second.lock()) return glyph;
    UniqueBitmap made = MakeGlyph(iconPath);
    if (!made) return {};
    auto glyph = std::make_shared<const UniqueBitmap>(std::move(made));
    glyphs_[std::move(key)] = glyph;
    if (glyphs_.size() >= pruneAt_) {
      std::erase_if(glyphs_, [](const auto& entry) { return entry.second.expired(); });
      pruneAt_ = std::max<std::size_t>(kFirstPrune, 2 * glyphs_.size());
    }
    return glyph;
  }

 private:
  static constexpr std::size_t kFirstPrune = 256;
  std::map<Key, std::weak_ptr<const UniqueBitmap>> glyphs_;
  std::size_t pruneAt_ = kFirstPrune;
};

}  // namespace

SharedBitmap IconGlyph(const std::wstring& iconPath) {
  static TGlyphCache cache;
  return cache.Get(iconPath);
}

}  // namespace vl
