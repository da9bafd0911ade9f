// Fuzz target for the text form of hot keys: the text the user types in the settings
// dialog and the settings file stores. The input is read as UTF-8.
//
// Checked on every input:
//  - reading agrees with a plain model of the read form (split at "+", blanks around a
//    word dropped, modifiers by their six words, exactly one other word and it a key
//    name; anything else refused);
//  - a refused text leaves the assignment untouched and raises no OnChange, and the
//    refusal names the text; one that is read raises exactly one;
//  - the written form of the result reads back to the same assignment, and "(なし)"
//    reads back to no key and no modifiers.
// Build and run: fuzz/run.sh (see there).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/hot_key_text.h"
#include "core/key_assign.h"
#include "core/text_codec.h"

namespace {

using vl::TKeyAssign;

struct Keys {
  std::wstring key;
  bool shift = false, ctrl = false, alt = false, win = false;
  bool operator==(const Keys&) const = default;
};

Keys Of(const TKeyAssign& a) { return {a.Key(), a.hkShift(), a.hkCtrl(), a.hkAlt(), a.hkWinKey()}; }

void Check(bool ok) {
  if (!ok) std::abort();
}

std::wstring Lower(std::wstring_view s) {
  std::wstring out(s);
  for (wchar_t& c : out) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return out;
}

std::wstring Trim(const std::wstring& s) {
  std::size_t first = s.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return {};
  return s.substr(first, s.find_last_not_of(L" \t") - first + 1);
}

// The model: what reading the text should give, or nothing when it is refused.
bool Model(std::wstring_view text, Keys& out) {
  std::vector<std::wstring> words;
  std::wstring current;
  for (wchar_t c : text) {
    if (c == L'+') {
      words.push_back(Trim(current));
      current.clear();
    } else {
      current += c;
    }
  }
  words.push_back(Trim(current));
  Keys k;
  int keys = 0;
  for (const std::wstring& w : words) {
    if (w.empty()) return false;
    std::wstring l = Lower(w);
    if (l == L"shift") k.shift = true;
    else if (l == L"ctrl" || l == L"control") k.ctrl = true;
    else if (l == L"alt") k.alt = true;
    else if (l == L"windows" || l == L"win") k.win = true;
    else {
      ++keys;
      for (int code = 1; code < TKeyAssign::kKeyCodes; ++code) {
        std::wstring_view entry = TKeyAssign::KeyName(code);
        if (!entry.empty() && Lower(entry) == l) {
          k.key = entry;
          break;
        }
      }
      if (k.key.empty()) return false;
    }
  }
  if (keys != 1) return false;
  out = k;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::wstring text = vl::Utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), size));

  // Start from a set assignment, so that "untouched" can be told from "cleared".
  TKeyAssign a;
  a.SethkAlt(true);
  a.SetKey(L"F5");
  const Keys before = Of(a);
  int changes = 0;
  a.OnChange = [&](TKeyAssign&) { ++changes; };

  bool read = vl::ReadHotKeyText(text, a);
  Keys expected = before;
  Check(read == Model(text, expected));
  Check(Of(a) == expected);
  Check(changes == (read ? 1 : 0));
  Check(a.Key().empty() || TKeyAssign::KeyName(a.KeyCode()) == a.Key());
  const std::wstring why = vl::HotKeyTextRefusal(text, true);
  Check(read || why.find(L"「" + text + L"」") != std::wstring::npos);
  Check(!read || why.empty() || vl::IsTypingKey(a.KeyCode()));

  // Round trip through the written form; "(なし)", shown for no key, is refused.
  TKeyAssign back;
  back.SethkCtrl(true);
  back.SetKey(L"Z");
  const Keys untouched = Of(back);
  std::wstring written = vl::HotKeyText(a);
  bool unwritable = a.KeyCode() == 0x10 || a.KeyCode() == 0x11 || a.KeyCode() == 0x6B;
  Check(vl::ReadHotKeyText(written, back) == !unwritable);
  Check(unwritable ? Of(back) == untouched : Of(back) == Of(a) && vl::HotKeyText(back) == written);
  Check(!vl::ReadHotKeyText(vl::kNoHotKeyText, back));
  return 0;
}
