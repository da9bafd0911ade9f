// The theme on real windows of this process: launch buttons painted dark (the face, a navy
// caption drawn in the mode's text and a white one as chosen, the search's frame, the gone
// mark, a glyph made again over the dark face), a tab strip and a tooltip in the dark
// palette, and back to light; then high contrast, which Wine cannot switch on (its
// SPI_SETHIGHCONTRAST changes nothing), stood in for by the theme's test hook over
// system colours set as a high-contrast scheme sets them: captions only in
// COLOR_WINDOWTEXT, the frame and the focus mark in COLOR_HIGHLIGHT.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <vector>

#include "buttons/launch_btn.h"
#include "gui/page_control.h"
#include "gui/platform/scoped_select.h"
#include "gui/theme.h"
#include "gui/tool_tip.h"
#include "tests/win/button_test_support.h"

namespace vl {
namespace {

constexpr int kSize = 64;
constexpr COLORREF kNavy = RGB(0, 0, 128), kWhite = RGB(255, 255, 255);

struct Shot {
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;
  COLORREF at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
  int Count(COLORREF c) const { return static_cast<int>(std::count(pixels.begin(), pixels.end(), c)); }
};

// What the window paints, through WM_PRINTCLIENT into a bitmap of our own.
Shot Painted(HWND window) {
  RECT rc;
  GetClientRect(window, &rc);
  Shot shot{rc.right, rc.bottom, {}};
  UniqueDC dc(CreateCompatibleDC(nullptr));
  BITMAPINFO bmi{};
  bmi.bmiHeader = {sizeof bmi.bmiHeader, shot.width, -shot.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  UniqueBitmap bitmap(CreateDIBSection(dc.get(), &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
  {
    ScopedSelect select(dc.get(), bitmap.get());
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
  }
  GdiFlush();
  for (int i = 0; i < shot.width * shot.height; ++i) {
    const DWORD p = static_cast<const DWORD*>(bits)[i];
    shot.pixels.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
  }
  return shot;
}

COLORREF GlyphCorner(const TBitBtn& b) {
  UniqueDC dc(CreateCompatibleDC(nullptr));
  BITMAP bm{};
  GetObjectW(b.Glyph(), sizeof bm, &bm);
  ScopedSelect select(dc.get(), b.Glyph());
  return GetPixel(dc.get(), 0, bm.bmHeight - 1);
}

class ThemeTest : public testing::Test {
 protected:
  void TearDown() override {
    highContrastHook = nullptr;
    SetThemeChoice(ThemeChoice::Light);
  }
  TLaunchBtn& Button(const std::wstring& name, TShowType type, COLORREF colour = kNavy) {
    const int x = 4 + static_cast<int>(buttons.size()) * (kSize + 4);
    auto b = std::make_unique<TLaunchBtn>(BitBtnParams{form.Handle(), x, 4, kSize, kSize, L""});
    b->SetFont(font);
    b->SetFontColor(colour);
    b->SetBtnName(name);
    if (type != st_TextOnly) b->SetIconPath((test::TestProgramFolder() / L"cwd_writer.exe").wstring());
    b->SetShowType(type);
    buttons.push_back(std::move(b));
    return *buttons.back();
  }

  test::TestForm form{520, 200};
  SharedFont font = MakeSharedFont(FontDesc{L"ＭＳ Ｐゴシック", 10}, 96);
  std::vector<std::unique_ptr<TLaunchBtn>> buttons;
};

TEST_F(ThemeTest, DarkFacesKeepCaptionsReadableMarksSeenAndGlyphsOnTheirFace) {
  SetThemeChoice(ThemeChoice::Light);
  TLaunchBtn& navy = Button(L"メモ帳", st_TextOnly);
  TLaunchBtn& white = Button(L"白", st_TextOnly, kWhite);
  TLaunchBtn& marked = Button(L"印", st_TextOnly);
  marked.SetMarked(true);
  TLaunchBtn& gone = Button(L"消えた", st_TextOnly);
  gone.SetDimmed(true);
  TLaunchBtn& icon = Button(L"", st_IconOnly);
  ASSERT_TRUE(icon.Glyph());
  const COLORREF lightCorner = GlyphCorner(icon);
  TPageControl strip(form.Handle(), 0, 80, 300, 60, nullptr);
  strip.AddSheet(L"一", 1);
  strip.AddSheet(L"二", 2);
  HWND tip = MakeToolTipWindow(form.Handle());
  EXPECT_GT(Painted(navy.Handle()).Count(kNavy), 0) << "navy reads on the light face";

  SetThemeChoice(ThemeChoice::Dark);
  ASSERT_EQ(CurrentThemeMode(), ThemeMode::Dark);
  const Palette& p = ThemePalette();
  Shot shot = Painted(navy.Handle());
  EXPECT_EQ(shot.at(8, 8), p.face);
  EXPECT_EQ(shot.Count(kNavy), 0) << "navy does not read on the dark face";
  EXPECT_GT(shot.Count(p.text), 0) << "the mode's text instead";
  shot = Painted(white.Handle());
  EXPECT_GT(shot.Count(kWhite), 0) << "white reads: drawn as chosen";
  EXPECT_EQ(shot.Count(p.text), 0);
  shot = Painted(marked.Handle());
  EXPECT_EQ(shot.at(1, kSize / 2), p.mark);
  EXPECT_EQ(shot.at(2, kSize / 2), p.mark) << "two pixels wide";
  shot = Painted(gone.Handle());
  EXPECT_EQ(shot.at(kSize - 9, 5), p.goneFill);
  EXPECT_GT(shot.Count(p.grayText), 0) << "the dimmed caption";
  EXPECT_EQ(shot.Count(kNavy), 0);
  // The glyph is made over the face (its corner one red step off it): made again dark.
  const COLORREF corner = GlyphCorner(icon);
  EXPECT_NE(corner, lightCorner);
  EXPECT_EQ(GetGValue(corner), GetGValue(p.face));
  EXPECT_EQ(GetBValue(corner), GetBValue(p.face));
  EXPECT_LE(std::abs(GetRValue(corner) - GetRValue(p.face)), 1);
  shot = Painted(strip.Handle());
  EXPECT_EQ(shot.at(shot.width - 4, 4), p.window) << "the tab row beside the tabs";
  RECT first;
  SendMessageW(strip.Handle(), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  EXPECT_EQ(shot.at(first.left + 3, first.bottom - 3), p.face) << "the selected tab joins its page";
  EXPECT_EQ(static_cast<COLORREF>(SendMessageW(tip, TTM_GETTIPBKCOLOR, 0, 0)), p.infoBk);
  EXPECT_EQ(static_cast<COLORREF>(SendMessageW(tip, TTM_GETTIPTEXTCOLOR, 0, 0)), p.infoText);

  SetThemeChoice(ThemeChoice::Light);
  shot = Painted(navy.Handle());
  EXPECT_EQ(shot.at(8, 8), GetSysColor(COLOR_BTNFACE)) << "the system's face again";
  EXPECT_GT(shot.Count(kNavy), 0);
  EXPECT_EQ(GlyphCorner(icon), lightCorner);
  EXPECT_EQ(static_cast<COLORREF>(SendMessageW(tip, TTM_GETTIPBKCOLOR, 0, 0)), GetSysColor(COLOR_INFOBK));
  DestroyWindow(tip);
}

TEST_F(ThemeTest, HighContrastDrawsOnlyTheSystemsColours) {
  // A scheme as "High Contrast Black" sets it, with colours nothing else on a face has.
  const std::array<int, 6> elements{COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HIGHLIGHT, COLOR_GRAYTEXT, COLOR_HOTLIGHT,
                                    COLOR_INFOBK};
  const std::array<COLORREF, 6> scheme{RGB(0, 0, 0), RGB(255, 255, 0), RGB(26, 235, 255), RGB(63, 242, 63),
                                       RGB(255, 128, 255), RGB(0, 0, 0)};
  std::array<COLORREF, 6> saved{};
  for (std::size_t i = 0; i < elements.size(); ++i) saved[i] = GetSysColor(elements[i]);
  struct Restore {
    const std::array<int, 6>& elements;
    const std::array<COLORREF, 6>& saved;
    ~Restore() {
      highContrastHook = nullptr;
      SetSysColors(static_cast<int>(elements.size()), elements.data(), saved.data());
      FollowSystemChange(WM_SYSCOLORCHANGE, 0, 0);
    }
  } restore{elements, saved};
  TLaunchBtn& navy = Button(L"メモ帳", st_TextOnly);
  TLaunchBtn& white = Button(L"白", st_TextOnly, kWhite);
  TLaunchBtn& marked = Button(L"印", st_TextOnly);
  marked.SetMarked(true);
  TLaunchBtn& gone = Button(L"消えた", st_TextOnly);
  gone.SetDimmed(true);

  ASSERT_TRUE(SetSysColors(static_cast<int>(elements.size()), elements.data(), scheme.data()));
  highContrastHook = [] { return true; };
  FollowSystemChange(WM_SYSCOLORCHANGE, 0, 0);
  ASSERT_EQ(CurrentThemeMode(), ThemeMode::HighContrast);
  const COLORREF text = scheme[1], highlight = scheme[2];
  Shot shot = Painted(navy.Handle());
  EXPECT_EQ(shot.at(8, 8), scheme[0]) << "the window colour";
  EXPECT_EQ(shot.Count(kNavy), 0) << "never the page's colour";
  EXPECT_GT(shot.Count(text), 0) << "the window text";
  shot = Painted(white.Handle());
  EXPECT_EQ(shot.Count(kWhite), 0) << "not even one that reads";
  EXPECT_GT(shot.Count(text), 0);
  shot = Painted(marked.Handle());
  EXPECT_EQ(shot.at(1, kSize / 2), highlight);
  EXPECT_EQ(shot.at(2, kSize / 2), highlight);
  SetFocus(navy.Handle());
  shot = Painted(navy.Handle());
  EXPECT_EQ(shot.at(4, 4), highlight) << "the focus mark";
  EXPECT_EQ(shot.at(4, 6), highlight);
  navy.SetFontColor(ThemePalette().hotText);
  EXPECT_GT(Painted(navy.Handle()).Count(scheme[4]), 0) << "the caption under the pointer in COLOR_HOTLIGHT";
  shot = Painted(gone.Handle());
  EXPECT_GT(shot.Count(scheme[3]), 0) << "a dimmed caption in COLOR_GRAYTEXT";
  EXPECT_EQ(shot.at(kSize - 9, 5), text) << "the gone mark in the scheme's own colours";

  // Switched off, the next message makes the launcher light again.
  highContrastHook = [] { return false; };
  SetSysColors(static_cast<int>(elements.size()), elements.data(), saved.data());
  FollowSystemChange(WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
  EXPECT_EQ(CurrentThemeMode(), ThemeMode::Light);
  EXPECT_EQ(Painted(navy.Handle()).at(8, 8), GetSysColor(COLOR_BTNFACE));
}

}  // namespace
}  // namespace vl
