// Fuzz target for the text form of hot keys: the text the user types in the settings
// dialog and the settings file stores. The input is read as UTF-8.
//
// Checked on every input:
//  - reading agrees with a plain model of the read form (split at "+", stop at the first
//    empty token, modifiers by their four words, the last other token is the key);
//  - a text that names no key leaves the assignment untouched and raises no OnChange,
//    one that does raises exactly one;
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

// The model: what reading the text should give, or nothing when it names no key.
bool Model(std::wstring_view text, Keys& out) {
  std::vector<std::wstring> tokens;
  std::wstring current;
  for (wchar_t c : text) {
    if (c == L'+') {
      tokens.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  tokens.push_back(current);
  Keys k;
  std::wstring name;
  for (const std::wstring& t : tokens) {
    if (t.empty()) break;
    std::wstring l = Lower(t);
    if (l == L"shift") k.shift = true;
    else if (l == L"ctrl") k.ctrl = true;
    else if (l == L"alt") k.alt = true;
    else if (l == L"windows") k.win = true;
    else name = t;
  }
  if (name.empty()) return false;
  for (int code = 0; code < TKeyAssign::kKeyCodes; ++code) {
    std::wstring_view entry = TKeyAssign::KeyName(code);
    if (!entry.empty() && Lower(entry) == Lower(name)) {
      k.key = entry;
      break;
    }
  }
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

  // Round trip through the written form, or through "(なし)" when there is no key.
  TKeyAssign back;
  back.SethkCtrl(true);
  back.SetKey(L"Z");
  if (a.CanUse()) {
    std::wstring written = vl::HotKeyText(a);
    bool unwritable = a.KeyCode() == 0x10 || a.KeyCode() == 0x11 || a.KeyCode() == 0x6B;
    Check(vl::ReadHotKeyText(written, back) == (a.KeyCode() != 0x10 && a.KeyCode() != 0x11));
    if (!unwritable) {
      Check(Of(back) == Of(a));
      Check(vl::HotKeyText(back) == written);
    }
  } else {
    Check(vl::ReadHotKeyText(vl::kNoHotKeyText, back));
    Check(Of(back) == Keys{});
  }
  return 0;
}
