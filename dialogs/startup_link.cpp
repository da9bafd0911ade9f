#include "dialogs/startup_link.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <memory>
#include <type_traits>

#include "core/number_text.h"
#include "gui/platform/com_ptr.h"
#include "gui/platform/com_scope.h"
#include "gui/platform/platform_error.h"

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
  return L"OLE エラー " + HexText(static_cast<unsigned long>(code), 8);
}

void Check(HRESULT hr) {
  if (FAILED(hr)) throw EOleSysError(hr);
}

PathString LinkPath(const PathString& executable, const PathString& folder) {
  bool separated = !folder.empty() && (folder.back() == L'\\' || folder.back() == L'/');
  return folder + (separated ? L"" : L"\\") + StartupLinkName(executable);
}

}  // namespace

EOleSysError::EOleSysError(HRESULT code) : EVantriError(OleErrorText(code)), code_(code) {}

std::optional<PathString> StartupFolder(HWND owner) {
  PIDLIST_ABSOLUTE raw = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(owner, CSIDL_STARTUP, &raw)) || !raw) return std::nullopt;
  std::unique_ptr<std::remove_pointer_t<PIDLIST_ABSOLUTE>, decltype(&CoTaskMemFree)> list(raw, &CoTaskMemFree);
  wchar_t path[MAX_PATH + 1] = L"";
  if (!SHGetPathFromIDListW(list.get(), path) || !path[0]) return std::nullopt;
  return PathString(path);
}

PathString StartupLinkName(const PathString& executable) {
  return ReplaceExtension(FileNameOf(executable), ".lnk");
}

std::wstring StartupWorkingFolder(const PathString& executable) {
  std::size_t sep = executable.find_last_of(L"\\/");
  if (sep == PathString::npos) return std::wstring();
  std::wstring text = executable.substr(0, sep + 1);
  while (text.size() > 1 && (text.back() == L'\\' || text.back() == L'/')) text.pop_back();
  // "C:\Tools\" loses its separator; "C:\" keeps it, since "C:" alone means the drive's
  // current folder, wherever that is.
  if (text.size() == 2 && text[1] == L':') text += L'\\';
  return text;
}

void WriteStartupLink(const PathString& executable, const PathString& folder) {
  TComScope com;
  ComPtr<IShellLinkW> link;
  Check(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void()));
  ComPtr<IPersistFile> file;
  Check(link->QueryInterface(IID_IPersistFile, file.put_void()));
  Check(link->SetArguments(L"/starup"));
  Check(link->SetPath(executable.c_str()));
  Check(link->SetWorkingDirectory(StartupWorkingFolder(executable).c_str()));
  Check(file->Save(LinkPath(executable, folder).c_str(), FALSE));
}

bool StartupLinkExists(const PathString& executable, const PathString& folder) {
  const DWORD attributes = GetFileAttributesW(LinkPath(executable, folder).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool RemoveStartupLink(const PathString& executable, const PathString& folder) {
  const PathString link = LinkPath(executable, folder);
  if (DeleteFileW(link.c_str())) return true;
  DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return false;
  // Left in place, the link would go on starting the launcher at every logon although the
  // user asked it not to.
  throw EVantriError(SystemErrorText(error));
}

}  // namespace vl
