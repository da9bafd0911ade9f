#include "core/button_search.h"

namespace vl {

std::wstring FoldForSearch(std::wstring_view text) {
  // Only the native tests come here: the folds they can tell apart without the platform's
  // tables. Half-width katakana stays as it is.
  std::wstring out;
  out.reserve(text.size());
  for (wchar_t c : text) {
    if (c >= 0xFF01 && c <= 0xFF5E) c = static_cast<wchar_t>(c - 0xFF01 + 0x21);  // full-width ASCII
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    if (c >= 0x3041 && c <= 0x3096) c = static_cast<wchar_t>(c + 0x60);  // hiragana to katakana
    out += c;
  }
  return out;
}

}  // namespace vl
