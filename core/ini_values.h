// The value encodings of the settings file: integers, flags and colours as text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vl {

// Colours are 0x00BBGGRR, or 0x80000000 plus a system colour number, or one of the two
// special values below.
using TColor = std::uint32_t;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;
inline constexpr TColor clWindowText = 0x80000008;
inline constexpr TColor clNavy = 0x800000;

// Decimal with an optional sign, or hexadecimal after "$", or after "0x"/"0X" when the
// text is longer than two characters; hexadecimal covers all 32 bits (so "$FFFFFFFF" is
// -1). Leading blanks are allowed; anything else, or a value out of range, is nothing.
std::optional<std::int32_t> ParseInteger(std::wstring_view text);
std::wstring FormatInteger(std::int32_t value);

// A colour identifier ("clNavy", any letter case) or an integer text as above.
std::optional<TColor> StringToColor(std::wstring_view text);
// The identifier when the colour has one, else "$" and eight upper-case hex digits.
std::wstring ColorToString(TColor color);

}  // namespace vl
