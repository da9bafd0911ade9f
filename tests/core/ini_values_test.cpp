#include "core/ini_values.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <set>

#include "core/errors.h"
#include "core/text_codec.h"

namespace vl {
namespace {

struct IntegerCase {
  const wchar_t* text;
  std::optional<std::int32_t> expected;
};

TEST(IniValues, IntegersAsTheFileSpellsThem) {
  const IntegerCase cases[] = {
      {L"30", 30},           {L"-5", -5},          {L"+7", 7},
      {L"0x1E", 30},         {L"0X1e", 30},        {L"$1E", 30},
      {L"$1e", 30},          {L"$FFFFFFFF", -1},   {L"-$1E", -30},
      {L"0xFFFFFFFF", -1},   {L"2147483647", 2147483647},
      {L"-2147483648", INT32_MIN},                 {L" 12", 12},
      {L"12abc", std::nullopt}, {L"", std::nullopt},  {L"0x", std::nullopt},
      {L"$", std::nullopt},  {L"-", std::nullopt}, {L"2147483648", std::nullopt},
      {L"-2147483649", std::nullopt}, {L"$100000000", std::nullopt},
      {L"12 ", std::nullopt}, {L"1 2", std::nullopt}, {L"0x-1", std::nullopt},
      {L"x1E", std::nullopt}, {L"1E", std::nullopt}, {L"１２", std::nullopt},
      {L"00012", 12},        {L"-0", 0},           {L"0xff", 255},
      {L"$00ffffff", 0x00FFFFFF},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseInteger(c.text), c.expected) << "text: [" << WideToUtf8(c.text) << "]";
  }
}

TEST(IniValues, EveryColourNameReadsAndWritesBack) {
  const wchar_t* names[] = {
      L"clBlack", L"clMaroon", L"clGreen", L"clOlive", L"clNavy", L"clPurple", L"clTeal",
      L"clGray", L"clSilver", L"clRed", L"clLime", L"clYellow", L"clBlue", L"clFuchsia",
      L"clAqua", L"clWhite", L"clMoneyGreen", L"clSkyBlue", L"clCream", L"clMedGray",
      L"clNone", L"clDefault", L"clScrollBar", L"clBackground", L"clActiveCaption",
      L"clInactiveCaption", L"clMenu", L"clWindow", L"clWindowFrame", L"clMenuText",
      L"clWindowText", L"clCaptionText", L"clActiveBorder", L"clInactiveBorder",
      L"clAppWorkSpace", L"clHighlight", L"clHighlightText", L"clBtnFace", L"clBtnShadow",
      L"clGrayText", L"clBtnText", L"clInactiveCaptionText", L"clBtnHighlight",
      L"cl3DDkShadow", L"cl3DLight", L"clInfoText", L"clInfoBk", L"clHotLight",
      L"clGradientActiveCaption", L"clGradientInactiveCaption", L"clMenuHighlight",
      L"clMenuBar"};
  std::set<TColor> values;
  for (const wchar_t* name : names) {
    std::optional<TColor> c = StringToColor(name);
    ASSERT_TRUE(c) << WideToUtf8(name);
    values.insert(*c);
    EXPECT_EQ(ColorToString(*c), name);
    std::wstring upper(name);
    for (wchar_t& ch : upper) ch = static_cast<wchar_t>(std::towupper(ch));
    EXPECT_EQ(StringToColor(upper), c) << "names match without regard to case";
  }
  EXPECT_EQ(values.size(), 52u) << "no two identifiers share a value";
}

TEST(IniValues, ColourValuesOfTheTable) {
  EXPECT_EQ(StringToColor(L"clnavy"), TColor{0x800000});
  EXPECT_EQ(StringToColor(L"clRed"), TColor{0x0000FF});
  EXPECT_EQ(StringToColor(L"clSkyBlue"), TColor{0xF0CAA6});
  EXPECT_EQ(StringToColor(L"clMedGray"), TColor{0xA4A0A0});
  EXPECT_EQ(StringToColor(L"clWindowText"), TColor{0x80000008});
  EXPECT_EQ(StringToColor(L"clHotLight"), TColor{0x8000001A});
  EXPECT_EQ(StringToColor(L"clMenuBar"), TColor{0x8000001E});
  EXPECT_EQ(StringToColor(L"clNone"), TColor{0x1FFFFFFF});
  EXPECT_EQ(StringToColor(L"clDefault"), TColor{0x20000000});
}

TEST(IniValues, ColoursWithoutANameAreHexadecimal) {
  EXPECT_EQ(ColorToString(0x00FF8000), L"$00FF8000");
  EXPECT_EQ(ColorToString(0x00000001), L"$00000001");
  EXPECT_EQ(ColorToString(0x80000019), L"$80000019") << "system colour 25 has no name";
  EXPECT_EQ(StringToColor(L"$00FF8000"), TColor{0xFF8000});
  EXPECT_EQ(StringToColor(L"$00ffffff"), TColor{0xFFFFFF});
  EXPECT_EQ(StringToColor(L"255"), TColor{0xFF});
  EXPECT_EQ(ColorToString(0xFF), L"clRed");
  EXPECT_EQ(StringToColor(L"-2147483640"), TColor{0x80000008});
  EXPECT_EQ(StringToColor(L"navy"), std::nullopt);
  EXPECT_EQ(StringToColor(L""), std::nullopt);
}

TEST(ErrorReport, DotIsAppendedAfterCharactersAboveDot) {
  EXPECT_EQ(ErrorReportText(L"abc"), L"abc.");
  EXPECT_EQ(ErrorReportText(L"abc."), L"abc.");
  EXPECT_EQ(ErrorReportText(L"(x)"), L"(x)") << "')' comes before '.'";
  EXPECT_EQ(ErrorReportText(L"wait!"), L"wait!");
  EXPECT_EQ(ErrorReportText(L"a/"), L"a/.");
  EXPECT_EQ(ErrorReportText(L"書き込めません"), L"書き込めません.");
  EXPECT_EQ(ErrorReportText(L""), L"");
}

}  // namespace
}  // namespace vl
