#include "core/text_codec.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

TEST(TextCodec, ShiftJisBothWays) {
  EXPECT_EQ(AnsiToWide("\x95\x5C\x83\x5C"), L"表ソ");
  EXPECT_EQ(WideToAnsi(L"表ソ"), std::string("\x95\x5C\x83\x5C"));
  EXPECT_EQ(AnsiToWide("abc"), L"abc");
  EXPECT_EQ(WideToAnsi(L"ｱｲｳ"), std::string("\xB1\xB2\xB3")) << "half-width kana are one byte";
  EXPECT_EQ(AnsiToWide(""), L"");
}

TEST(TextCodec, CharactersOutsideTheCodePageAreRefusedNotReplaced) {
  EXPECT_EQ(WideToAnsi(L"é"), std::nullopt);
  EXPECT_EQ(WideToAnsi(L"한"), std::nullopt);
  EXPECT_EQ(WideToAnsi(L"C:\\café"), std::nullopt);
  EXPECT_EQ(WideToAnsi(L"\U0001F600"), std::nullopt);
}

TEST(TextCodec, AnsiSizes) {
  EXPECT_EQ(AnsiSizeAt(L"a", 0).bytes, 1u);
  EXPECT_EQ(AnsiSizeAt(L"ア", 0).bytes, 2u);
  EXPECT_EQ(AnsiSizeAt(L"ｱ", 0).bytes, 1u);
  EXPECT_EQ(AnsiSizeAt(L"한", 0).bytes, 2u);
  std::wstring emoji = L"\U0001F600";
  EXPECT_EQ(AnsiSizeAt(emoji, 0).units, emoji.size()) << "a surrogate pair is one character";
}

TEST(TextCodec, Utf16AndUtf8RoundTrips) {
  const std::wstring texts[] = {L"", L"abc", L"表ソ한é", L"\U0001F600x", L"a\0b"};
  for (const std::wstring& t : texts) {
    EXPECT_EQ(Utf16LeToWide(WideToUtf16Le(t)), t);
    EXPECT_EQ(Utf8ToWide(WideToUtf8(t)), t);
  }
  EXPECT_EQ(WideToUtf16Le(L"\U0001F600"), std::string("\x3D\xD8\x00\xDE", 4));
  EXPECT_EQ(WideToUtf8(L"한"), "\xED\x95\x9C");
}

TEST(TextCodec, MalformedUtf8BecomesReplacementCharacters) {
  EXPECT_EQ(Utf8ToWide("a\xFF" "b"), L"a\uFFFDb");
  EXPECT_EQ(Utf8ToWide("\xE3\x81"), L"\uFFFD\uFFFD") << "a cut sequence";
  EXPECT_EQ(Utf8ToWide("\xC0\xAF"), L"\uFFFD\uFFFD") << "an overlong form";
  EXPECT_EQ(Utf8ToWide("\xED\xA0\x80"), L"\uFFFD\uFFFD\uFFFD") << "an encoded surrogate";
}

}  // namespace
}  // namespace vl
