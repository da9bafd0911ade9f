// What the launcher tells a user who does not yet know where it is: the balloon of the
// very first start, and the box a second copy shows before it calls up the one running.
#pragma once

#include <windows.h>

#include <string>

#include "core/ini_file.h"

namespace vl {

inline constexpr wchar_t kProductName[] = L"Vantri Launch";

// The balloon's text; `showKey` is the key in force, empty when no key calls the launcher.
std::wstring FirstStartNote(const std::wstring& showKey);

// The second copy's box: its refusal, where the launcher is and how to call it up.
std::wstring SecondStartNote(const std::wstring& showKey);

// The show key as the settings file has it for a copy that registers nothing itself: the
// key the running launcher uses, or empty when it uses none. A text that is no key is
// read as the running copy reads it, as the default.
std::wstring ShowKeyInFile(const TIniFile& ini);

// No settings file at all: a new user's first start, not a file that is there but cannot
// be looked at.
bool NoSettingsFile();

// The message a second copy posts to the running launcher's main window to call it up.
UINT CallUpMessage();

// Posts CallUpMessage to the running launcher and lets it take the foreground, which
// this copy holds as the program the user just started. False when none was found.
bool CallUpRunningLauncher();

}  // namespace vl
