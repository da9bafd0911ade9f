// Who made the program and where to read about it, as the version box shows them: the one
// place for both.
//
// The project has no web site of its own, and the box must not send anyone to an address
// nobody here controls: the "web page" is the help page that ships beside the program,
// named by its path below the executable's folder.
#pragma once

namespace vl {

inline constexpr wchar_t kAuthorNotice[] =
    L"Copyright (C) 2026 Vantri Launch の作者\r\n"
    L"\r\n"
    L"このソフトウェアはフリーソフトウェアです。\r\n"
    L"無保証です。ご自身の責任でお使いください。";

// Below the executable's folder.
inline constexpr wchar_t kAuthorPage[] = L"help\\help.htm";

}  // namespace vl
