// The key-name table, the assignment's events and the text form of hot keys.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/hot_key_text.h"
#include "core/key_assign.h"
#include "core/text_codec.h"

namespace vl {
namespace {

// The assignment as data, for comparisons: key, shift, ctrl, alt, windows.
struct Keys {
  std::wstring key;
  bool shift = false, ctrl = false, alt = false, win = false;
  bool operator==(const Keys&) const = default;
};

Keys Of(const TKeyAssign& a) { return {a.Key(), a.hkShift(), a.hkCtrl(), a.hkAlt(), a.hkWinKey()}; }

void PrintTo(const Keys& k, std::ostream* os) {
  *os << '"' << WideToUtf8(k.key) << '"' << (k.win ? " win" : "")
      << (k.alt ? " alt" : "") << (k.ctrl ? " ctrl" : "") << (k.shift ? " shift" : "");
}

// The codes without a name, range by range, as the table's documentation lists them.
const std::pair<int, int> kUnnamedRanges[] = {
    {0x00, 0x00}, {0x05, 0x07}, {0x0A, 0x0B}, {0x0E, 0x0F}, {0x16, 0x18}, {0x1A, 0x1A},
    {0x3A, 0x40}, {0x5E, 0x5F}, {0x88, 0x8F}, {0x92, 0x9F}, {0xA6, 0xB9}, {0xC1, 0xDA},
    {0xDF, 0xE1}, {0xE3, 0xE4}, {0xE6, 0xEF}, {0xF5, 0xF5}, {0xFF, 0xFF}};

TEST(KeyNameTable, NamesExactlyTheCodesOutsideTheUnnamedRanges) {
  std::set<int> unnamed;
  for (auto [first, last] : kUnnamedRanges)
    for (int code = first; code <= last; ++code) unnamed.insert(code);
  int named = 0;
  for (int code = 0; code < TKeyAssign::kKeyCodes; ++code) {
    EXPECT_EQ(TKeyAssign::KeyName(code).empty(), unnamed.count(code) == 1) << std::hex << code;
    named += !TKeyAssign::KeyName(code).empty();
  }
  EXPECT_EQ(named, 150);
  EXPECT_EQ(TKeyAssign::KeyName(-1), L"");
  EXPECT_EQ(TKeyAssign::KeyName(256), L"");
}

TEST(KeyNameTable, EveryNameLeadsBackToItsOwnCodeInAnyLetterCase) {
  // Also proves that no two names differ only in letter case.
  for (int code = 1; code < TKeyAssign::kKeyCodes; ++code) {
    std::wstring name(TKeyAssign::KeyName(code));
    if (name.empty()) continue;
    std::wstring lower = name, upper = name;
    for (auto& c : lower) c = (c >= L'A' && c <= L'Z') ? c - L'A' + L'a' : c;
    for (auto& c : upper) c = (c >= L'a' && c <= L'z') ? c - L'a' + L'A' : c;
    for (const std::wstring& form : {name, lower, upper}) {
      EXPECT_EQ(TKeyAssign::IndexOfKeyName(form), code) << std::hex << code;
      EXPECT_EQ(TKeyAssign::NormalizeKeyName(form), name);
    }
  }
}

TEST(KeyNameTable, KeepsItsOwnSpellings) {
  const std::pair<const wchar_t*, int> cases[] = {
      {L"ESC", 0x1B},       {L"AltShit", 0xF0}, {L"Oem_Clear", 0xFE}, {L"Menu", 0x12},
      {L"Space", 0x20},     {L"LWinKey", 0x5B}, {L"Num*", 0x6A},      {L"Num+", 0x6B},
      {L"\\", 0xDC},        {L"^", 0xDE},       {L"_", 0xE2},         {L"F24", 0x87},
      {L"Z", 0x5A},         {L"0", 0x30},       {L"Ereof", 0xF9},     {L"SnapShot", 0x2C},
      {L"NonConvert", 0x1D}};
  for (auto [name, code] : cases) EXPECT_EQ(TKeyAssign::KeyName(code), name);
}

TEST(KeyNameTable, LooksUpOnlyWhatItHolds) {
  const std::pair<const wchar_t*, int> cases[] = {
      {L"", 0},          // the empty name is the empty entry of code 0
      {L"esc", 0x1B},    {L"eSc", 0x1B},      {L"oem_clear", 0xFE},
      {L"Escape", -1},   {L"Alt", -1},        {L"Windows", -1},     {L"Win", -1},
      {L"(なし)", -1},   {L" Space", -1},     {L"Space ", -1},      {L"Ｓｐａｃｅ", -1},
      {L"F25", -1},      {L"Num", -1},        {L"A\u0301", -1}};
  for (auto [name, code] : cases) EXPECT_EQ(TKeyAssign::IndexOfKeyName(name), code) << name;
  EXPECT_EQ(TKeyAssign::IndexOfKeyName(std::wstring(L"A\0", 2)), -1);
  EXPECT_EQ(TKeyAssign::NormalizeKeyName(L"Escape"), L"");
  // Letters outside A-Z have no case here: "ı" and "ſ" must not pass for "I" and "S".
  EXPECT_EQ(TKeyAssign::IndexOfKeyName(L"ı"), -1);
  EXPECT_EQ(TKeyAssign::IndexOfKeyName(L"ſpace"), -1);
}

TEST(KeyAssign, RaisesOnChangeAfterEveryWrite) {
  TKeyAssign a;
  std::vector<Keys> seen;
  a.OnChange = [&](TKeyAssign& sender) {
    EXPECT_EQ(&sender, &a);
    seen.push_back(Of(sender));
  };
  EXPECT_FALSE(a.CanUse());
  EXPECT_EQ(a.KeyCode(), 0);
  a.SetKey(L"space");
  a.SethkWinKey(true);
  a.SethkCtrl(true);
  a.SethkCtrl(false);
  a.SethkShift(true);
  a.SethkAlt(true);
  a.SetKey(L"NoSuchKey");
  ASSERT_EQ(seen.size(), 7u);
  EXPECT_EQ(seen[0], (Keys{L"Space"}));
  EXPECT_EQ(seen[1], (Keys{L"Space", false, false, false, true}));
  EXPECT_EQ(seen[2], (Keys{L"Space", false, true, false, true}));
  EXPECT_EQ(seen[5], (Keys{L"Space", true, false, true, true}));
  EXPECT_EQ(seen[6], (Keys{L"", true, false, true, true}));
  EXPECT_FALSE(a.CanUse());
}

TEST(KeyAssign, AssignCopiesWithOneChangeThatSeesTheWholeAssignment) {
  TKeyAssign source;
  source.SethkCtrl(true);
  source.SethkAlt(true);
  source.SetKey(L"F1");
  TKeyAssign a;
  a.SethkShift(true);
  std::vector<Keys> seen;
  a.OnChange = [&](TKeyAssign& sender) { seen.push_back(Of(sender)); };
  a.Assign(source);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], (Keys{L"F1", false, true, true, false}));
  EXPECT_EQ(a.KeyCode(), 0x70);
  EXPECT_TRUE(a.CanUse());
  a.Assign(a);
  EXPECT_EQ(Of(a), (Keys{L"F1", false, true, true, false}));
  EXPECT_EQ(seen.size(), 2u);
}

