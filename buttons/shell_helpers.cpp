#include "buttons/shell_helpers.h"

#include <shellapi.h>
#include <shlobj.h>

#include "buttons/link_file.h"
#include "core/file_io.h"

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

std::wstring FolderIconPath() {
  return ParentFolder(RunningExecutablePath().wstring()) + L"\\res\\be_fold.ico";
}

bool FileExists(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void OpenTarget(HWND parent, const std::wstring& target, const std::wstring& workDir) {
  // "C:" alone means the current folder of drive C, which is whatever this process
  // last used there; the file bound from C:\ wants the root.
  std::wstring dir = workDir;
  if (dir.size() == 2 && dir[1] == L':') dir += L'\\';
  ShellExecuteW(parent, L"Open", target.c_str(), nullptr, dir.empty() ? nullptr : dir.c_str(),
                SW_SHOWNORMAL);
}

std::wstring SpecialFolderPath(HWND owner, int csidl) {
  IdListPtr list;
  PIDLIST_ABSOLUTE raw = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(owner, csidl, &raw))) return {};
  list.reset(raw);
  wchar_t path[MAX_PATH + 1] = L"";
  if (!SHGetPathFromIDListW(list.get(), path)) return {};
  return path;
}

}  // namespace vl
