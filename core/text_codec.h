// Conversions between the program's wide text and the bytes that leave it.
//
// The program works in UTF-16 (wchar_t on Windows). The settings file is kept in the
// system's ANSI code page (932, Shift-JIS, on the systems the launcher is made for) and
// falls back to UTF-16LE when a value does not fit that code page. Every conversion of
// that kind goes through this pair: AnsiToWide / WideToAnsi.
//
// On Windows the ANSI code page is the system's (CP_ACP). Elsewhere, where only the
// platform-free code is built for tests, it is fixed to code page 932.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vl {

// Bytes in the ANSI code page to wide text. Bytes that form no character become the
// code page's default character; nothing is dropped silently beyond that.
std::wstring AnsiToWide(std::string_view bytes);

// Wide text to the ANSI code page, or nothing when a character has no exact form there
// (no best-fit substitutes: "é" must not quietly become "e" or "?").
std::optional<std::string> WideToAnsi(std::wstring_view text);

// Number of bytes the character at text[i] (a code point, or a surrogate pair on
// Windows) takes in the ANSI code page, and how many wchar_t it spans; characters that
// do not fit count as two bytes.
struct AnsiCharSize {
  std::size_t bytes;
  std::size_t units;
};
AnsiCharSize AnsiSizeAt(std::wstring_view text, std::size_t i);

// Whether a byte starts a two-byte character in the ANSI code page.
bool IsAnsiLeadByte(unsigned char byte);

// UTF-16LE bytes (no byte-order mark) to wide text and back. An odd final byte is dropped.
std::wstring Utf16LeToWide(std::string_view bytes);
std::string WideToUtf16Le(std::wstring_view text);

// UTF-8 to wide text and back; malformed sequences become U+FFFD.
std::wstring Utf8ToWide(std::string_view bytes);
std::string WideToUtf8(std::wstring_view text);

}  // namespace vl