struct TextCase {
  const wchar_t* text;
  Keys after;         // the assignment after reading the text into Ctrl+Alt+F1
  const wchar_t* written;  // its written form
  HotKeyFault fault = HotKeyFault::None;
};

const Keys kBefore{L"F1", false, true, true, false};
constexpr auto kNoKey = HotKeyFault::NoKey, kEmpty = HotKeyFault::EmptyWord,
               kUnknown = HotKeyFault::UnknownWord, kTwo = HotKeyFault::TwoKeys;

const TextCase kTextCases[] = {
    {L"Windows+Space", {L"Space", false, false, false, true}, L"Windows+Space"},
    {L"windows+space", {L"Space", false, false, false, true}, L"Windows+Space"},
    {L"Space+Windows", {L"Space", false, false, false, true}, L"Windows+Space"},
    // The spellings people write the modifiers in, and their spacing.
    {L"Win+Space", {L"Space", false, false, false, true}, L"Windows+Space"},
    {L"control+shift+a", {L"A", true, true, false, false}, L"Ctrl+Shift+A"},
    {L"Windows + Space", {L"Space", false, false, false, true}, L"Windows+Space"},
    {L"Esc", {L"ESC"}, L"ESC"},
    {L"esc", {L"ESC"}, L"ESC"},
    {L"shift+ctrl+a", {L"A", true, true, false, false}, L"Ctrl+Shift+A"},
    {L"SHIFT+Alt+ctrl+WINDOWS+z", {L"Z", true, true, true, true}, L"Windows+Alt+Ctrl+Shift+Z"},
    {L"Ctrl+Ctrl+A", {L"A", false, true, false, false}, L"Ctrl+A"},
    {L"Ctrl+Menu", {L"Menu", false, true, false, false}, L"Ctrl+Menu"},
    {L"Alt+Shift+AltShit", {L"AltShit", true, false, true, false}, L"Alt+Shift+AltShit"},
    {L"Ctrl+\\", {L"\\", false, true, false, false}, L"Ctrl+\\"},
    {L"Ctrl+num*", {L"Num*", false, true, false, false}, L"Ctrl+Num*"},
    // Refused whole: the assignment stays as it was, the flags included.
    {L"Ctrl+Spce", kBefore, L"Alt+Ctrl+F1", kUnknown},
    {L"Ctrl+A+B", kBefore, L"Alt+Ctrl+F1", kTwo},
    {L"F1+Space", kBefore, L"Alt+Ctrl+F1", kTwo},
    {L"Alt+Foo", kBefore, L"Alt+Ctrl+F1", kUnknown},
    {L"Ctrl+Num+", kBefore, L"Alt+Ctrl+F1", kUnknown},
    {L"(なし)", kBefore, L"Alt+Ctrl+F1", kUnknown},
    {L"Ctrl+Ａ", kBefore, L"Alt+Ctrl+F1", kUnknown},
    {L"Windows+Spa ce", kBefore, L"Alt+Ctrl+F1", kUnknown},
    {L"A++Ctrl", kBefore, L"Alt+Ctrl+F1", kEmpty},
    {L"Ctrl+", kBefore, L"Alt+Ctrl+F1", kEmpty},
    {L"+A", kBefore, L"Alt+Ctrl+F1", kEmpty},
    {L"+", kBefore, L"Alt+Ctrl+F1", kEmpty},
    {L"Ctrl+ +A", kBefore, L"Alt+Ctrl+F1", kEmpty},
    {L"", kBefore, L"Alt+Ctrl+F1", kNoKey},
    {L"  ", kBefore, L"Alt+Ctrl+F1", kNoKey},
    {L"Shift", kBefore, L"Alt+Ctrl+F1", kNoKey},
    {L"Shift+Windows", kBefore, L"Alt+Ctrl+F1", kNoKey},
};

