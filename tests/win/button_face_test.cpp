// The launch button's face and tooltip on the real platform: captions laid out in one or
// two lines by GDI's own measures and read back from the painted pixels, the focus mark's
// gap, the gone mark over the focus mark, the placeholder, the lit drop target, and the
// tooltip's text as the shared tooltip control holds it.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "buttons/launch_btn.h"
#include "buttons/shell_helpers.h"
#include "core/caption_lines.h"
#include "gui/platform/scoped_select.h"
#include "gui/tool_tip.h"
#include "gui/track_tip.h"
#include "tests/core/temp_dir.h"
#include "tests/win/button_test_support.h"

namespace vl {
namespace {

constexpr int kSize = 64;           // the new page's button
constexpr int kFocusInset = 4;      // where the focus mark runs at 96 DPI
constexpr COLORREF kInk = RGB(200, 0, 0);  // a caption colour nothing else on the face has

struct Face {
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;
  COLORREF at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

Face Painted(const TBitBtn& btn) {
  RECT rc;
  GetClientRect(btn.Handle(), &rc);
  Face face{rc.right, rc.bottom, {}};
  UniqueDC dc(CreateCompatibleDC(nullptr));
  BITMAPINFO bmi{};
  bmi.bmiHeader = {sizeof bmi.bmiHeader, face.width, -face.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  UniqueBitmap shot(CreateDIBSection(dc.get(), &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
  {
    ScopedSelect select(dc.get(), shot.get());
    SendMessageW(btn.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
  }
  GdiFlush();
  for (int i = 0; i < face.width * face.height; ++i) {
    const DWORD p = static_cast<const DWORD*>(bits)[i];
    face.pixels.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
  }
  return face;
}

bool Inked(COLORREF c) { return GetRValue(c) > 120 && GetGValue(c) < 90 && GetBValue(c) < 90; }

// The runs of rows that hold caption pixels: one per line of text.
int InkBands(const Face& face) {
  int bands = 0;
  bool inBand = false;
  for (int y = 0; y < face.height; ++y) {
    bool row = false;
    for (int x = 0; x < face.width && !row; ++x) row = Inked(face.at(x, y));
    if (row && !inBand) ++bands;
    inBand = row;
  }
  return bands;
}

std::wstring Joined(const std::vector<std::wstring>& lines) {
  std::wstring all;
  for (const auto& line : lines) all += line;
  return all;
}

class ButtonFaceTest : public testing::Test {
 protected:
  test::TestForm form{700, 300};
  test::TempDir dir;
  SharedFont font = MakeSharedFont(FontDesc{L"ＭＳ Ｐゴシック", 10}, 96);
  std::vector<std::unique_ptr<TLaunchBtn>> buttons;

  TLaunchBtn& Button(const std::wstring& name, TShowType type, int size = kSize) {
    const int x = 4 + static_cast<int>(buttons.size()) * (size + 4) % 640;
    auto b = std::make_unique<TLaunchBtn>(BitBtnParams{form.Handle(), x, 4, size, size, L""});
    b->SetFont(font);
    b->SetFontColor(kInk);
    b->SetBtnName(name);
    if (type != st_TextOnly && !name.empty()) b->SetIconPath((test::TestProgramFolder() / L"cwd_writer.exe").wstring());
    b->SetShowType(type);
    buttons.push_back(std::move(b));
    return *buttons.back();
  }
};

TEST_F(ButtonFaceTest, ALongNameTakesTwoLinesWhereTheFaceHasRoomAndOneThatFitsStaysOneLine) {
  const struct {
    const wchar_t* name;
    TShowType type;
    int size;
    int lines;
  } cases[] = {
      {L"写真アルバム", st_TextOnly, kSize, 2},
      {L"ダウンロード済みファイル", st_TextOnly, kSize, 2},
      {L"ABC-DEF-GHIJ", st_TextOnly, kSize, 2},
      {L"電卓", st_TextOnly, kSize, 1},
      {L"電卓", st_Both, kSize, 1},
      // The glyph and two lines do not both fit in 64 pixels: one line with its ellipsis.
      {L"写真アルバム", st_Both, kSize, 1},
      {L"写真アルバム", st_Both, 90, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << buttons.size());
    TLaunchBtn& b = Button(c.name, c.type, c.size);
    const Face face = Painted(b);
    const auto lines = b.CaptionLinesShown();
    ASSERT_EQ(static_cast<int>(lines.size()), c.lines);
    EXPECT_EQ(InkBands(face), c.lines) << "lines of caption pixels";
    if (c.lines == 1 && std::wstring(c.name).size() <= 2) {
      EXPECT_EQ(lines[0], c.name) << "as it is";
    }
    if (c.lines == 2) {
      // The break loses nothing but the end the ellipsis stands for.
      const std::wstring all = Joined(lines), name = c.name;
      const std::wstring kept = all.back() == kEllipsis ? all.substr(0, all.size() - 1) : all;
      std::wstring bare = name;
      std::erase(bare, L' ');
      EXPECT_EQ(bare.compare(0, kept.size(), kept), 0);
    }
  }
  // Kinsoku: the second line of ダウンロード… never starts with the long-vowel mark.
  EXPECT_NE(buttons[1]->CaptionLinesShown()[1].front(), L'ー');
  EXPECT_EQ(buttons[2]->CaptionLinesShown()[0].back(), L'-') << "a Latin name breaks after a hyphen";
}

TEST_F(ButtonFaceTest, TheCaptionKeepsAPixelFromTheFocusMarkOnOneLineAndTwo) {
  for (const wchar_t* name : {L"電卓計算", L"写真アルバム", L"ＷＷＷＷ", L"MMMMMMMMMMMM"}) {
    SCOPED_TRACE(testing::Message() << buttons.size());
    TLaunchBtn& b = Button(name, st_TextOnly);
    SetFocus(b.Handle());
    ASSERT_EQ(GetFocus(), b.Handle());
    const Face face = Painted(b);
    int inked = 0, tooClose = 0;
    for (int y = 0; y < face.height; ++y)
      for (int x = 0; x < face.width; ++x) {
        if (!Inked(face.at(x, y))) continue;
        ++inked;
        // The mark runs on the columns and rows kFocusInset from each edge: the pixels next
        // to them stay clear.
        tooClose += x <= kFocusInset + 1 || x >= face.width - kFocusInset - 2 || y <= kFocusInset + 1 ||
                    y >= face.height - kFocusInset - 2;
      }
    EXPECT_GT(inked, 0);
    EXPECT_EQ(tooClose, 0);
  }
}

TEST_F(ButtonFaceTest, TheGoneMarkIsWholeOverTheFocusMarkAndTheFocusMarkStillShows) {
  TLaunchBtn& b = Button(L"消えた", st_TextOnly);
  b.SetRegist(true);
  b.SetFullPath((dir.path() / L"gone.exe").wstring());
  b.CheckTarget();
  ASSERT_TRUE(test::PumpUntil([&] { return b.Dimmed(); }, 5000));
  SetFocus(form.Handle());
  const Face plain = Painted(b);
  SetFocus(b.Handle());
  const Face focused = Painted(b);
  // The mark's square (11 pixels, 3 from the corner) is the same with the focus as without it.
  int markDiffers = 0, red = 0;
  for (int y = 3; y < 14; ++y)
    for (int x = plain.width - 14; x < plain.width - 3; ++x) {
      markDiffers += plain.at(x, y) != focused.at(x, y);
      red += plain.at(x, y) == RGB(208, 0, 0);
    }
  EXPECT_GT(red, 20) << "the mark is there";
  EXPECT_EQ(markDiffers, 0) << "the focus mark drawn over the gone mark";
  int focusLine = 0;
  for (int x = kFocusInset; x < plain.width - 16; ++x) focusLine += plain.at(x, kFocusInset) != focused.at(x, kFocusInset);
  EXPECT_GT(focusLine, 10) << "the focus mark along the top";
}

TEST_F(ButtonFaceTest, APlaceholderShowsGreyOnAnEmptyFaceAndGivesWayToACaption) {
  TLaunchBtn& b = Button(L"", st_Both);
  const Face empty = Painted(b);
  b.SetPlaceholder(L"ここにドロップ");
  const Face hinted = Painted(b);
  const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
  const auto count = [grey](const Face& f) { return std::count(f.pixels.begin(), f.pixels.end(), grey); };
  EXPECT_GT(count(hinted), count(empty) + 20);
  EXPECT_EQ(b.CaptionLinesShown().size(), 2u) << "fitted by the two-line rule";
  b.SetCaption(L"名前");
  Painted(b);
  EXPECT_EQ(b.CaptionLinesShown(), std::vector<std::wstring>{L"名前"});
  b.Renew(BitBtnParams{form.Handle(), 4, 4, kSize, kSize, L""});
  EXPECT_EQ(b.Placeholder(), L"") << "a renewed button is a new one";
}

TEST_F(ButtonFaceTest, TheDropTargetIsLitUntilPutOutOrRenewed) {
  TLaunchBtn& b = Button(L"行き先", st_TextOnly);
  const COLORREF lit = GetSysColor(COLOR_HIGHLIGHT);
  ASSERT_NE(Painted(b).at(1, kSize / 2), lit);
  b.SetDropTarget(true);
  EXPECT_EQ(Painted(b).at(1, kSize / 2), lit);
  b.SetDropTarget(false);
  EXPECT_NE(Painted(b).at(1, kSize / 2), lit);
  b.SetDropTarget(true);
  b.Renew(BitBtnParams{form.Handle(), 4, 4, kSize, kSize, L""});
  EXPECT_FALSE(b.DropTarget());
  EXPECT_NE(Painted(b).at(1, kSize / 2), lit);
}

// What the button's tooltip says when the pointer comes over it.
std::wstring TipOf(const TLaunchBtn& b) { return b.ShowHint() ? b.Hint() : L"<none>"; }

TEST_F(ButtonFaceTest, TheTooltipHoldsNameAndPathOnTwoLinesFollowsTheFieldsAndLeavesWithTheBinding) {
  const std::wstring file = (dir.path() / L"写真アルバム.txt").wstring();
  test::WriteBytes(file, "x");
  TLaunchBtn& b = Button(L"", st_Both);
  EXPECT_EQ(TipOf(b), L"<none>") << "an empty button";
  test::SendDrop(b.Handle(), {file});
  EXPECT_EQ(TipOf(b), L"写真アルバム\n" + file);
  EXPECT_EQ(b.ToolTip(), nullptr) << "no tool before the pointer comes";
  SendMessageW(b.Handle(), WM_MOUSEMOVE, 0, test::PointParam(5, 5));
  ASSERT_TRUE(b.ToolTip());
  EXPECT_EQ(b.ToolTip()->Text(), L"写真アルバム\n" + file) << "the control holds both lines";
  EXPECT_GT(SendMessageW(b.ToolTip()->Handle(), TTM_GETMAXTIPWIDTH, 0, 0), 0) << "lines break at \\n";

  // Fields written, as the button dialog or a page build writes them.
  b.SetBtnName(file);
  b.RenewHint();
  EXPECT_EQ(TipOf(b), file) << "a name that is the target says it once";
  b.SetBtnName(L"");
  b.RenewHint();
  EXPECT_EQ(TipOf(b), file) << "no name: the target";
  b.SetBtnName(L"別名");
  b.SetShowType(st_TextOnly);
  EXPECT_EQ(TipOf(b), L"別名\n" + file) << "a face rebuilt";

  EXPECT_EQ(b.ToolTip()->Text(), L"別名\n" + file) << "the tool follows";
  b.ClearButton();
  EXPECT_EQ(TipOf(b), L"<none>");
  EXPECT_EQ(b.ToolTip()->Text(), L"") << "the tool left the control";

  TLaunchBtn& built = Button(L"メモ", st_Both);
  built.SetFullPath(L"C:\\windows\\notepad.exe");
  built.SetRegist(true);
  built.SetShowType(st_Both);
  EXPECT_EQ(TipOf(built), L"メモ\nC:\\windows\\notepad.exe") << "bound without a drop, as a start builds it";
}

}  // namespace
}  // namespace vl

namespace vl {
namespace {

// A tip up under the pointer goes with its button's binding: renewed (a page rebuilt) or
// destroyed (a page released), the button leaves no tip on the screen.
TEST_F(ButtonFaceTest, ATipUpGoesWhenItsButtonIsRenewedOrDestroyed) {
  const std::wstring file = (dir.path() / L"ダウンロード済みファイル.txt").wstring();
  test::WriteBytes(file, "x");
  SetWindowPos(form.Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  for (bool destroy : {false, true}) {
    SCOPED_TRACE(destroy ? "destroyed" : "renewed");
    TLaunchBtn& b = Button(L"", st_Both);
    test::SendDrop(b.Handle(), {file});
    RECT r;
    GetWindowRect(b.Handle(), &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ASSERT_TRUE(test::PumpUntil([&] { return b.ToolTip() && IsWindowVisible(b.ToolTip()->Handle()); }, 5000))
        << "no tip came up";
    const HWND tip = b.ToolTip()->Handle();
    RECT up;
    GetWindowRect(tip, &up);
    EXPECT_GT(up.bottom - up.top, 2 * 12) << "two lines, name and path";
    if (destroy) {
      buttons.pop_back();
      EXPECT_FALSE(IsWindow(tip) && IsWindowVisible(tip));
    } else {
      MapWindowPoints(HWND_DESKTOP, form.Handle(), reinterpret_cast<POINT*>(&r), 2);
      b.Renew(BitBtnParams{form.Handle(), r.left, r.top, kSize, kSize, L""});
      EXPECT_FALSE(IsWindowVisible(tip));
    }
    SetCursorPos(0, 0);
    test::Pump(100);
  }
}

// The word put up at a point says its text, goes when its time is up, and its window goes
// with the object, not only with its owner.
TEST(TrackTip, SaysItsTextForItsTimeAndGoesWithItsObject) {
  test::TestForm form;
  HWND window = nullptr;
  {
    TTrackTip tip(form.Handle());
    tip.Show(L"「二」へ移動しました", POINT{200, 200}, 300);
    window = tip.Handle();
    ASSERT_TRUE(IsWindow(window));
    EXPECT_TRUE(tip.Visible());
    EXPECT_EQ(tip.Text(), L"「二」へ移動しました");
    EXPECT_TRUE(test::PumpUntil([&] { return !tip.Visible(); }, 3000)) << "its time up, it goes";
    tip.Show(L"again", POINT{200, 200}, 5000);
    EXPECT_TRUE(tip.Visible());
  }
  EXPECT_FALSE(IsWindow(window)) << "the tip's window outlived its object";
}

}  // namespace
}  // namespace vl
