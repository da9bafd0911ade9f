#include "core/ini_values.h"

#include <array>

#include "core/number_text.h"

namespace vl {
namespace {

struct ColorName {
  const wchar_t* name;
  TColor value;
};

constexpr TColor Sys(std::uint32_t index) { return 0x80000000u | index; }

constexpr std::array<ColorName, 52> kColorNames{{
    {L"clBlack", 0x000000},
    {L"clMaroon", 0x000080},
    {L"clGreen", 0x008000},
    {L"clOlive", 0x008080},
    {L"clNavy", 0x800000},
    {L"clPurple", 0x800080},
    {L"clTeal", 0x808000},
    {L"clGray", 0x808080},
    {L"clSilver", 0xC0C0C0},
    {L"clRed", 0x0000FF},
    {L"clLime", 0x00FF00},
    {L"clYellow", 0x00FFFF},
    {L"clBlue", 0xFF0000},
    {L"clFuchsia", 0xFF00FF},
    {L"clAqua", 0xFFFF00},
    {L"clWhite", 0xFFFFFF},
    {L"clMoneyGreen", 0xC0DCC0},
    {L"clSkyBlue", 0xF0CAA6},
    {L"clCream", 0xF0FBFF},
    {L"clMedGray", 0xA4A0A0},
    {L"clNone", clNone},
    {L"clDefault", clDefault},
    {L"clScrollBar", Sys(0)},
    {L"clBackground", Sys(1)},
    {L"clActiveCaption", Sys(2)},
    {L"clInactiveCaption", Sys(3)},
    {L"clMenu", Sys(4)},
    {L"clWindow", Sys(5)},
    {L"clWindowFrame", Sys(6)},
    {L"clMenuText", Sys(7)},
    {L"clWindowText", Sys(8)},
    {L"clCaptionText", Sys(9)},
    {L"clActiveBorder", Sys(10)},
    {L"clInactiveBorder", Sys(11)},
    {L"clAppWorkSpace", Sys(12)},
    {L"clHighlight", Sys(13)},
    {L"clHighlightText", Sys(14)},
    {L"clBtnFace", Sys(15)},
    {L"clBtnShadow", Sys(16)},
    {L"clGrayText", Sys(17)},
    {L"clBtnText", Sys(18)},
    {L"clInactiveCaptionText", Sys(19)},
    {L"clBtnHighlight", Sys(20)},
    {L"cl3DDkShadow", Sys(21)},
    {L"cl3DLight", Sys(22)},
    {L"clInfoText", Sys(23)},
    {L"clInfoBk", Sys(24)},
    {L"clHotLight", Sys(26)},
    {L"clGradientActiveCaption", Sys(27)},
    {L"clGradientInactiveCaption", Sys(28)},
    {L"clMenuHighlight", Sys(29)},
    {L"clMenuBar", Sys(30)},
}};

bool EqualNoCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    wchar_t x = a[i], y = b[i];
    if (x >= L'A' && x <= L'Z') x = static_cast<wchar_t>(x + 32);
    if (y >= L'A' && y <= L'Z') y = static_cast<wchar_t>(y + 32);
    if (x != y) return false;
  }
  return true;
}

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

}  // namespace

std::optional<std::int32_t> ParseInteger(std::wstring_view text) {
  bool hex = false, negative = false;
  if (text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) {
    hex = true;  // "0x1E" reads as "$1E"
    text.remove_prefix(2);
  } else {
    while (!text.empty() && (text.front() == L' ' || text.front() == L'\t')) text.remove_prefix(1);
    if (!text.empty() && (text.front() == L'+' || text.front() == L'-')) {
      negative = text.front() == L'-';
      text.remove_prefix(1);
    }
    if (!text.empty() && text.front() == L'$') {
      hex = true;
      text.remove_prefix(1);
    }
  }
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  if (hex) {
    for (wchar_t c : text) {
      int d = HexDigit(c);
      if (d < 0) return std::nullopt;
      value = value * 16 + static_cast<std::uint64_t>(d);
      if (value > 0xFFFFFFFFu) return std::nullopt;
    }
    // Hexadecimal spells the 32 bits; a sign then negates that number.
    std::uint32_t bits = static_cast<std::uint32_t>(value);
    return static_cast<std::int32_t>(negative ? 0u - bits : bits);
  }
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - L'0');
    if (value > 2147483648u) return std::nullopt;
  }
  if (!negative && value > 2147483647u) return std::nullopt;
  return negative ? static_cast<std::int32_t>(0 - static_cast<std::int64_t>(value))
                  : static_cast<std::int32_t>(value);
}

std::wstring FormatInteger(std::int32_t value) { return DecimalText(value); }

std::optional<TColor> StringToColor(std::wstring_view text) {
  for (const ColorName& c : kColorNames)
    if (EqualNoCase(text, c.name)) return c.value;
  if (auto n = ParseInteger(text)) return static_cast<TColor>(*n);
  return std::nullopt;
}

std::wstring ColorToString(TColor color) {
  for (const ColorName& c : kColorNames)
    if (c.value == color) return c.name;
  static constexpr wchar_t kHex[] = L"0123456789ABCDEF";
  std::wstring out = L"$";
  for (int shift = 28; shift >= 0; shift -= 4) out += kHex[(color >> shift) & 0xF];
  return out;
}

}  // namespace vl
