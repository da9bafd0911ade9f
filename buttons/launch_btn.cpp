#include "buttons/launch_btn.h"

#include <algorithm>

#include "buttons/link_file.h"
#include "buttons/shell_helpers.h"
#include "gui/handles.h"
#include "gui/message_box.h"
#include "gui/scoped_select.h"

namespace vl {
namespace {

constexpr int kGlyphSize = 32;

struct DropTraits {
  using Handle = HDROP;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { DragFinish(h); }
};
using UniqueDrop = UniqueHandle<DropTraits>;

std::wstring DroppedPath(HDROP drop, UINT index) {
  UINT length = DragQueryFileW(drop, index, nullptr, 0);
  std::wstring path(length + 1, L'\0');
  path.resize(DragQueryFileW(drop, index, path.data(), length + 1));
  return path;
}

// A 32-bit DIB: its pixels are what GetPixel reads back, whatever the screen's depth.
UniqueBitmap MakeGlyphBitmap(HDC dc) {
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
  bmi.bmiHeader.biWidth = kGlyphSize;
  bmi.bmiHeader.biHeight = kGlyphSize;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  return UniqueBitmap(CreateDIBSection(dc, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
}

}  // namespace

TLaunchBtn::TLaunchBtn(const BitBtnParams& params) : TBitBtn(params) {
  DragAcceptFiles(Handle(), TRUE);
}

void TLaunchBtn::SetShowType(TShowType type) {
  showType_ = type;
  BuildFace();
}

void TLaunchBtn::BuildFace() {
  SetCaption(showType_ == st_IconOnly ? std::wstring() : btnName_);
  if (showType_ == st_TextOnly) {
    SetGlyph(UniqueBitmap());
  } else {
    LoadGlyph();
  }
}

void TLaunchBtn::LoadGlyph() {
  if (!FileExists(iconPath_)) return;
  UniqueDC dc(CreateCompatibleDC(nullptr));
  UniqueBitmap glyph = MakeGlyphBitmap(dc.get());
  if (!dc || !glyph) return;
  // The call may write the path of the icon's real source back into its buffer.
  std::wstring source = iconPath_;
  source.resize(std::max<std::size_t>(source.size() + 1, MAX_PATH));
  WORD index = 0;
  UniqueIcon icon(ExtractAssociatedIconW(GetModuleHandleW(nullptr), source.data(), &index));
  {
    ScopedSelect select(dc.get(), glyph.get());
    RECT all{0, 0, kGlyphSize, kGlyphSize};
    FillRect(dc.get(), &all, GetSysColorBrush(COLOR_BTNFACE));
    if (icon) DrawIconEx(dc.get(), 0, 0, icon.get(), kGlyphSize, kGlyphSize, 0, nullptr, DI_NORMAL);
    // The button draws the corner's colour as transparent. One red step away from what
    // the corner holds, that key matches (almost) nothing, so the face colour and every
    // icon pixel, black ones too, are drawn as they are.
    COLORREF corner = GetPixel(dc.get(), 0, kGlyphSize - 1);
    BYTE red = GetRValue(corner);
    red = red == 255 ? 254 : static_cast<BYTE>(red + 1);
    SetPixel(dc.get(), 0, kGlyphSize - 1, RGB(red, GetGValue(corner), GetBValue(corner)));
  }
  SetGlyph(std::move(glyph));
}

void TLaunchBtn::ClearButton() {
  btnName_.clear();
  fullPath_.clear();
  iconPath_.clear();
  regist_ = false;
  workDir_.clear();
  SetGlyph(UniqueBitmap());
}

void TLaunchBtn::MouseUp(TMouseButton button, UINT keys, int x, int y) {
  // The right button belongs to the page's context menu: not even OnMouseUp.
  if (button == TMouseButton::mbRight) return;
  if (regist_) OpenTarget(Handle(), fullPath_, workDir_);
  TBitBtn::MouseUp(button, keys, x, y);
}

void TLaunchBtn::KeyClick() {
  // The launcher shows with the focus on the last pressed button so that a key opens it;
  // a click from the keyboard that only hid the launcher would lose the user's command.
  if (regist_) OpenTarget(Handle(), fullPath_, workDir_);
  TBitBtn::KeyClick();
}

LRESULT TLaunchBtn::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DROPFILES) {
    DropFiles(reinterpret_cast<HDROP>(wParam));
    return 0;
  }
  return TBitBtn::HandleMessage(msg, wParam, lParam);
}

void TLaunchBtn::DropFiles(HDROP handle) {
  UniqueDrop drop(handle);
  if (regist_) {
    ShowMessage(L"登録済みです");
    return;
  }
  UINT count = DragQueryFileW(drop.get(), 0xFFFFFFFF, nullptr, 0);
  if (count > 1) {
    ShowMessage(L"2個以上はいずれ実装しようかなと");
    return;
  }
  if (count == 0) return;  // nothing to bind; the shell never sends such a drop
  std::wstring path = DroppedPath(drop.get(), 0);
  BindPath(path);
  regist_ = true;
  btnName_ = BtnNameOf(path);
  SetHint(btnName_);
  SetShowHint(true);
  BuildFace();
  drop.reset();
  if (OnRegist) OnRegist(*this);
}

void TLaunchBtn::BindPath(const std::wstring& path) {
  if (ExtensionOf(path) == L".lnk") {
    TLinkInfo link;
    if (ReadLinkFile(path, link) && !link.Path.empty()) {
      fullPath_ = link.Path;
      iconPath_ = DirectoryExists(link.Path) ? FolderIconPath() : link.Path;
      workDir_ = link.WorkDir;
      return;
    }
    // A shortcut we cannot read, or one to something that is no file (a control panel
    // item, say): bind the shortcut file itself, which the shell still knows how to open,
    // rather than a button that would open nothing.
  }
  fullPath_ = path;
  iconPath_ = DirectoryExists(path) ? FolderIconPath() : path;
  workDir_ = ParentFolder(path);
}

}  // namespace vl
