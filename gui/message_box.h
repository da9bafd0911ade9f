// The plain message boxes of the program, all under the application title, modal to the
// whole program and placed over the window they belong to (see RunMessageBox).
#pragma once

#include <string_view>

namespace vl {

// A plain message with one OK button.
void ShowMessage(std::wstring_view text);

// Something the user should act on (a button whose file is gone): warning sign, one OK.
void WarningBox(std::wstring_view text);

// The application-wide error report: stop icon, one OK button.
void ErrorBox(std::wstring_view text);

}  // namespace vl
