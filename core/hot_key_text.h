// The text form of a hot key, as the settings file stores it and the user types it.
//
// Written form: the set modifiers in the fixed order "Windows+", "Alt+", "Ctrl+",
// "Shift+", then the key name in the table's own spelling: "Windows+Space", "ESC".
// Read form: tokens separated by "+". "Shift", "Ctrl", "Alt" and "Windows" set modifiers
// in any order and letter case; any other token is the key name (the last one wins),
// looked up in the key-name table. An empty token ends the text. Blanks are part of a
// token, so "Windows + Space" names no modifier and no key of the table.
// Three keys of the table have no text form: "Shift" and "Ctrl" read back as modifiers,
// and "Num+" is cut at its "+".
#pragma once

#include <string>
#include <string_view>

#include "core/key_assign.h"

namespace vl {

// What the program shows and stores for an assignment without a key. Read back, it is a
// key name the table does not know: it clears the key and every modifier.
inline constexpr std::wstring_view kNoHotKeyText = L"(なし)";

// Reads the text into the assignment: the four flags quietly, then the key through
// SetKey, so OnChange runs once. A text without a key-name token (empty, "Ctrl+",
// "Shift", "+A") leaves the assignment untouched and returns false.
bool ReadHotKeyText(std::wstring_view text, TKeyAssign& assign);

// The written form; with no key only the modifier prefixes ("Ctrl+").
std::wstring HotKeyText(const TKeyAssign& assign);

}  // namespace vl
