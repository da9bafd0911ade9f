#include "buttons/link_file.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <cstring>
#include <optional>

#include "gui/com_ptr.h"
#include "gui/com_scope.h"

namespace vl {
namespace {

// Every text the link object gives is fetched into a buffer of this size and cut at its
// first NUL; the link object stores no longer paths.
constexpr int kTextSize = MAX_PATH;

std::wstring CutAtNul(const wchar_t* buffer) { return std::wstring(buffer); }

// The show command as the file's header stores it, or nothing when the header is not
// that of a shortcut. Wine's link object loses this field on loading (it answers
// SW_SHOWNORMAL whatever the file says), so the header is read here as well.
std::optional<int> HeaderShowCommand(const std::wstring& path) {
  constexpr DWORD kHeaderSize = 0x4C, kShowCommandAt = 0x3C;
  HANDLE raw = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
  if (raw == INVALID_HANDLE_VALUE) return std::nullopt;
  UniqueKernelHandle file(raw);
  unsigned char header[kHeaderSize];
  DWORD read = 0;
  if (!ReadFile(file.get(), header, kHeaderSize, &read, nullptr) || read != kHeaderSize)
    return std::nullopt;
  DWORD size;
  CLSID clsid;
  std::memcpy(&size, header, sizeof size);
  std::memcpy(&clsid, header + 4, sizeof clsid);
  if (size != kHeaderSize || !IsEqualCLSID(clsid, CLSID_ShellLink)) return std::nullopt;
  DWORD showCmd;
  std::memcpy(&showCmd, header + kShowCommandAt, sizeof showCmd);
  return static_cast<int>(showCmd);
}

// Wine's link object keeps the target path only in the ANSI code page, so characters
// outside it come back as "?" or a look-alike; the item list keeps the real name. The
// path from the list stands in when the link's own path names nothing that exists.
std::wstring TargetPath(const wchar_t* linkPath, PCIDLIST_ABSOLUTE list) {
  std::wstring path = CutAtNul(linkPath);
  if (path.empty() || GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return path;
  wchar_t fromList[MAX_PATH] = L"";
  if (SHGetPathFromIDListW(list, fromList) &&
      GetFileAttributesW(fromList) != INVALID_FILE_ATTRIBUTES)
    return fromList;
  return path;
}

}  // namespace

void IdListTraits::Close(Handle h) { CoTaskMemFree(h); }

std::uint8_t WindowStateOf(int showCmd) {
  switch (showCmd) {
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
      return 1;
    case SW_SHOWMAXIMIZED:
      return 2;
    default:
      return 0;
  }
}

bool ReadLinkFile(const std::wstring& path, TLinkInfo& info) {
  info = TLinkInfo{};
  wchar_t target[kTextSize] = L"", workDir[kTextSize] = L"", arguments[kTextSize] = L"",
          description[kTextSize] = L"", iconLocation[kTextSize] = L"";
  int iconIndex = 0, showCmd = 0;
  WORD hotKey = 0;
  IdListPtr idList;
  {
    TComScope com;
    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.put_void())))
      return false;
    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.put_void()))) return false;
    // The status codes are not looked at: a call that fails leaves its part empty, and
    // the item list below decides whether there was a shortcut at all.
    file->Load(path.c_str(), STGM_READ);
    WIN32_FIND_DATAW findData{};
    link->GetPath(target, kTextSize, &findData, SLGP_UNCPRIORITY);
    PIDLIST_ABSOLUTE raw = nullptr;
    link->GetIDList(&raw);
    idList.reset(raw);
    link->GetDescription(description, kTextSize);
    link->GetWorkingDirectory(workDir, kTextSize);
    link->GetArguments(arguments, kTextSize);
    link->GetIconLocation(iconLocation, kTextSize, &iconIndex);
    link->GetHotkey(&hotKey);
    link->GetShowCmd(&showCmd);
  }
  if (!idList) return false;
  info.Path = TargetPath(target, idList.get());
  info.IdList = std::move(idList);
  info.WorkDir = CutAtNul(workDir);
  info.Description = CutAtNul(description);
  info.Arguments = CutAtNul(arguments);
  info.IconLocation = iconLocation[0] ? CutAtNul(iconLocation) : info.Path;
  info.IconIndex = iconIndex;
  info.HotKey = hotKey;
  info.WindowState = WindowStateOf(HeaderShowCommand(path).value_or(showCmd));
  return true;
}

}  // namespace vl
