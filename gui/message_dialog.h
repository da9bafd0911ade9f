// The confirmation box that destructive commands show before they act.
//
// Caption "確認" with the question icon (or "警告" with the warning icon), and the buttons
// "はい(&Y)" (the default) and "いいえ(&N)" (also answered by Esc), on every system: the
// button texts are set by the program, not taken from the system's language. The box is modal to the whole
// program (see TModalScope): nothing of the launcher runs a command while it is up.
#pragma once

#include <string_view>

namespace vl {

inline constexpr wchar_t kConfirmCaption[] = L"確認";
inline constexpr wchar_t kWarningCaption[] = L"警告";

// True when the user answers "はい".
bool Confirm(std::wstring_view text, std::wstring_view caption = kConfirmCaption);

}  // namespace vl
