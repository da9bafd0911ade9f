#include "core/caption_lines.h"

namespace vl {
namespace {

// Characters a line may not start with: closing brackets, punctuation, small kana and the
// long-vowel mark, full width and half width.
constexpr std::wstring_view kNoStart =
    L"、。，．・：；？！ー」』）】〕〉》〗〙〛］｝〟’”ゃゅょっぁぃぅぇぉゎゕゖャュョッァィゥェォヮヵヶ"
    L"ゝゞヽヾ々…‥゛゜"
    L"､｡･ｰ｣ｬｭｮｯｧｨｩｪｫﾞﾟ"
    L")]},.:;?!%";
// Characters a line may not end with: opening brackets.
constexpr std::wstring_view kNoEnd = L"「『（【〔〈《〖〘〚［｛〝‘“｢([{";

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\u3000'; }
bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool NoStart(wchar_t c) { return kNoStart.find(c) != std::wstring_view::npos; }
bool NoEnd(wchar_t c) { return kNoEnd.find(c) != std::wstring_view::npos; }
// A character of a word that breaks only at spaces and hyphens: anything before the CJK
// blocks (Latin, Greek, Cyrillic, digits and their punctuation).
bool InWord(wchar_t c) { return c < 0x2E80 && !IsSpace(c); }

// Whether a line may end before text[i] (0 < i < size).
bool CanBreakBefore(std::wstring_view text, std::size_t i) {
  const wchar_t a = text[i - 1], b = text[i];
  if (IsHighSurrogate(a)) return false;
  if (IsSpace(a) || IsSpace(b)) return true;
  if (NoStart(b) || NoEnd(a)) return false;
  if (a == L'-') return true;
  return !(InWord(a) && InWord(b));
}

std::wstring_view TrimRight(std::wstring_view s) {
  while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
  return s;
}

std::wstring_view TrimLeft(std::wstring_view s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  return s;
}

// The most characters of `text` from its start that fit, as `fits` says; widths grow with
// the text, so the answer is found by halving.
template <typename Fits>
std::size_t LongestFitting(std::wstring_view text, Fits fits) {
  std::size_t low = 0, high = text.size();  // low fits (or is 0), high + 1 does not
  while (low < high) {
    const std::size_t mid = (low + high + 1) / 2;
    if (fits(text.substr(0, mid)))
      low = mid;
    else
      high = mid - 1;
  }
  return low;
}

// Where the line that holds at most text[0, fit) ends: at the last place the rules allow;
// a word longer than the line is cut where it must (still clear of kinsoku if it can be,
// and never inside a surrogate pair).
std::size_t BreakAt(std::wstring_view text, std::size_t fit) {
  for (std::size_t i = fit; i >= 1; --i)
    if (CanBreakBefore(text, i)) return i;
  for (std::size_t i = fit; i >= 1; --i)
    if (!IsHighSurrogate(text[i - 1]) && !NoStart(text[i]) && !NoEnd(text[i - 1])) return i;
  if (IsHighSurrogate(text[fit - 1])) return fit > 1 ? fit - 1 : fit + 1;
  return fit;
}

}  // namespace

std::wstring Ellipsized(std::wstring_view text, int maxWidth, const TextWidth& width) {
  if (width(text) <= maxWidth) return std::wstring(text);
  std::wstring piece;
  std::size_t keep = LongestFitting(text, [&](std::wstring_view prefix) {
    piece.assign(TrimRight(prefix));
    piece += kEllipsis;
    return width(piece) <= maxWidth;
  });
  if (keep > 0 && IsHighSurrogate(text[keep - 1])) --keep;
  std::wstring cut(TrimRight(text.substr(0, keep)));
  cut += kEllipsis;
  return cut;
}

std::vector<std::wstring> CaptionLines(std::wstring_view text, int maxWidth, int maxLines, const TextWidth& width) {
  if (width(text) <= maxWidth) return {std::wstring(text)};
  std::vector<std::wstring> lines;
  std::wstring_view rest = TrimLeft(TrimRight(text));
  while (!rest.empty()) {
    if (static_cast<int>(lines.size()) + 1 >= maxLines || width(rest) <= maxWidth) {
      lines.push_back(Ellipsized(rest, maxWidth, width));
      break;
    }
    const std::size_t fit =
        LongestFitting(rest, [&](std::wstring_view prefix) { return width(TrimRight(prefix)) <= maxWidth; });
    if (fit == 0) {
      lines.push_back(Ellipsized(rest, maxWidth, width));
      break;
    }
    const std::size_t end = BreakAt(rest, fit);
    lines.emplace_back(TrimRight(rest.substr(0, end)));
    rest = TrimLeft(rest.substr(end));
  }
  if (lines.empty()) lines.emplace_back(1, kEllipsis);
  return lines;
}

}  // namespace vl
