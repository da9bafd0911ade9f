// Menu images: a strip cut into premultiplied images, and the images on real menu items.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>

#include "gui/application.h"
#include "gui/dib.h"
#include "gui/image_strip.h"
#include "gui/popup_menu.h"

namespace vl {
namespace {

// A strip of `count` images of 16 x 16: image k is filled with alpha 128 and the blue value
// 200 - k, its top left pixel fully transparent.
UniqueBitmap MakeStrip(int count) {
  std::uint32_t* p = nullptr;
  UniqueBitmap strip = MakeDib(16 * count, 16, &p);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16 * count; ++x)
      p[y * 16 * count + x] = (x % 16 == 0 && y == 0) ? 0x00FFFFFF : 0x80000000u | static_cast<std::uint32_t>(200 - x / 16);
  return strip;
}

std::uint32_t PixelOf(HBITMAP image, int x, int y) {
  DIBSECTION dib{};
  GetObjectW(image, sizeof dib, &dib);
  const auto* p = static_cast<const std::uint32_t*>(dib.dsBm.bmBits);
  // Top-down DIB: the first row in memory is the top row.
  return p[y * dib.dsBm.bmWidth + x];
}

TEST(ImageStrip, CutsIntoPremultipliedSquares) {
  UniqueBitmap strip = MakeStrip(3);
  std::vector<UniqueBitmap> images = SplitImageStrip(strip.get(), 16);
  ASSERT_EQ(images.size(), 3u);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(PixelOf(images[k].get(), 5, 5), 0x80000000u | static_cast<std::uint32_t>(((200 - k) * 128 + 127) / 255))
        << "image " << k;
    EXPECT_EQ(PixelOf(images[k].get(), 0, 0), 0u) << "transparent stays transparent, colour and all";
  }
  std::vector<UniqueBitmap> over = SplitImageStrip(strip.get(), 16, RGB(0, 0, 100));
  EXPECT_EQ(PixelOf(over[0].get(), 5, 5), 0xFF000000u | ((200 * 128 + 100 * 127 + 127) / 255))
      << "laid over the background: half the image's blue, half the background's";
  EXPECT_EQ(PixelOf(over[0].get(), 0, 0), 0xFF000064u) << "a transparent pixel shows the background";
  EXPECT_TRUE(SplitImageStrip(nullptr, 16).empty());
  EXPECT_TRUE(SplitImageStrip(strip.get(), 0).empty());
  EXPECT_TRUE(SplitImageStrip(strip.get(), 32).empty()) << "a strip lower than one image";
}

TEST(ImageStrip, ImagesDrawnLargerForTheMenusDpiKeepTheirOwnColoursToTheEdge) {
  // Two opaque images of far-apart colours side by side: a pixel read past an image's
  // edge would show in the colour of its neighbour or of whatever memory follows.
  std::uint32_t* p = nullptr;
  UniqueBitmap strip = MakeDib(32, 16, &p);
  const std::uint32_t colours[2] = {0xFF0000FFu, 0xFFFF0000u};
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x) p[y * 32 + x] = colours[x / 16];
  std::vector<UniqueBitmap> images = SplitImageStrip(strip.get(), 16, std::nullopt, 24);
  ASSERT_EQ(images.size(), 2u);
  for (int k = 0; k < 2; ++k) {
    BITMAP bm{};
    GetObjectW(images[k].get(), sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 24);
    EXPECT_EQ(bm.bmHeight, 24);
    for (auto [x, y] : {std::pair{0, 0}, {12, 12}, {23, 0}, {0, 23}, {23, 23}})
      EXPECT_EQ(PixelOf(images[k].get(), x, y), colours[k]) << "image " << k << " at " << x << "," << y;
  }
}

TEST(ImageStrip, AGapAfterAnImageKeepsItsPixelsAndIsOfTheBackgroundOrClear) {
  std::vector<UniqueBitmap> images = SplitImageStrip(MakeStrip(1).get(), 16, RGB(0, 0, 100));
  ASSERT_EQ(images.size(), 1u);
  const int gap = MenuImageGap(96);
  EXPECT_GE(gap, 2) << "a gap the eye sees";
  EXPECT_EQ(MenuImageGap(144), 2 * GetSystemMetricsForDpi(SM_CXEDGE, 144));
  UniqueBitmap spaced = WithGapAfter(images[0].get(), gap, RGB(0, 0, 100));
  BITMAP bm{};
  ASSERT_TRUE(GetObjectW(spaced.get(), sizeof bm, &bm));
  EXPECT_EQ(bm.bmWidth, 16 + gap);
  EXPECT_EQ(bm.bmHeight, 16);
  for (int y : {0, 7, 15}) {
    for (int x = 0; x < 16; ++x) EXPECT_EQ(PixelOf(spaced.get(), x, y), PixelOf(images[0].get(), x, y)) << x << "," << y;
    for (int x = 16; x < 16 + gap; ++x) EXPECT_EQ(PixelOf(spaced.get(), x, y), 0xFF000064u) << "the menu's colour";
  }
  UniqueBitmap clear = WithGapAfter(images[0].get(), gap);
  EXPECT_EQ(PixelOf(clear.get(), 16, 3), 0u) << "transparent without a background";
  EXPECT_FALSE(WithGapAfter(nullptr, gap));
}

TEST(ImageStrip, MenuItemsShowTheirImages) {
  TApplication app(L"RavariVudovi");
  TPopupMenu menu;
  menu.Add(L"ボタンの削除");
  menu.Add(L"-");
  menu.Add(L"終了");
  std::vector<UniqueBitmap> images = SplitImageStrip(MakeStrip(2).get(), 16);
  HBITMAP second = images[1].get();
  menu.SetImage(0, std::move(images[0]));
  menu.SetImage(2, std::move(images[1]));
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_BITMAP;
  ASSERT_TRUE(GetMenuItemInfoW(menu.Handle(), 2, TRUE, &info));
  EXPECT_EQ(info.hbmpItem, second);
  EXPECT_EQ(menu.Image(2), second);
  EXPECT_EQ(menu.Image(1), nullptr);
}

}  // namespace
}  // namespace vl
