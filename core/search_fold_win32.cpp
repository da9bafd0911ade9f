#include <windows.h>

#include "core/button_search.h"

namespace vl {

std::wstring FoldForSearch(std::wstring_view text) {
  if (text.empty()) return {};
  // Lower case, half width and katakana: "Ｍｅｍｏ", "memo" and "MEMO" fold alike, and so do
  // "めも", "メモ" and "ﾒﾓ". A voiced kana turns into two half-width units (ガ: ｶﾞ), so the
  // result may be longer than the text.
  constexpr DWORD kFlags = LCMAP_LOWERCASE | LCMAP_HALFWIDTH | LCMAP_KATAKANA;
  const int length = static_cast<int>(text.size());
  int need = LCMapStringEx(L"ja-JP", kFlags, text.data(), length, nullptr, 0, nullptr, nullptr, 0);
  if (need <= 0) return std::wstring(text);
  std::wstring out(static_cast<std::size_t>(need), L'\0');
  need = LCMapStringEx(L"ja-JP", kFlags, text.data(), length, out.data(), need, nullptr, nullptr, 0);
  out.resize(need > 0 ? static_cast<std::size_t>(need) : 0);
  return need > 0 ? out : std::wstring(text);
}

}  // namespace vl
