// The plain message boxes of the program, all under the application title and modal to
// the whole program (see TModalScope).
#pragma once

#include <string_view>

namespace vl {

// A plain message with one OK button.
void ShowMessage(std::wstring_view text);

// The application-wide error report: stop icon, one OK button.
void ErrorBox(std::wstring_view text);

}  // namespace vl
