// Numbers as text without the C runtime's printf family, which alone would be a tenth of
// the program's size.
#pragma once

#include <string>

namespace vl {

// "-12", "0", "2147483647".
inline std::wstring DecimalText(long long value) {
  unsigned long long magnitude = value < 0 ? 0ull - static_cast<unsigned long long>(value)
                                           : static_cast<unsigned long long>(value);
  wchar_t digits[24];
  wchar_t* first = digits + 24;
  do {
    *--first = static_cast<wchar_t>(L'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) *--first = L'-';
  return std::wstring(first, digits + 24);
}

// Lower-case hexadecimal, padded with zeros to at least `width` digits.
inline std::wstring HexText(unsigned long long value, int width) {
  std::wstring text;
  do {
    text.insert(text.begin(), L"0123456789abcdef"[value % 16]);
    value /= 16;
  } while (value != 0);
  if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), L'0');
  return text;
}

}  // namespace vl
