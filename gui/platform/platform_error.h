// Turning a failed Win32 call into the program's own exception, with the system's text.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace vl {

// The system's message for an error code, without its trailing line break.
std::wstring SystemErrorText(DWORD code);

// Throws EVantriError "<what>: <system text>" for GetLastError().
[[noreturn]] void ThrowLastError(std::wstring_view what);

}  // namespace vl
