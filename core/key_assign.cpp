#include "core/key_assign.h"

#include <array>
#include <utility>

namespace vl {
namespace {

struct NamedKey {
  int code;
  const wchar_t* name;
};

// The key-name table. The spellings are the program's own and are stored in users'
// settings files as they are ("ESC", "AltShit", "Oem_Clear"): never correct them.
constexpr NamedKey kNamedKeys[] = {
    {0x01, L"LButton"}, {0x02, L"RButton"}, {0x03, L"Cancel"}, {0x04, L"MButton"},
    {0x08, L"Back"}, {0x09, L"Tab"}, {0x0C, L"Clear"}, {0x0D, L"Enter"},
    {0x10, L"Shift"}, {0x11, L"Ctrl"}, {0x12, L"Menu"}, {0x13, L"Pause"}, {0x14, L"Caps"},
    {0x15, L"Kana"}, {0x19, L"Hanja"}, {0x1B, L"ESC"}, {0x1C, L"Convert"},
    {0x1D, L"NonConvert"}, {0x1E, L"Accept"}, {0x1F, L"ModeChange"},
    {0x20, L"Space"}, {0x21, L"PageUp"}, {0x22, L"PageDown"}, {0x23, L"End"},
    {0x24, L"Home"}, {0x25, L"Left"}, {0x26, L"Up"}, {0x27, L"Right"}, {0x28, L"Down"},
    {0x29, L"Select"}, {0x2A, L"Print"}, {0x2B, L"Execute"}, {0x2C, L"SnapShot"},
    {0x2D, L"Insert"}, {0x2E, L"Delete"}, {0x2F, L"Help"},
    {0x30, L"0"}, {0x31, L"1"}, {0x32, L"2"}, {0x33, L"3"}, {0x34, L"4"},
    {0x35, L"5"}, {0x36, L"6"}, {0x37, L"7"}, {0x38, L"8"}, {0x39, L"9"},
    {0x41, L"A"}, {0x42, L"B"}, {0x43, L"C"}, {0x44, L"D"}, {0x45, L"E"}, {0x46, L"F"},
    {0x47, L"G"}, {0x48, L"H"}, {0x49, L"I"}, {0x4A, L"J"}, {0x4B, L"K"}, {0x4C, L"L"},
    {0x4D, L"M"}, {0x4E, L"N"}, {0x4F, L"O"}, {0x50, L"P"}, {0x51, L"Q"}, {0x52, L"R"},
    {0x53, L"S"}, {0x54, L"T"}, {0x55, L"U"}, {0x56, L"V"}, {0x57, L"W"}, {0x58, L"X"},
    {0x59, L"Y"}, {0x5A, L"Z"},
    {0x5B, L"LWinKey"}, {0x5C, L"RWinKey"}, {0x5D, L"Apps"},
    {0x60, L"Num0"}, {0x61, L"Num1"}, {0x62, L"Num2"}, {0x63, L"Num3"}, {0x64, L"Num4"},
    {0x65, L"Num5"}, {0x66, L"Num6"}, {0x67, L"Num7"}, {0x68, L"Num8"}, {0x69, L"Num9"},
    {0x6A, L"Num*"}, {0x6B, L"Num+"}, {0x6C, L"Separator"}, {0x6D, L"Num-"},
    {0x6E, L"Num."}, {0x6F, L"Num/"},
    {0x70, L"F1"}, {0x71, L"F2"}, {0x72, L"F3"}, {0x73, L"F4"}, {0x74, L"F5"},
    {0x75, L"F6"}, {0x76, L"F7"}, {0x77, L"F8"}, {0x78, L"F9"}, {0x79, L"F10"},
    {0x7A, L"F11"}, {0x7B, L"F12"}, {0x7C, L"F13"}, {0x7D, L"F14"}, {0x7E, L"F15"},
    {0x7F, L"F16"}, {0x80, L"F17"}, {0x81, L"F18"}, {0x82, L"F19"}, {0x83, L"F20"},
    {0x84, L"F21"}, {0x85, L"F22"}, {0x86, L"F23"}, {0x87, L"F24"},
    {0x90, L"NumLock"}, {0x91, L"Scroll"}, {0xA0, L"LShift"}, {0xA1, L"RShift"},
    {0xA2, L"LControl"}, {0xA3, L"RControl"}, {0xA4, L"LMenu"}, {0xA5, L"RMenu"},
    {0xBA, L":"}, {0xBB, L";"}, {0xBC, L","}, {0xBD, L"-"}, {0xBE, L"."}, {0xBF, L"/"},
    {0xC0, L"@"}, {0xDB, L"["}, {0xDC, L"\\"}, {0xDD, L"]"}, {0xDE, L"^"}, {0xE2, L"_"},
    {0xE5, L"Kanji"}, {0xF0, L"AltShit"}, {0xF1, L"Hiragana"}, {0xF2, L"Romaji"},
    {0xF3, L"Hankaku"}, {0xF4, L"Zenkaku"}, {0xF6, L"Attn"}, {0xF7, L"CrSel"},
    {0xF8, L"ExSel"}, {0xF9, L"Ereof"}, {0xFA, L"Play"}, {0xFB, L"Zoom"},
    {0xFC, L"Noname"}, {0xFD, L"Pa1"}, {0xFE, L"Oem_Clear"},
};

constexpr bool CodesAscendInRange() {
  int last = 0;
  for (const NamedKey& k : kNamedKeys) {
    if (k.code <= last || k.code >= TKeyAssign::kKeyCodes) return false;
    last = k.code;
  }
  return true;
}
static_assert(CodesAscendInRange(), "one entry per code, in code order");

// The 256 entries, indexed by code.
constexpr std::array<std::wstring_view, TKeyAssign::kKeyCodes> MakeKeyTable() {
  std::array<std::wstring_view, TKeyAssign::kKeyCodes> table{};
  for (const NamedKey& k : kNamedKeys) table[k.code] = k.name;
  return table;
}
constexpr auto kKeyTable = MakeKeyTable();

// Every name is ASCII, so folding A-Z is all the case-insensitivity a name can need; it
// also keeps invisible or look-alike characters from matching a name.
constexpr wchar_t FoldCase(wchar_t c) { return c >= L'a' && c <= L'z' ? c - L'a' + L'A' : c; }

}  // namespace

bool TKeyAssign::SameName(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

std::wstring_view TKeyAssign::KeyName(int code) {
  return code >= 0 && code < kKeyCodes ? kKeyTable[code] : std::wstring_view();
}

int TKeyAssign::IndexOfKeyName(std::wstring_view name) {
  for (int code = 0; code < kKeyCodes; ++code) {
    if (SameName(kKeyTable[code], name)) return code;
  }
  return -1;
}

std::wstring TKeyAssign::NormalizeKeyName(std::wstring_view name) {
  return std::wstring(KeyName(IndexOfKeyName(name)));
}

void TKeyAssign::SetKey(std::wstring_view name) {
  key_ = NormalizeKeyName(name);
  Changed();
}

void TKeyAssign::SethkShift(bool value) {
  shift_ = value;
  Changed();
}

void TKeyAssign::SethkCtrl(bool value) {
  ctrl_ = value;
  Changed();
}

void TKeyAssign::SethkAlt(bool value) {
  alt_ = value;
  Changed();
}

void TKeyAssign::SethkWinKey(bool value) {
  winKey_ = value;
  Changed();
}

void TKeyAssign::Assign(const TKeyAssign& source) {
  ctrl_ = source.ctrl_;
  shift_ = source.shift_;
  alt_ = source.alt_;
  winKey_ = source.winKey_;
  SetKey(source.key_);
}

void TKeyAssign::Changed() {
  if (OnChange) OnChange(*this);
}

}  // namespace vl
