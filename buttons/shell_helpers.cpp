#include "buttons/shell_helpers.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cwchar>
#include <cwctype>
#include <iterator>
#include <memory>

#include "buttons/link_file.h"
#include "core/file_io.h"
#include "core/portable_path.h"
#include "gui/platform/com_scope.h"
#include "gui/platform/handles.h"
#include "gui/platform/threads.h"

namespace vl {

std::wstring ExtensionOf(std::wstring_view path) {
  std::size_t dot = path.find_last_of(L'.');
  std::size_t sep = path.find_last_of(L"\\:");
  if (dot == std::wstring_view::npos || (sep != std::wstring_view::npos && dot < sep)) return {};
  return std::wstring(path.substr(dot));
}

std::wstring BtnNameOf(std::wstring_view path) {
  std::size_t sep = path.find_last_of(L'\\');
  std::wstring_view name = sep == std::wstring_view::npos ? path : path.substr(sep + 1);
  std::size_t dot = name.find_last_of(L'.');
  return std::wstring(dot == std::wstring_view::npos ? name : name.substr(0, dot));
}

std::wstring ParentFolder(std::wstring_view path) {
  std::size_t sep = path.find_last_of(L"\\/");
  // A share's root ("\\server\share") is a folder to work in; "\\server" is none.
  if (path.starts_with(L"\\\\") && sep != std::wstring_view::npos &&
      path.find_first_of(L"\\/", 2) == sep && sep > 2 && sep + 1 < path.size())
    return std::wstring(path);
  return std::wstring(sep == std::wstring_view::npos ? path : path.substr(0, sep));
}

std::wstring UsablePath(const std::wstring& stored) {
  std::wstring path = stored;
  if (path.find(L'%') != std::wstring::npos) {
    // Grown until the expansion fits: a variable's value may be longer than the path.
    for (DWORD size = static_cast<DWORD>(path.size()) + 1;;) {
      std::wstring expanded(size, L'\0');
      const DWORD needed = ExpandEnvironmentStringsW(stored.c_str(), expanded.data(), size);
      if (needed == 0) break;  // refused: the path as written, as the shell would see it
      if (needed <= size) {
        expanded.resize(needed - 1);
        path = std::move(expanded);
        break;
      }
      size = needed;
    }
  }
  return ResolveStoredPath(path, ProgramFolder());
}

std::wstring LauncherRelativePath(const std::wstring& path) {
  return RelativeToFolder(path, ProgramFolder()).value_or(path);
}

std::wstring FolderIconPath() {
  return ProgramFolder() + L"\\res\\be_fold.ico";
}

bool IsFolderIcon(const std::wstring& stored) {
  return !stored.empty() && SameIgnoringCase(ResolveStoredPath(stored, ProgramFolder()), FolderIconPath());
}

namespace {

// Directories must leave room for an 8.3 name below them, hence the 12.
constexpr std::size_t kClassicLimit = MAX_PATH - 12;

// The path without the prefix FileSystemPath gives.
std::wstring WithoutPrefix(std::wstring path) {
  if (path.starts_with(L"\\\\?\\UNC\\")) return L"\\\\" + path.substr(8);
  if (path.starts_with(L"\\\\?\\")) return path.substr(4);
  return path;
}

}  // namespace

std::wstring FileSystemPath(const std::wstring& path) {
  if (path.size() < kClassicLimit) return path;
  bool drive = path.size() >= 3 && iswalpha(path[0]) && path[1] == L':' &&
               (path[2] == L'\\' || path[2] == L'/');
  bool share = path.starts_with(L"\\\\") && path.size() > 2 && path[2] != L'?' &&
               path[2] != L'.';
  if (!drive && !share) return path;
  std::wstring canonical = path;
  std::replace(canonical.begin(), canonical.end(), L'/', L'\\');
  for (std::wstring_view part : {L"\\.\\", L"\\..\\"})
    if (canonical.find(part) != std::wstring::npos) return path;
  if (canonical.ends_with(L"\\.") || canonical.ends_with(L"\\..")) return path;
  return drive ? L"\\\\?\\" + canonical : L"\\\\?\\UNC\\" + canonical.substr(2);
}

std::wstring ShellPath(const std::wstring& path) {
  if (path.size() < MAX_PATH) return path;
  std::wstring full = FileSystemPath(path);
  DWORD size = GetShortPathNameW(full.c_str(), nullptr, 0);
  if (size == 0) return path;
  std::wstring shortPath(size, L'\0');
  DWORD written = GetShortPathNameW(full.c_str(), shortPath.data(), size);
  if (written == 0 || written >= size) return path;
  shortPath.resize(written);
  shortPath = WithoutPrefix(std::move(shortPath));
  return shortPath.size() < MAX_PATH ? shortPath : path;
}

bool FileExists(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(FileSystemPath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(FileSystemPath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {

// Set by tests only.
std::atomic<HANDLE> lookupGate{nullptr};
std::atomic<bool (*)(const std::wstring&)> lookupHeld{nullptr};
void (*shellPrompt)(HWND) = nullptr;

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// The classes' key `key` + `sub` (empty: the key itself): whether it has the value
// `name`, and the file its text names: up to the first blank (a command) or comma (an icon
// location), or the quoted text; environment names expanded. Empty when there is none.
struct ClassValue {
  bool found = false;
  wchar_t file[MAX_PATH * 2] = L"";

  ClassValue(const wchar_t* key, const wchar_t* sub, const wchar_t* name, wchar_t end = L' ') {
    wchar_t path[MAX_PATH * 2];
    if (std::wcslen(key) + std::wcslen(sub) >= std::size(path)) return;
    std::wcscpy(path, key);
    std::wcscat(path, sub);
    DWORD bytes = sizeof file - sizeof(wchar_t);
    found = RegGetValueW(HKEY_CLASSES_ROOT, path, name, RRF_RT_ANY, nullptr, file, &bytes) == ERROR_SUCCESS;
    if (!found) return;
    file[std::size(file) - 1] = L'\0';
    wchar_t* from = file;
    if (*from == L'"') {
      end = L'"';
      ++from;
    }
    wchar_t* stop = std::wcschr(from, end);
    if (stop) *stop = L'\0';
    std::wmemmove(file, from, std::wcslen(from) + 1);
  }
};

// A drive's type, asked again after a few seconds (a stick put in, a drive mapped): the
// system's answer can take a millisecond, and a page of 1,600 buttons asks it for each.
UINT DriveType(wchar_t letter) {
  constexpr ULONGLONG kFreshMs = 5000;
  struct Known {
    std::atomic<UINT> type{DRIVE_UNKNOWN};
    std::atomic<ULONGLONG> at{0};
  };
  static Known known[26];
  const wchar_t upper = static_cast<wchar_t>(towupper(letter));
  if (upper < L'A' || upper > L'Z') return DRIVE_UNKNOWN;
  Known& drive = known[upper - L'A'];
  const ULONGLONG now = GetTickCount64();
  const ULONGLONG at = drive.at.load();
  if (at && now - at < kFreshMs) return drive.type.load();
  const wchar_t root[] = {upper, L':', L'\\', L'\0'};
  drive.type = GetDriveTypeW(root);
  drive.at = now;
  return drive.type.load();
}

}  // namespace

bool IsNetworkPath(const std::wstring& path) {
  std::wstring_view rest = path;
  auto separator = [&](std::size_t i) { return rest.size() > i && IsSeparator(rest[i]); };
  if (separator(0) && separator(1)) {
    // "\\?\" and "\\.\" lead to local names, except "\\?\UNC\"; any other "\\" is a server.
    if (rest.size() < 4 || (rest[2] != L'?' && rest[2] != L'.') || !separator(3)) return true;
    rest.remove_prefix(4);
    if (rest.size() >= 4 && _wcsnicmp(rest.data(), L"UNC", 3) == 0 && separator(3)) return true;
  }
  if (rest.size() < 2 || rest[1] != L':' || !iswalpha(rest[0])) return false;
  return DriveType(rest[0]) == DRIVE_REMOTE;
}

namespace {

// The root of the volume a full path is on, as the file functions take it ("C:\",
// "\\server\share\", and the same behind "\\?\"); empty for a path that is not full.
std::wstring VolumeRoot(const std::wstring& path) {
  std::wstring_view rest = path;
  auto separator = [&](std::size_t i) { return rest.size() > i && IsSeparator(rest[i]); };
  std::wstring root;
  bool share = false;
  if (separator(0) && separator(1) && rest.size() > 2 && rest[2] == L'?' && separator(3)) {
    root = L"\\\\?\\";
    rest.remove_prefix(4);
    if (rest.size() >= 4 && _wcsnicmp(rest.data(), L"UNC", 3) == 0 && separator(3)) {
      root += L"UNC\\";
      rest.remove_prefix(4);
      share = true;
    }
  } else if (separator(0) && separator(1)) {
    root = L"\\\\";
    rest.remove_prefix(2);
    share = true;
  }
  if (!share) {
    if (rest.size() < 3 || !iswalpha(rest[0]) || rest[1] != L':' || !separator(2)) return {};
    return root + rest[0] + L":\\";
  }
  // A server and a share, both named; "\\.\" leads to devices.
  const std::size_t server = rest.find_first_of(L"\\/");
  if (server == 0 || server == std::wstring_view::npos || rest[0] == L'.' || rest[0] == L'?') return {};
  const std::wstring_view name = rest.substr(0, rest.find_first_of(L"\\/", server + 1));
  if (name.size() == server + 1) return {};
  root.append(name);
  std::replace(root.begin(), root.end(), L'/', L'\\');
  return root + L'\\';
}

}  // namespace

bool TargetGone(const std::wstring& path) {
  const std::wstring root = VolumeRoot(path);
  if (root.empty()) return false;
  if (GetFileAttributesW(FileSystemPath(path).c_str()) != INVALID_FILE_ATTRIBUTES) return false;
  const DWORD error = GetLastError();
  if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return false;
  // "Not found" from a drive letter nobody holds, or a share nobody serves, says nothing
  // of the file: only a volume that is there can say its file is not.
  return GetFileAttributesW(root.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool TargetCheckMayWait(const std::wstring& path) {
  const std::wstring root = VolumeRoot(path);
  if (root.empty()) return false;  // never looked at
  if (!root.ends_with(L":\\")) return true;  // a share
  const UINT type = DriveType(root[root.size() - 3]);
  return type == DRIVE_REMOTE || type == DRIVE_REMOVABLE || type == DRIVE_CDROM;
}

bool DirectoryExistsWithin(const std::wstring& path, DWORD waitMs) {
  if (!IsNetworkPath(path)) return DirectoryExists(path);
  auto folder = std::make_shared<bool>(false);
  return RunWithin(
             [folder, path] {
               PassNetworkLookupGate(path);
               *folder = DirectoryExists(path);
             },
             waitMs) &&
         *folder;
}

bool IconLookupMayWait(const std::wstring& path) {
  if (IsNetworkPath(path)) return true;
  const std::wstring extension = ExtensionOf(path);
  if (extension.empty()) return false;  // the shell's own icon for a file of no type
  // The type's own key may say it all, or name the class that does.
  const ClassValue typeClass(extension.c_str(), L"", nullptr);
  for (const wchar_t* key : {extension.c_str(), static_cast<const wchar_t*>(typeClass.file)}) {
    if (!*key) continue;
    // A shortcut shows its target's icon, or the one it names (the shell marks every kind
    // of shortcut so, in any letter case); and whatever a type's icon handler does, it
    // does in our process: either may go anywhere.
    if (ClassValue(key, L"", L"IsShortcut").found || ClassValue(key, L"\\shellex\\IconHandler", nullptr).found)
      return true;
    const ClassValue icon(key, L"\\DefaultIcon", nullptr, L',');
    if (IsNetworkPath(icon.file)) return true;
    // Without an icon of its own the type shows its program's, which Wine looks up even
    // where the type names an icon.
    if (IsNetworkPath(ClassValue(key, L"\\shell\\open\\command", nullptr).file)) return true;
  }
  return false;
}

void PassNetworkLookupGate(const std::wstring& path) {
  HANDLE gate = lookupGate.load();
  auto held = lookupHeld.load();
  if (gate && held && held(path)) WaitForSingleObject(gate, INFINITE);
}

void SetNetworkLookupGateForTest(HANDLE gate, bool (*held)(const std::wstring& path)) {
  lookupGate = gate;
  lookupHeld = held;
}

void SetShellPromptForTest(void (*prompt)(HWND parent)) { shellPrompt = prompt; }

namespace {

bool OpenWithShell(HWND parent, const wchar_t* verb, const std::wstring& file, const std::wstring& folder,
                   const LaunchOptions& options) {
  if (shellPrompt) shellPrompt(parent);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  // No box of the shell's own, as ShellExecute has it: the launcher stays silent.
  info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  info.hwnd = parent;
  info.lpVerb = verb;
  info.lpFile = file.c_str();
  info.lpParameters = options.arguments.empty() ? nullptr : options.arguments.c_str();
  info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
  info.nShow = options.ShowCommand();
  return ShellExecuteExW(&info) != FALSE;
}

}  // namespace

void OpenTarget(HWND parent, const std::wstring& target, const std::wstring& workDir, const LaunchOptions& options,
                bool asAdministrator) {
  const bool shellName = IsShellName(target);
  // A shell name is the item's to open with its own default verb: a Store app or a URL
  // may have no verb called "Open".
  const wchar_t* verb = asAdministrator || options.admin ? L"runas" : shellName ? nullptr : L"Open";
  // "C:" alone means the current folder of drive C, which is whatever this process
  // last used there; the file bound from C:\ wants the root.
  std::wstring dir = workDir;
  if (dir.size() == 2 && dir[1] == L':') dir += L'\\';
  const std::wstring file = shellName ? target : ShellPath(target), shellDir = ShellPath(dir);
  const bool opened = OpenWithShell(parent, verb, file, shellDir, options);
  // A working folder past MAX_PATH that the shell cannot enter even by its short name
  // (Wine refuses some): the target still opens, in the shell's default folder, rather
  // than not at all.
  if (!opened && dir.size() >= MAX_PATH) OpenWithShell(parent, verb, file, std::wstring(), options);
}

bool ShowInFolder(const std::wstring& target) {
  // The folder may be on a server that does not answer; the user's launcher must not
  // wait for it, so the shell is asked on a thread of its own.
  return StartDetachedThread([target] {
    TComScope com;
    PIDLIST_ABSOLUTE raw = nullptr;
    if (SUCCEEDED(SHParseDisplayName(FileSystemPath(target).c_str(), nullptr, &raw, 0, nullptr))) {
      IdListPtr item(raw);
      if (SUCCEEDED(SHOpenFolderAndSelectItems(item.get(), 0, nullptr, 0))) return;
    }
    // The target is gone, or the shell cannot select it: its folder, if that is there.
    std::wstring folder = ParentFolder(target);
    if (DirectoryExists(folder))
      ShellExecuteW(nullptr, L"open", ShellPath(folder).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  });
}

IdListPtr ParseShellName(const std::wstring& name) {
  PIDLIST_ABSOLUTE raw = nullptr;
  if (FAILED(SHParseDisplayName(name.c_str(), nullptr, &raw, 0, nullptr))) return {};
  return IdListPtr(raw);
}

std::wstring ShellDisplayName(const std::wstring& name) {
  std::wstring shown;
  if (IdListPtr item = ParseShellName(name)) {
    PWSTR text = nullptr;
    if (SUCCEEDED(SHGetNameFromIDList(item.get(), SIGDN_NORMALDISPLAY, &text)) && text) {
      shown = text;
      CoTaskMemFree(text);
    }
  }
  return shown.empty() ? name : shown;
}

std::wstring SpecialFolderPath(HWND owner, int csidl) {
  IdListPtr list;
  PIDLIST_ABSOLUTE raw = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(owner, csidl, &raw))) return {};
  list.reset(raw);
  wchar_t path[MAX_PATH + 1] = L"";
  if (!SHGetPathFromIDListW(list.get(), path)) return {};
  return std::wstring(path, wcsnlen(path, MAX_PATH + 1));
}

}  // namespace vl