TEST(HotKeyText, ReadsAndWritesTheTextFormAndRefusesWhatNamesNoSingleKey) {
  for (const TextCase& c : kTextCases) {
    TKeyAssign a;
    a.SethkCtrl(true);
    a.SethkAlt(true);
    a.SetKey(L"F1");
    int changes = 0;
    a.OnChange = [&](TKeyAssign& sender) {
      ++changes;
      // Flags are in place before the one event.
      EXPECT_EQ(Of(sender), c.after) << c.text;
    };
    bool read = ReadHotKeyText(c.text, a);
    EXPECT_EQ(Of(a), c.after) << c.text;
    EXPECT_EQ(HotKeyText(a), c.written) << c.text;
    EXPECT_EQ(changes, read ? 1 : 0) << c.text;
    EXPECT_EQ(read, c.fault == HotKeyFault::None) << c.text;
    EXPECT_EQ(ParseHotKeyText(c.text).fault, c.fault) << c.text;
    // Every refusal is a sentence that names the text as typed.
    const std::wstring why = HotKeyTextRefusal(c.text, false);
    EXPECT_EQ(why.empty(), read) << c.text;
    EXPECT_TRUE(read || why.find(L"「" + std::wstring(c.text) + L"」") != std::wstring::npos) << c.text;
  }
  // The words at fault are named.
  EXPECT_NE(HotKeyTextRefusal(L"Ctrl+Spce", false).find(L"「Spce」"), std::wstring::npos);
  const std::wstring two = HotKeyTextRefusal(L"F1+Space", true);
  EXPECT_NE(two.find(L"「F1」と「Space」"), std::wstring::npos) << WideToUtf8(two);
}

