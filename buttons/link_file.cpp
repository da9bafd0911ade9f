#include "buttons/link_file.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <cstring>
#include <cwchar>
#include <memory>
#include <optional>
#include <vector>

#include "buttons/shell_helpers.h"
#include "core/file_io.h"
#include "core/shell_link_format.h"
#include "gui/platform/com_ptr.h"
#include "gui/platform/com_scope.h"
#include "gui/platform/threads.h"

namespace vl {
namespace {

// Every text the link object gives is fetched into a buffer of this size: a target or a
// working folder as long as Windows allows (32 767 characters) fits. The texts are taken
// up to the first NUL or the buffer's end, whichever comes first: the object's NUL is not
// trusted. A text that fills the buffer to its last unit may have been cut there.
constexpr std::size_t kTextSize = 32768;

struct TextBuffer {
  std::vector<wchar_t> units = std::vector<wchar_t>(kTextSize, L'\0');
  wchar_t* data() { return units.data(); }
  int size() const { return static_cast<int>(units.size()); }
  std::wstring Text() const { return {units.data(), wcsnlen(units.data(), units.size())}; }
  // Whether the object had more to say than the buffer took.
  bool MayBeCut() const { return Text().size() >= units.size() - 1; }
};

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(FileSystemPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A shortcut is at most a few of the longest texts Windows allows: anything larger is
// not one, and is not read whole.
constexpr std::uint64_t kMaxLinkBytes = 1 << 20;

// The file's bytes when it is a shortcut whose every part holds together: the shell's
// own parser is never handed sizes and offsets that point outside the file (Wine's reads
// past its buffers on such files and takes the program down).
std::optional<ShellLinkHeader> CheckedHeader(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(FileSystemPath(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  const std::uint64_t size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  if (size > kMaxLinkBytes) return std::nullopt;
  std::optional<std::string> bytes = ReadWholeFile(FileSystemPath(path));
  if (!bytes) return std::nullopt;
  return CheckShellLink(*bytes);
}

// The path of the item list, or nothing when it has none or it does not fit.
std::wstring ListPath(PCIDLIST_ABSOLUTE list) {
  TextBuffer path;
  if (!SHGetPathFromIDListEx(list, path.data(), path.size(), GPFIDL_DEFAULT) || path.MayBeCut())
    return {};
  return path.Text();
}

// Wine's link object keeps the target path only in the ANSI code page, so characters
// outside it come back as "?" or a look-alike; the item list keeps the real name. The
// path from the list stands in when the link's own path names nothing that exists.
// A target the link object cut is no target at all: the button then binds the shortcut
// itself rather than a path that opens something else. Cut means: it filled the buffer,
// or the list goes on where it stopped, or it stopped at the classic MAX_PATH - 1 and
// names nothing (a shell that keeps only MAX_PATH units of it).
std::wstring TargetPath(const TextBuffer& fromLink, PCIDLIST_ABSOLUTE list) {
  std::wstring path = fromLink.Text();
  if (path.empty()) return path;
  // Asking a server whether the target is there may take its time-out, on the thread
  // that handles the drop: a network target is taken as the link gives it.
  if (IsNetworkPath(path)) return fromLink.MayBeCut() ? std::wstring() : path;
  std::wstring fromList = ListPath(list);
  bool cut = fromLink.MayBeCut() ||
             (!Exists(path) && ((fromList.size() > path.size() && fromList.starts_with(path)) ||
                                path.size() == MAX_PATH - 1));
  if (!cut && Exists(path)) return path;
  if (!fromList.empty() && Exists(fromList)) return fromList;
  return cut ? std::wstring() : path;
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
  PassNetworkLookupGate(path);
  const std::optional<ShellLinkHeader> header = CheckedHeader(path);
  if (!header) return false;
  TextBuffer target, workDir, arguments, description, iconLocation;
  int iconIndex = 0;
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
    // No find data: Wine copies the whole target into its 260-unit file name, past its
    // end when the target is longer, and nothing here needs it.
    link->GetPath(target.data(), target.size(), nullptr, SLGP_UNCPRIORITY);
    PIDLIST_ABSOLUTE raw = nullptr;
    link->GetIDList(&raw);
    idList.reset(raw);
    link->GetDescription(description.data(), description.size());
    link->GetWorkingDirectory(workDir.data(), workDir.size());
    link->GetArguments(arguments.data(), arguments.size());
    link->GetIconLocation(iconLocation.data(), iconLocation.size(), &iconIndex);
    link->GetHotkey(&hotKey);
  }
  if (!idList) return false;
  info.Path = TargetPath(target, idList.get());
  info.IdList = std::move(idList);
  // A cut working folder would start the target somewhere else: the shell's default is
  // the lesser harm.
  info.WorkDir = workDir.MayBeCut() ? std::wstring() : workDir.Text();
  info.Description = description.Text();
  info.Arguments = arguments.Text();
  info.IconLocation = iconLocation.Text();
  if (info.IconLocation.empty()) info.IconLocation = info.Path;
  info.IconIndex = iconIndex;
  info.HotKey = hotKey;
  // From the header: Wine's link object loses the show command on loading (it answers
  // SW_SHOWNORMAL whatever the file says).
  info.WindowState = WindowStateOf(header->showCommand);
  info.TargetAttributes = header->fileAttributes;
  return true;
}

std::optional<bool> ReadLinkFileWithin(const std::wstring& path, TLinkInfo& info, DWORD waitMs) {
  if (!IsNetworkPath(path)) return ReadLinkFile(path, info);
  info = TLinkInfo{};
  struct Answer {
    TLinkInfo link;
    bool read = false;
  };
  auto answer = std::make_shared<Answer>();
  if (!RunWithin([answer, path] { answer->read = ReadLinkFile(path, answer->link); }, waitMs)) return std::nullopt;
  if (answer->read) info = std::move(answer->link);
  return answer->read;
}

}  // namespace vl
