// The text form of a hot key, as the settings file stores it and the user types it.
//
// Written form: the set modifiers in the fixed order "Windows+", "Alt+", "Ctrl+",
// "Shift+", then the key name in the table's own spelling: "Windows+Space", "ESC".
// Read form: words separated by "+", blanks around a word ignored. "Shift", "Ctrl",
// "Alt" and "Windows" set modifiers in any order and letter case, and so do "Control"
// and "Win", the spellings people write them in; exactly one other word names the key,
// looked up in the key-name table.
//
// A text that does not name one key is refused whole, never half read: an empty word
// ("Ctrl++A", "Ctrl+"), a word that is neither a modifier nor a key name ("Spce",
// "(なし)"), two key words ("F1+Space") or none ("", "Shift"). A refused text leaves the
// assignment untouched, so that a typing slip never costs the key in force.
// Three keys of the table have no text form: "Shift" and "Ctrl" read as modifiers, and
// "Num+" is cut at its "+".
#pragma once

#include <string>
#include <string_view>

#include "core/key_assign.h"

namespace vl {

// What the program shows for an assignment without a key. It is not a key name: read
// back, it is refused.
inline constexpr std::wstring_view kNoHotKeyText = L"(なし)";

// Why a text is refused; None when it names one key.
enum class HotKeyFault { None, NoKey, EmptyWord, UnknownWord, TwoKeys };

struct HotKeyReading {
  HotKeyFault fault = HotKeyFault::None;
  // The words at fault: the unknown word, or the two key words.
  std::wstring_view word, other;
  int code = 0;  // the key's virtual-key code, when the text names one
  bool shift = false, ctrl = false, alt = false, winKey = false;
};

// Reads the text without storing it anywhere.
HotKeyReading ParseHotKeyText(std::wstring_view text);

// Reads the text into the assignment: the four flags quietly, then the key through
// SetKey, so OnChange runs once. A refused text leaves the assignment untouched and
// returns false.
bool ReadHotKeyText(std::wstring_view text, TKeyAssign& assign);

// The written form; with no key only the modifier prefixes ("Ctrl+").
std::wstring HotKeyText(const TKeyAssign& assign);

// Whether the key types, moves or edits in other programs, or switches their input
// (letters, digits, Space, Enter, Tab, Backspace, Esc, arrows, punctuation, the modifier
// and input-mode keys), as function keys and the like do not. Registered system-wide
// without Ctrl, Alt or Windows, such a key would be taken from every program.
bool IsTypingKey(int code);
// The combination is such a key without Ctrl, Alt or Windows (Shift alone still types).
bool TypesInOtherPrograms(const HotKeyReading& reading);

// Why the text cannot be a hot key, as a sentence for the user naming the text; empty
// when it can. systemWide: the key is to reach the launcher from every program, so a
// key that types there is refused too.
std::wstring HotKeyTextRefusal(std::wstring_view text, bool systemWide);

}  // namespace vl
