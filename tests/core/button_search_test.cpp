#include "core/button_search.h"

#include <gtest/gtest.h>

#include "core/text_codec.h"

namespace vl {
namespace {

std::vector<std::int32_t> HitNumbers(const ButtonSearch& search) {
  std::vector<std::int32_t> out;
  for (const SearchHit& hit : search.Hits()) out.push_back(hit.btnIndex);
  return out;
}

ButtonSearch Typed(const std::vector<PageTexts>& pages, std::wstring_view text) {
  std::vector<std::shared_ptr<const FoldedPage>> folded;
  for (const PageTexts& page : pages) folded.push_back(std::make_shared<FoldedPage>(FoldPage(page)));
  ButtonSearch search;
  search.Begin(std::move(folded));
  for (wchar_t c : text) search.Type(c);
  return search;
}

// One page of names, folded in one piece: every query walks that path.
TEST(ButtonSearch, MatchesIgnoreCaseWidthAndKanaAndLookAtTheTargetsFileNameOnly) {
  const PageTexts page{1,
                       {L"Memo", L"メモ帳", L"めもちょう", L"ノート", L"", L"ＡＢＣ", L"電卓", L"", L"ｶﾞｲﾄﾞ"},
                       {L"C:\\tools\\memo.exe", L"", L"", L"C:\\memo\\note.exe", L"C:\\Apps\\Calc.EXE", L"", L"",
                        L"D:/Share/Report.TXT", L""}};
  struct Case {
    std::wstring_view query;
    std::vector<std::int32_t> hits;
  } cases[] = {
      {L"MEMO", {1, 2, 3}},       // letter case; the first button's target says memo too; read as romaji
      {L"ｍｅｍｏ", {1, 2, 3}},   // full-width letters
      {L"めも", {2, 3}},          // hiragana finds katakana and hiragana
      {L"メモチョウ", {3}},       // katakana finds hiragana
      {L"abc", {6}},              // small letters find full-width capitals
      {L"calc.exe", {5}},         // the target's file name, whatever its case
      {L"tools", {}},             // never the folders on the way to it
      {L"report.txt", {8}},       // a path with forward slashes
      {L"電", {7}},
      {L"メモ帳です", {}},        // longer than any name
      {L"帳め", {}},              // never across two buttons' names
      {L"exenote", {}},           // nor across one file name and the next
  };
  for (const Case& c : cases) EXPECT_EQ(HitNumbers(Typed({page}, c.query)), c.hits) << WideToUtf8(c.query);
#ifdef _WIN32
  // The platform's tables: half-width katakana with its voiced marks.
  EXPECT_EQ(HitNumbers(Typed({page}, L"ﾒﾓ")), (std::vector<std::int32_t>{2, 3}));
  EXPECT_EQ(HitNumbers(Typed({page}, L"がいど")), (std::vector<std::int32_t>{9}));
#endif
}

TEST(ButtonSearch, HitsRunInThePagesOrderAndTheCurrentOneGoesRoundBothWays) {
  const std::vector<PageTexts> pages = {{3, {L"tool b", L"x"}, {}}, {1, {L"tool a"}, {}}, {2, {}, {}}};
  ButtonSearch search = Typed(pages, L"tool");
  ASSERT_EQ(search.Hits().size(), 2u);
  EXPECT_EQ(*search.Current(), (SearchHit{3, 1})) << "the first page given comes first";
  search.Next();
  EXPECT_EQ(*search.Current(), (SearchHit{1, 1}));
  search.Next();
  EXPECT_EQ(*search.Current(), (SearchHit{3, 1})) << "round the end";
  search.Previous();
  EXPECT_EQ(*search.Current(), (SearchHit{1, 1})) << "round the start";
  EXPECT_EQ(search.Position(), 1u);
  search.Type(L'z');
  EXPECT_FALSE(search.Current()) << "nothing holds the text";
  search.Next();
  search.Previous();
  EXPECT_TRUE(search.Active());
  EXPECT_EQ(search.Query(), L"toolz");
  search.Backspace();
  EXPECT_EQ(*search.Current(), (SearchHit{3, 1})) << "Backspace finds again, from the first hit";
  for (int i = 0; i < 4; ++i) search.Backspace();
  EXPECT_FALSE(search.Active()) << "an empty text ends the search";
  EXPECT_TRUE(search.Hits().empty());
  search.Backspace();  // nothing left to take
  EXPECT_FALSE(search.Active());

  // A page that gave no texts is passed over.
  ButtonSearch gap;
  gap.Begin({nullptr, std::make_shared<FoldedPage>(FoldPage(pages[1]))});
  gap.Type(L't');
  EXPECT_EQ(gap.Hits(), (std::vector<SearchHit>{{1, 1}}));
}

TEST(ButtonSearch, BackspaceTakesASurrogatePairWhole) {
  ButtonSearch search = Typed({{1, {L"a\U00020BB7"}, {}}}, L"a\U00020BB7");
  ASSERT_EQ(search.Hits().size(), 1u);
  search.Backspace();
  EXPECT_EQ(search.Query(), L"a");
  // By code units, at the edges of the high surrogates: only a high one before the last
  // unit goes with it.
  const struct {
    wchar_t before, last;
    std::wstring left;
  } edges[] = {{0xD800, 0xDC00, L"a"},
               {0xDBFF, 0xDFFF, L"a"},
               {0xD7FF, L'b', std::wstring(L"a") + wchar_t(0xD7FF)},
               {0xDC00, L'b', std::wstring(L"a") + wchar_t(0xDC00)}};
  for (const auto& e : edges) {
    ButtonSearch typed = Typed({}, std::wstring(L"a") + e.before + e.last);
    typed.Backspace();
    EXPECT_EQ(typed.Query(), e.left) << std::hex << static_cast<unsigned>(e.before);
  }
}

}  // namespace
}  // namespace vl
