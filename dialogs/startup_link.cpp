#include "dialogs/startup_link.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <memory>
#include <type_traits>

#include "gui/com_ptr.h"
#include "gui/com_scope.h"
#include "gui/platform_error.h"

namespace vl {
namespace {

std::wstring OleErrorText(HRESULT code) {
  wchar_t* buffer = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = n && buffer ? std::wstring(buffer, n) : std::wstring();
  LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
  if (!text.empty()) return text;
  wchar_t fallback[32];
  std::swprintf(fallback, 32, L"OLE エラー %.8lx", static_cast<unsigned long>(code));
  return fallback;
}

void Check(HRESULT hr) {
  if (FAILED(hr)) throw EOleSysError(hr);
}

}  // namespace

EOleSysError::EOleSysError(HRESULT code) : EVantriError(OleErrorText(code)), code_(code) {}

std::optional<std::filesystem::path> StartupFolder(HWND owner) {
  PIDLIST_ABSOLUTE raw = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(owner, CSIDL_STARTUP, &raw)) || !raw) return std::nullopt;
  std::unique_ptr<std::remove_pointer_t<PIDLIST_ABSOLUTE>, decltype(&CoTaskMemFree)> list(raw, &CoTaskMemFree);
  wchar_t path[MAX_PATH + 1] = L"";
  if (!SHGetPathFromIDListW(list.get(), path) || !path[0]) return std::nullopt;
  return std::filesystem::path(path);
}

std::filesystem::path StartupLinkName(const std::filesystem::path& executable) {
  return executable.filename().replace_extension(L".lnk");
}

std::wstring StartupWorkingFolder(const std::filesystem::path& executable) {
  std::filesystem::path folder = executable.parent_path();
  std::wstring text = folder.wstring();
  // "C:\Tools\" loses its separator; "C:\" keeps it, since "C:" alone means the drive's
  // current folder, wherever that is.
  if (folder != folder.root_path())
    while (!text.empty() && (text.back() == L'\\' || text.back() == L'/')) text.pop_back();
  return text;
}

void WriteStartupLink(const std::filesystem::path& executable, const std::filesystem::path& folder) {
  TComScope com;
  ComPtr<IShellLinkW> link;
  Check(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void()));
  ComPtr<IPersistFile> file;
  Check(link->QueryInterface(IID_IPersistFile, file.put_void()));
  Check(link->SetArguments(L"/starup"));
  Check(link->SetPath(executable.c_str()));
  Check(link->SetWorkingDirectory(StartupWorkingFolder(executable).c_str()));
  Check(file->Save((folder / StartupLinkName(executable)).c_str(), FALSE));
}

bool RemoveStartupLink(const std::filesystem::path& executable, const std::filesystem::path& folder) {
  const std::filesystem::path link = folder / StartupLinkName(executable);
  if (DeleteFileW(link.c_str())) return true;
  DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return false;
  // Left in place, the link would go on starting the launcher at every logon although the
  // user asked it not to.
  SetLastError(error);
  ThrowLastError(L"スタートアップから削除できません");
}

}  // namespace vl
