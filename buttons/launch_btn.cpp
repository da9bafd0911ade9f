#include "buttons/launch_btn.h"

#include <algorithm>
#include <cwchar>

#include "buttons/glyph_cache.h"
#include "buttons/link_file.h"
#include "buttons/shell_helpers.h"
#include "core/portable_path.h"
#include "gui/layout.h"
#include "gui/theme.h"
#include "gui/message_box.h"
#include "gui/platform/handles.h"

namespace vl {
namespace {

// How long a drop waits for a server to say whether the dropped path is a folder, or
// what the dropped shortcut says.
constexpr DWORD kNetworkAnswerMs = 1000;

struct DropTraits {
  using Handle = HDROP;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { DragFinish(h); }
};
using UniqueDrop = UniqueHandle<DropTraits>;

// The item's path at whatever length (the shell's drop carries paths past MAX_PATH);
// empty when the drop has none to give.
std::wstring DroppedPath(HDROP drop, UINT index) {
  UINT length = DragQueryFileW(drop, index, nullptr, 0);
  if (length == 0) return {};
  std::wstring path(length + 1, L'\0');
  UINT copied = DragQueryFileW(drop, index, path.data(), length + 1);
  path.resize(wcsnlen(path.data(), std::min<std::size_t>(copied, length)));
  return path;
}

// A drop on a bound button: binding over it would lose what the user bound there.
constexpr wchar_t kButtonInUse[] =
    L"このボタンにはすでに登録されています。\n空いているボタンにドロップするか、"
    L"右クリックの「ボタンの削除」でこのボタンを空けてからドロップしてください";

}  // namespace

std::wstring GoneTargetMessage(const std::wstring& target) {
  return L"ファイルが見つかりません\n" + target +
         L"\n\n移動したときは、右クリックの「ボタンのプロパティ」で場所を直してください。"
         L"\n使わないときは、右クリックの「ボタンの削除」でボタンを空けてください";
}

TLaunchBtn::TLaunchBtn(const BitBtnParams& params) : TBitBtn(params) {
  DragAcceptFiles(Handle(), TRUE);
}

void TLaunchBtn::Renew(const BitBtnParams& params) {
  TBitBtn::Renew(params);
  OnRegist = nullptr;
  PortablePaths = nullptr;
  btnName_.clear();
  fullPath_.clear();
  iconPath_.clear();
  workDir_.clear();
  options_ = {};
  btnIndex_ = 0;
  regist_ = false;
  showType_ = st_Both;
}

void TLaunchBtn::SetShowType(TShowType type) {
  showType_ = type;
  BuildFace();
}

void TLaunchBtn::BuildFace() {
  CheckTarget();
  RenewHint();
  SetCaption(showType_ == st_IconOnly ? std::wstring() : btnName_);
  if (showType_ == st_TextOnly) {
    SetGlyph(UniqueBitmap());
  } else {
    LoadGlyph();
  }
}

void TLaunchBtn::LoadGlyph() {
  const int size = DesignToDevice(kGlyphSize, DpiOf(Handle()));
  if (SharedBitmap glyph = IconGlyph(UsablePath(iconPath_), Handle(), size)) SetGlyph(std::move(glyph));
}

void TLaunchBtn::ClearButton() {
  btnName_.clear();
  fullPath_.clear();
  iconPath_.clear();
  regist_ = false;
  workDir_.clear();
  options_ = {};
  SetGlyph(UniqueBitmap());
  SetDimmed(false);
  RenewHint();
}

void TLaunchBtn::RenewHint() {
  if (!regist_) {
    SetShowHint(false);
    SetHint(L"");
    return;
  }
  const std::wstring path = UsablePath(fullPath_);
  std::wstring hint = btnName_.empty() ? path : btnName_;
  if (!btnName_.empty() && btnName_ != path && btnName_ != fullPath_) hint += L"\n" + path;
  SetHint(hint);
  SetShowHint(true);
}

void TLaunchBtn::CheckTarget() {
  SetDimmed(regist_ && TargetKnownGone(UsablePath(fullPath_), Handle(), TargetAsk::Again));
}

std::wstring TLaunchBtn::AccessibleName() const {
  if (!btnName_.empty()) return btnName_;
  return regist_ ? fullPath_ : kEmptyButtonName;
}

void TLaunchBtn::MouseUp(TMouseButton button, UINT keys, int x, int y) {
  // The right button belongs to the page's context menu: not even OnMouseUp.
  if (button == TMouseButton::mbRight) return;
  // Ctrl+Shift with the click runs the target elevated, as the taskbar does.
  if (!Open((keys & MK_CONTROL) && (keys & MK_SHIFT))) return;
  TBitBtn::MouseUp(button, keys, x, y);
}

void TLaunchBtn::KeyClick() {
  // The launcher shows with the focus on the last pressed button so that a key opens it;
  // a click from the keyboard that only hid the launcher would lose the user's command.
  if (Open(GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_SHIFT) < 0)) TBitBtn::KeyClick();
}

bool TLaunchBtn::Open(bool asAdministrator) { return Launch(asAdministrator, true) != Opening::Went; }

TLaunchBtn::Opening TLaunchBtn::OpenQuietly() { return Launch(false, false); }

