// Breaking a button's caption into lines, as Japanese text is broken: between any two
// characters, but a Latin word only at a space or after a hyphen, and never so that a
// line starts with a closing bracket, a small kana, a long-vowel mark or a punctuation
// mark, or ends with an opening bracket (kinsoku shori). A caption that fits stays one
// line as it is; a line left too long at the last line allowed ends with "…".
//
// The width of a piece of text is asked of `width` (the caller's font and device): the
// rules know nothing of pixels. Widths are taken to grow with the text.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vl {

using TextWidth = std::function<int(std::wstring_view)>;

inline constexpr wchar_t kEllipsis = L'\u2026';

// The lines of `text` within `maxWidth`, at most `maxLines` of them (at least one). A text
// that does not fit even one character to a line gives one line, ellipsized.
std::vector<std::wstring> CaptionLines(std::wstring_view text, int maxWidth, int maxLines, const TextWidth& width);

// `text` cut to fit `maxWidth` with "…" after it; the text itself when it fits, "…" alone
// when no character does.
std::wstring Ellipsized(std::wstring_view text, int maxWidth, const TextWidth& width);

}  // namespace vl
