#include "core/caption_lines.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

using Lines = std::vector<std::wstring>;

// Full-width characters two units wide, the rest (the ellipsis too) one, as a Japanese
// font draws them near enough.
int Units(std::wstring_view s) {
  int w = 0;
  for (wchar_t c : s) w += c >= 0x2E80 && c != kEllipsis ? 2 : 1;
  return w;
}

Lines Break(std::wstring_view text, int width, int maxLines = 2) { return CaptionLines(text, width, maxLines, Units); }

TEST(CaptionLines, ACaptionThatFitsStaysOneLineAsItIs) {
  EXPECT_EQ(Break(L"電卓計算", 8), Lines{L"電卓計算"});
  EXPECT_EQ(Break(L" a  b ", 6), Lines{L" a  b "}) << "its spaces too";
  EXPECT_EQ(Break(L"", 8), Lines{L""});
}

TEST(CaptionLines, JapaneseBreaksBetweenAnyTwoCharactersOutsideKinsoku) {
  EXPECT_EQ(Break(L"写真アルバム", 8), (Lines{L"写真アル", L"バム"}));
  // ー may not start a line: ロ goes down with it.
  EXPECT_EQ(Break(L"ダウンロード", 8), (Lines{L"ダウン", L"ロード"}));
  // Neither may a small kana or a closing bracket or a full stop.
  EXPECT_EQ(Break(L"あいうっと", 6), (Lines{L"あい", L"うっと"}));
  EXPECT_EQ(Break(L"あい」うえ", 4), (Lines{L"あ", L"い…"}));
  EXPECT_EQ(Break(L"ファイル。です", 8), (Lines{L"ファイ", L"ル。です"}));
  // 「 may not end one: it goes down with what it opens.
  EXPECT_EQ(Break(L"「メモ」帳", 6), (Lines{L"「メ", L"モ」帳"})) << "a bracket at the start stays";
  EXPECT_EQ(Break(L"あいう「メモ」", 8), (Lines{L"あいう", L"「メモ」"}));
  EXPECT_EQ(Break(L"あい（う）", 6), (Lines{L"あい", L"（う）"}));
  // The half-width forms as the full-width ones.
  EXPECT_EQ(Break(L"ｱｲｳｰｴｵ", 6), (Lines{L"ｱｲ", L"ｳｰ…"}));
  EXPECT_EQ(Break(L"ab (cd)", 4), (Lines{L"ab", L"(cd)"}));
}

TEST(CaptionLines, LatinWordsBreakAtSpacesAndAfterHyphens) {
  EXPECT_EQ(Break(L"Hello World", 8), (Lines{L"Hello", L"World"}));
  EXPECT_EQ(Break(L"ABC-DEF-GHIJ", 8), (Lines{L"ABC-DEF-", L"GHIJ"}));
  EXPECT_EQ(Break(L"ABC-DEF-GHIJ", 5), (Lines{L"ABC-", L"DEF-…"}));
  EXPECT_EQ(Break(L"Hello　世界です", 8), (Lines{L"Hello", L"世界です"})) << "the ideographic space";
  // Between a Latin word and Japanese text there is a place to break.
  EXPECT_EQ(Break(L"Word文書", 5), (Lines{L"Word", L"文書"}));
  // A word longer than the line is cut where it must.
  EXPECT_EQ(Break(L"ABCDEFGHIJ", 4), (Lines{L"ABCD", L"EFG…"}));
}

TEST(CaptionLines, TheLastLineAllowedIsEllipsizedAndMoreLinesTakeMore) {
  EXPECT_EQ(Break(L"ダウンロード済みファイル", 8), (Lines{L"ダウン", L"ロード…"}));
  EXPECT_EQ(Break(L"ダウンロード済みファイル", 8, 3), (Lines{L"ダウン", L"ロード済", L"みファ…"}));
  EXPECT_EQ(Break(L"ダウンロード済みファイル", 8, 1), Lines{L"ダウン…"});
  EXPECT_EQ(Break(L"写真アルバム", 0), Lines{L"…"}) << "nothing fits: the mark alone";
  EXPECT_EQ(Break(L"写真アルバム", 1), Lines{L"…"});
}

TEST(CaptionLines, ASurrogatePairIsNeverSplit) {
  // 𠮷 as the two UTF-16 units Windows holds it in (natively too, where wchar_t is wider).
  const std::wstring pair{static_cast<wchar_t>(0xD842), static_cast<wchar_t>(0xDFB7)};
  const Lines lines = Break(pair + pair + pair, 8);
  ASSERT_EQ(lines.size(), 2u);
  for (const std::wstring& line : lines)
    for (std::size_t k = 0; k < line.size(); ++k)
      if (line[k] >= 0xD800 && line[k] <= 0xDBFF) {
        EXPECT_TRUE(k + 1 < line.size() && line[k + 1] >= 0xDC00);
      }
  EXPECT_EQ(lines[0], pair + pair);
  EXPECT_EQ(Ellipsized(pair + pair + pair, 9, Units), pair + pair + L"…");
  EXPECT_EQ(Ellipsized(pair + pair + pair, 4, Units), L"…") << "half a pair does not fit";
}

}  // namespace
}  // namespace vl
