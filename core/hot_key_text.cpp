#include "core/hot_key_text.h"

#include <utility>

namespace vl {
namespace {

// Blanks around a word are the user's spacing ("Windows + Space"), not part of a name.
std::wstring_view TrimBlanks(std::wstring_view word) {
  while (!word.empty() && (word.front() == L' ' || word.front() == L'\t')) word.remove_prefix(1);
  while (!word.empty() && (word.back() == L' ' || word.back() == L'\t')) word.remove_suffix(1);
  return word;
}

// The modifier words, the program's own and the spellings people use for them.
struct ModifierWord {
  const wchar_t* word;
  bool HotKeyReading::*flag;
};
constexpr ModifierWord kModifierWords[] = {
    {L"Shift", &HotKeyReading::shift}, {L"Ctrl", &HotKeyReading::ctrl},
    {L"Control", &HotKeyReading::ctrl}, {L"Alt", &HotKeyReading::alt},
    {L"Windows", &HotKeyReading::winKey}, {L"Win", &HotKeyReading::winKey},
};

// The keys other programs need for themselves, as ranges of virtual-key codes.
constexpr std::pair<int, int> kTypingKeys[] = {
    {0x08, 0x09},  // Back, Tab
    {0x0D, 0x0D},  // Enter
    {0x10, 0x12},  // Shift, Ctrl, Menu (Alt)
    {0x14, 0x15},  // Caps, Kana
    {0x19, 0x19},  // Hanja
    {0x1B, 0x1F},  // ESC, Convert, NonConvert, Accept, ModeChange
    {0x20, 0x28},  // Space, PageUp, PageDown, End, Home, the arrows
    {0x2D, 0x2E},  // Insert, Delete
    {0x30, 0x39},  // digits
    {0x41, 0x5D},  // letters, LWinKey, RWinKey, Apps
    {0x60, 0x6F},  // the number pad
    {0x90, 0x90},  // NumLock
    {0xA0, 0xA5},  // LShift to RMenu
    {0xBA, 0xC0},  // punctuation
    {0xDB, 0xDE},
    {0xE2, 0xE2},
    {0xE5, 0xE5},  // Kanji
    {0xF0, 0xF4},  // AltShit (Eisu), Hiragana, Romaji, Hankaku, Zenkaku
};

std::wstring Quoted(std::wstring_view text) { return L"「" + std::wstring(text) + L"」"; }

}  // namespace

HotKeyReading ParseHotKeyText(std::wstring_view text) {
  HotKeyReading r;
  std::wstring_view keyWord;
  if (TrimBlanks(text).empty()) {
    r.fault = HotKeyFault::NoKey;
    return r;
  }
  std::wstring_view rest = text;
  for (bool more = true; more;) {
    std::size_t plus = rest.find(L'+');
    more = plus != std::wstring_view::npos;
    std::wstring_view word = TrimBlanks(rest.substr(0, plus));
    if (more) rest.remove_prefix(plus + 1);
    if (word.empty()) {
      r.fault = HotKeyFault::EmptyWord;
      return r;
    }
    bool modifier = false;
    for (const ModifierWord& m : kModifierWords) {
      if (TKeyAssign::SameName(word, m.word)) {
        r.*m.flag = true;
        modifier = true;
        break;
      }
    }
    if (modifier) continue;
    const int code = TKeyAssign::IndexOfKeyName(word);
    if (code <= 0) {
      r.fault = HotKeyFault::UnknownWord;
      r.word = word;
      return r;
    }
    if (!keyWord.empty()) {
      r.fault = HotKeyFault::TwoKeys;
      r.word = keyWord;
      r.other = word;
      return r;
    }
    keyWord = word;
    r.code = code;
  }
  if (keyWord.empty()) r.fault = HotKeyFault::NoKey;
  return r;
}

bool ReadHotKeyText(std::wstring_view text, TKeyAssign& assign) {
  const HotKeyReading r = ParseHotKeyText(text);
  if (r.fault != HotKeyFault::None) return false;
  // Built quietly (no OnChange here), then taken over by Assign: the flags without an
  // event, the key through SetKey, which raises the one OnChange.
  TKeyAssign parsed;
  parsed.SethkShift(r.shift);
  parsed.SethkCtrl(r.ctrl);
  parsed.SethkAlt(r.alt);
  parsed.SethkWinKey(r.winKey);
  parsed.SetKey(TKeyAssign::KeyName(r.code));
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

bool IsTypingKey(int code) {
  for (auto [first, last] : kTypingKeys) {
    if (code >= first && code <= last) return true;
  }
  return false;
}

bool TypesInOtherPrograms(const HotKeyReading& r) {
  return !r.ctrl && !r.alt && !r.winKey && IsTypingKey(r.code);
}

std::wstring HotKeyTextRefusal(std::wstring_view text, bool systemWide) {
  const HotKeyReading r = ParseHotKeyText(text);
  const std::wstring key = L"ホットキー" + Quoted(text);
  const wchar_t* const howToWrite =
      L"。修飾キー(Ctrl、Alt、Shift、Windows)とキーの名前1つを「+」でつないでください(例: Windows+Space)";
  switch (r.fault) {
    case HotKeyFault::NoKey:
      return key + L"にはキーの名前がありません" + howToWrite;
    case HotKeyFault::EmptyWord:
      return key + L"の「+」の前後に何もありません" + howToWrite;
    case HotKeyFault::UnknownWord:
      return key + L"の" + Quoted(r.word) + L"はキーの名前ではありません" + howToWrite;
    case HotKeyFault::TwoKeys:
      return key + L"にはキーが2つあります(" + Quoted(r.word) + L"と" + Quoted(r.other) + L")" + howToWrite;
    case HotKeyFault::None:
      break;
  }
  if (systemWide && TypesInOtherPrograms(r))
    return key + L"では、ほかのプログラムでこのキーが使えなくなります。Ctrl、Alt、Windows のどれかと組み合わせてください";
  return {};
}

}  // namespace vl