TLaunchBtn::Opening TLaunchBtn::Launch(bool asAdministrator, bool sayGone) {
  if (!regist_) return Opening::Opened;
  const Life life = Watch();
  // The shell may run a message loop of its own (a security warning, its error box, a DDE
  // wait, the administrator's consent), in which the page can rebuild or go and take this
  // button with it: the paths are taken first, as the shell is to have them (variables
  // expanded, a path relative to the launcher made full).
  const std::wstring target = UsablePath(fullPath_), workDir = UsablePath(workDir_);
  const LaunchOptions options = options_;
  // Looked at again: the file may have come back since the face was drawn, or gone since.
  const bool gone = TargetKnownGone(target, Handle(), TargetAsk::Now);
  SetDimmed(gone);
  if (gone) {
    // The shell's own error would name neither the file nor what to do.
    if (sayGone) WarningBox(GoneTargetMessage(target));
    return life.Alive() ? Opening::Gone : Opening::Went;
  }
  OpenTarget(Handle(), target, workDir, options, asAdministrator);
  return life.Alive() ? Opening::Opened : Opening::Went;
}

LRESULT TLaunchBtn::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DROPFILES) {
    DropFiles(reinterpret_cast<HDROP>(wParam));
    return 0;
  }
  if (msg == GlyphArrivedMessage()) {
    // A network file's icon came in: the face takes it if it still shows that file's icon.
    if (showType_ != st_TextOnly) LoadGlyph();
    return 0;
  }
  if (msg == ThemeChangedMessage()) {
    // The glyph is drawn over the face: the old one would show a square of the old face.
    if (showType_ != st_TextOnly && !iconPath_.empty()) LoadGlyph();
    return TBitBtn::HandleMessage(msg, wParam, lParam);
  }
  if (msg == TargetCheckedMessage()) {
    SetDimmed(regist_ && TargetKnownGone(UsablePath(fullPath_), Handle(), TargetAsk::Answered));
    return 0;
  }
  return TBitBtn::HandleMessage(msg, wParam, lParam);
}

void TLaunchBtn::DropFiles(HDROP handle) {
  std::vector<std::wstring> paths;
  {
    UniqueDrop drop(handle);
    if (regist_) {
      ShowMessage(kButtonInUse);
      return;
    }
    const UINT count = DragQueryFileW(drop.get(), 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
      // An empty path bound would make a button that opens nothing.
      if (std::wstring path = DroppedPath(drop.get(), i); !path.empty()) paths.push_back(std::move(path));
    }
  }
  if (paths.empty()) return;
  if (paths.size() > 1 && OnDropSeveral) {
    OnDropSeveral(*this, std::move(paths));
    return;
  }
  Bind(paths.front());
  if (OnRegist) OnRegist(*this);
}

void TLaunchBtn::Bind(const std::wstring& path) {
  BindPath(path);
  if (PortablePaths && PortablePaths()) {
    // The same file from the launcher's drive, written so that it follows the launcher
    // to another drive letter or folder; the name is taken from the full path below.
    fullPath_ = LauncherRelativePath(fullPath_);
    workDir_ = LauncherRelativePath(workDir_);
    iconPath_ = LauncherRelativePath(iconPath_);
  }
  regist_ = true;
  btnName_ = IsShellName(path) ? ShellDisplayName(path) : BtnNameOf(path);
  BuildFace();
}

void TLaunchBtn::BindPath(const std::wstring& path) {
  if (IsShellName(path)) {
    // Nothing on disk to look at: the shell opens it and gives its icon. No working
    // folder: the text before its last "\" is no folder.
    fullPath_ = iconPath_ = path;
    workDir_.clear();
    return;
  }
  if (ExtensionOf(path) == L".lnk") {
    TLinkInfo link;
    const std::optional<bool> read = ReadLinkFileWithin(path, link, kNetworkAnswerMs);
    if (!read) {
      // The server did not answer in time: the shortcut itself is bound, for the shell to
      // open once the server is back, and the server is not asked a second time.
      fullPath_ = iconPath_ = path;
      workDir_ = ParentFolder(path);
      return;
    }
    if (*read && !link.Path.empty()) {
      // A shortcut that carries arguments is bound as itself: the shell then opens it
      // with its arguments, its run state and its own working folder, where its bare
      // target would start without them.
      fullPath_ = link.Arguments.empty() ? link.Path : path;
      // A folder on the network is known by what the shortcut says of it: the server
      // may not answer, and the drop must not wait for it.
      bool folder = IsNetworkPath(link.Path) ? (link.TargetAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                                             : DirectoryExists(link.Path);
      iconPath_ = folder ? FolderIconPath() : link.Path;
      workDir_ = link.WorkDir;
      return;
    }
    // A shortcut we cannot read, or one to something that is no file (a control panel
    // item, say): bind the shortcut file itself, which the shell still knows how to open,
    // rather than a button that would open nothing.
  }
  fullPath_ = path;
  iconPath_ = DirectoryExistsWithin(path, kNetworkAnswerMs) ? FolderIconPath() : path;
  workDir_ = ParentFolder(path);
}

}  // namespace vl
