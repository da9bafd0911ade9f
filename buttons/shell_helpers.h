// The shell services of the launcher beyond shortcut files: the path rules of a bound
// button (name, extension, parent folder), the folder icon that ships beside the
// program, opening a target in a working folder, and the special folders.
// All paths are UTF-16 throughout; the ANSI code page is never in the way.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "buttons/launch_options.h"
#include "buttons/link_file.h"

namespace vl {

// The text from the last "." that stands after the last "\" or ":", dot included;
// empty when there is none.
std::wstring ExtensionOf(std::wstring_view path);

// What a button bound to `path` is called: the text after the last "\", without the
// text from its last "." on ("report.final.txt" gives "report.final", "C:\" gives "").
std::wstring BtnNameOf(std::wstring_view path);

// The path cut before its last "\" or "/" ("C:\app.exe" gives "C:"); a path with neither
// is returned whole, and so is the root of a share ("\\server\share").
std::wstring ParentFolder(std::wstring_view path);

// The path a button's stored location, working folder or icon path stands for now: its
// environment names expanded ("%USERPROFILE%\Desktop"; a name not defined stays as
// written), then a path relative to the launcher's folder (IsLauncherRelative: ".\apps",
// "..\tools", "\apps" for its drive's root) resolved against the folder the program runs
// from. Anything else (a full path, a bare program name, a URL, a shell name) is returned
// as the expansion left it. Every place that opens, looks at or reads the icon of a
// stored path asks this first; the file keeps the path as written.
std::wstring UsablePath(const std::wstring& stored);

// `path` written relative to the launcher's folder when the two are on one volume
// (RelativeToFolder: ".\sub\x.exe", "..\other\x.exe"), else `path` itself.
std::wstring LauncherRelativePath(const std::wstring& path);

// The folder icon that ships beside the program: its folder followed by "\res\be_fold.ico".
std::wstring FolderIconPath();
// Whether a stored icon path names that icon (written full or relative to the launcher,
// in any letter case): the icon a drop gives a folder, which the user never chose.
bool IsFolderIcon(const std::wstring& stored);

// `path` as the file functions take it at any length: a full path too long for the
// classic limit gets the "\\?\" prefix ("\\?\UNC\" for a share), which Windows wants
// unless its LongPathsEnabled switch is on. Short, relative or already prefixed paths,
// and paths with "." or ".." parts (which the prefix would no longer resolve), are
// returned as they are.
std::wstring FileSystemPath(const std::wstring& path);

// What the shell (which reads no more than MAX_PATH characters) can take for `path`:
// itself while it is short enough, else its short (8.3) name when the volume keeps one
// that is; else itself, for the shell to try.
std::wstring ShellPath(const std::wstring& path);

// A file that exists (folders do not count), and a folder that exists; at any length.
bool FileExists(const std::wstring& path);
bool DirectoryExists(const std::wstring& path);

// A UNC path or one on a drive the system maps to the network: asking about it may wait
// for a server's time-out.
bool IsNetworkPath(const std::wstring& path);
// Whether a button's target is gone: `path` names a file or folder by its full path (a
// drive or a share) and the volume that would hold it answers that it is not there. A
// volume that does not answer (a server away, a drive not ready, a stick pulled), a
// refusal (access denied) or a path that is no full path (a URL, a bare program name the
// shell finds on its own) is not gone: the shell is left to say what it makes of it. May
// wait on a server: see TargetCheckMayWait.
bool TargetGone(const std::wstring& path);
// Whether TargetGone may wait: the path is on the network, or on a drive that may have to
// spin up or answers slowly (removable, optical).
bool TargetCheckMayWait(const std::wstring& path);

// DirectoryExists for the thread that handles the user's input: a network path is asked
// on a thread of its own and given `waitMs` to answer; no answer in time counts as no.
bool DirectoryExistsWithin(const std::wstring& path, DWORD waitMs);

// Whether the shell, asked for the icon of the file at `path`, may wait on a server: the
// file is on the network; or it is a shortcut of any kind (its icon is its target's, or
// the one it names); or its type takes its icon, or has an icon handler, from a program
// or file on the network. Reads the file's name and the registry only, so it answers at
// once; what it calls local is local. A type's program named without a folder counts as
// local (the system's own folders are searched for it).
bool IconLookupMayWait(const std::wstring& path);

// Every look at a file that may wait on a server (an icon, a shortcut, whether a path is
// a folder) calls this first with the file's path, on whatever thread it runs. Tests:
// while `gate` is set and not signalled, the look at each path that `held` names waits,
// as a server slow to answer would hold it; and an exception `held` raises is one the
// look raises. A null gate lets every look go.
void PassNetworkLookupGate(const std::wstring& path);
void SetNetworkLookupGateForTest(HANDLE gate, bool (*held)(const std::wstring& path));

// Opens `target` with the shell in the working folder `workDir` (the shell's own default
// when empty), handing it the options' arguments as its parameters and starting it in
// their show state. A file goes with the "Open" verb, a shell name (IsShellName: a Store
// app, a shell folder, a URL) with the item's own default verb; `asAdministrator` or the
// options' admin flag asks for the "runas" verb instead: the system asks for an
// administrator's consent and starts the target elevated. Failures and refusals are not
// reported: the launcher stays silent when a target cannot be opened. A bare drive ("C:")
// is handed over as its root ("C:\"), not as that drive's current folder. The shell reads
// paths of up to MAX_PATH characters only: a longer target or folder goes by its short
// (8.3) name where the volume keeps one, and a longer folder the shell still refuses is
// left to the shell's default.
void OpenTarget(HWND parent, const std::wstring& target, const std::wstring& workDir,
                const LaunchOptions& options = {}, bool asAdministrator = false);

// Opens the folder that holds `target` in the file manager with the target selected; a
// target that is gone opens its folder, if that is there. The shell is asked on a thread
// of its own, so a server that does not answer never holds the caller. False when no
// thread could be started.
bool ShowInFolder(const std::wstring& target);
// Tests: `prompt` runs inside every OpenTarget, with its parent window, where the shell
// may show a prompt of its own (a security warning for a downloaded file) and run its
// message loop. Null: none.
void SetShellPromptForTest(void (*prompt)(HWND parent));

// The item a shell name (IsShellName) stands for, as the shell parses it; empty when the
// shell does not know the name.
IdListPtr ParseShellName(const std::wstring& name);
// What the shell calls that item ("ダウンロード", "電卓"): the name a button bound to it
// shows. The name itself where the shell gives none.
std::wstring ShellDisplayName(const std::wstring& name);

// The path of a special folder (CSIDL_STARTUP and the like); empty when the system has
// no file-system path for it.
std::wstring SpecialFolderPath(HWND owner, int csidl);

}  // namespace vl
