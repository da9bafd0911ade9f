#include "core/hot_key_text.h"

namespace vl {

bool ReadHotKeyText(std::wstring_view text, TKeyAssign& assign) {
  bool shift = false, ctrl = false, alt = false, winKey = false;
  std::wstring_view keyName;
  std::wstring_view rest = text;
  while (!rest.empty()) {
    std::size_t plus = rest.find(L'+');
    std::wstring_view token = rest.substr(0, plus);
    rest = plus == std::wstring_view::npos ? std::wstring_view() : rest.substr(plus + 1);
    if (token.empty()) break;
    if (TKeyAssign::SameName(token, L"Shift")) {
      shift = true;
    } else if (TKeyAssign::SameName(token, L"Ctrl")) {
      ctrl = true;
    } else if (TKeyAssign::SameName(token, L"Alt")) {
      alt = true;
    } else if (TKeyAssign::SameName(token, L"Windows")) {
      winKey = true;
    } else {
      keyName = token;
    }
  }
  if (keyName.empty()) return false;
  // Built quietly (no OnChange here), then taken over by Assign: the flags without an
  // event, the key through SetKey, which normalises it and raises the one OnChange.
  TKeyAssign parsed;
  parsed.SethkShift(shift);
  parsed.SethkCtrl(ctrl);
  parsed.SethkAlt(alt);
  parsed.SethkWinKey(winKey);
  parsed.SetKey(keyName);
  assign.Assign(parsed);
  return true;
}

std::wstring HotKeyText(const TKeyAssign& assign) {
  std::wstring text;
  if (assign.hkWinKey()) text += L"Windows+";
  if (assign.hkAlt()) text += L"Alt+";
  if (assign.hkCtrl()) text += L"Ctrl+";
  if (assign.hkShift()) text += L"Shift+";
  return text + assign.Key();
}

}  // namespace vl
