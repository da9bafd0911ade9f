// Paths that travel with the launcher: a button's path written relative to the folder of
// the program (".\apps\editor.exe", "..\tools\x.exe", or "\apps\x.exe" for the root of
// the program's drive), resolved against wherever that folder is now, and a full path
// made relative to it when both are on one drive.
//
// Windows path syntax on every platform (these are the settings file's texts, not the
// machine's paths): "\" and "/" both separate, a volume is a drive ("E:") or a share
// ("\\server\share"), and names compare without regard to letter case.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vl {

// Whether `path` is written relative to the launcher's folder: "." or ".." alone or
// followed by a separator, or a single separator in front (its drive's root). A bare
// name ("notepad.exe", "apps\x.exe"), a URL, a shell name, a full path and a share are not.
bool IsLauncherRelative(std::wstring_view path);

// `relative` (IsLauncherRelative) as a full path in `folder` (a full path, "E:" for a
// drive's root): "." and ".." parts taken away, never above the folder's volume, with "\"
// between the parts; a drive's root keeps its "\" ("E:\"). `folder` itself for ".".
std::wstring ResolveAgainst(std::wstring_view relative, std::wstring_view folder);

// `path` when it is not launcher-relative, else ResolveAgainst(path, folder).
std::wstring ResolveStoredPath(std::wstring_view path, std::wstring_view folder);

// The full path `path` written relative to `folder` when both are on one volume: ".\sub\x"
// under it, "..\other\x" beside it, "." for the folder itself. Nothing for a path on
// another volume, one that is not full, one behind "\\?\", or one holding "." or ".."
// parts, which stays as it is.
std::optional<std::wstring> RelativeToFolder(std::wstring_view path, std::wstring_view folder);

// Whether `path` names something for the shell rather than a file: a shell name
// ("shell:Downloads", "shell:AppsFolder\<app id>"), a name below a shell folder
// ("::{CLSID}", "::{CLSID}\item"), or a URL ("https://...", "mailto:x", "ms-settings:"):
// a scheme of two letters or more, then ":". A drive ("C:\x", "C:") and every other path
// are not. Such a name is kept as written, opened by the shell, and never looked at on disk.
bool IsShellName(std::wstring_view path);

// Two names or volumes equal but for letter case, as the file system compares them.
bool SameIgnoringCase(std::wstring_view a, std::wstring_view b);

}  // namespace vl