// A key that reaches the launcher from every program must not be one those programs type
// with: without Ctrl, Alt or Windows, the keys that type, move, edit or switch the input are
// refused, and function keys and the like stay allowed.
TEST(HotKeyText, ASystemWideKeyThatTypesNeedsCtrlAltOrWindows) {
  const std::pair<const wchar_t*, bool> cases[] = {
      {L"Space", false},      {L"Shift+A", false},  {L"7", false},        {L"Enter", false},
      {L"Tab", false},        {L"Back", false},     {L"Esc", false},      {L"Left", false},
      {L"Home", false},       {L"Delete", false},   {L",", false},        {L"Num5", false},
      {L"Zenkaku", false},    {L"Kanji", false},    {L"LWinKey", false},  {L"Menu", false},
      {L"Shift+Space", false}, {L"Apps", false},
      {L"F1", true},          {L"Shift+F12", true}, {L"Pause", true},     {L"Scroll", true},
      {L"Ctrl+Space", true},  {L"Alt+A", true},     {L"Win+Space", true}, {L"Ctrl+Shift+Esc", true},
  };
  for (auto [text, allowed] : cases) {
    const std::wstring why = HotKeyTextRefusal(text, true);
    EXPECT_EQ(why.empty(), allowed) << WideToUtf8(text) << ": " << WideToUtf8(why);
    EXPECT_TRUE(HotKeyTextRefusal(text, false).empty()) << "within the launcher: " << WideToUtf8(text);
  }
  // Every key of the table without a modifier: only function keys and the like pass.
  for (int code = 1; code < TKeyAssign::kKeyCodes; ++code) {
    std::wstring_view name = TKeyAssign::KeyName(code);
    if (name.empty() || code == 0x10 || code == 0x11) continue;  // Shift and Ctrl read as modifiers
    const bool function = code >= 0x70 && code <= 0x87;
    const bool letterOrDigit = (code >= 0x30 && code <= 0x39) || (code >= 0x41 && code <= 0x5A);
    const bool refused = !HotKeyTextRefusal(name, true).empty();
    EXPECT_TRUE(!function || !refused) << WideToUtf8(std::wstring(name));
    EXPECT_TRUE(!letterOrDigit || refused) << WideToUtf8(std::wstring(name));
  }
}

TEST(HotKeyText, ReadsALongTextToItsEnd) {
  // Nothing is cut from a long text: the words after a long run of blanks still count.
  TKeyAssign a;
  ASSERT_TRUE(ReadHotKeyText(L"Ctrl+" + std::wstring(300, L' ') + L"Shift+F2", a));
  EXPECT_EQ(Of(a), (Keys{L"F2", true, true, false, false}));
}

TEST(HotKeyText, EveryWrittenAssignmentReadsBackTheSame) {
  for (int code = 0; code < TKeyAssign::kKeyCodes; ++code) {
    if (TKeyAssign::KeyName(code).empty()) continue;
    for (int mask = 0; mask < 16; ++mask) {
      TKeyAssign a;
      a.SethkAlt(mask & 1);
      a.SethkCtrl(mask & 2);
      a.SethkShift(mask & 4);
      a.SethkWinKey(mask & 8);
      a.SetKey(TKeyAssign::KeyName(code));
      std::wstring text = HotKeyText(a);
      TKeyAssign b;
      bool read = ReadHotKeyText(text, b);
      if (code == 0x10 || code == 0x11) {
        // The keys "Shift" and "Ctrl" read back as modifiers: no key.
        EXPECT_FALSE(read) << text;
      } else if (code == 0x6B) {
        // "Num+": its "+" cuts the word, and "Num" is no key.
        EXPECT_FALSE(read) << text;
      } else {
        EXPECT_TRUE(read) << text;
        EXPECT_EQ(Of(b), Of(a)) << text;
        EXPECT_EQ(b.KeyCode(), code);
      }
    }
  }
}

}  // namespace
}  // namespace vl
