#include "gui/shell_drop.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

namespace vl {
namespace {

UINT ShellIdListFormat() {
  static const UINT format = RegisterClipboardFormatW(CFSTR_SHELLIDLIST);
  return format;
}

bool Holds(IDataObject* data, CLIPFORMAT format) {
  FORMATETC want{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  return data && data->QueryGetData(&want) == S_OK;
}

bool HoldsDrop(IDataObject* data) {
  return Holds(data, CF_HDROP) || Holds(data, static_cast<CLIPFORMAT>(ShellIdListFormat()));
}

// The data's global memory of `format`, released when it goes.
class Medium {
 public:
  Medium(IDataObject* data, CLIPFORMAT format) {
    FORMATETC want{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    ok_ = SUCCEEDED(data->GetData(&want, &medium_)) && medium_.tymed == TYMED_HGLOBAL;
    if (ok_) bytes_ = static_cast<const BYTE*>(GlobalLock(medium_.hGlobal));
    if (bytes_) size_ = GlobalSize(medium_.hGlobal);
  }
  ~Medium() {
    if (bytes_) GlobalUnlock(medium_.hGlobal);
    if (ok_) ReleaseStgMedium(&medium_);
  }
  Medium(const Medium&) = delete;
  Medium& operator=(const Medium&) = delete;
  HGLOBAL Global() const { return bytes_ ? medium_.hGlobal : nullptr; }
  const BYTE* Bytes() const { return bytes_; }
  SIZE_T Size() const { return size_; }

 private:
  STGMEDIUM medium_{};
  bool ok_ = false;
  const BYTE* bytes_ = nullptr;
  SIZE_T size_ = 0;
};

std::vector<std::wstring> FilesOf(HDROP drop) {
  std::vector<std::wstring> names;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring name(length + 1, L'\0');
    name.resize(DragQueryFileW(drop, i, name.data(), length + 1));
    if (!name.empty()) names.push_back(std::move(name));
  }
  return names;
}

std::wstring NameOf(PCIDLIST_ABSOLUTE item) {
  PWSTR text = nullptr;
  std::wstring name;
  // A file by its path, at any length; anything else by the name the shell parses back.
  for (SIGDN form : {SIGDN_FILESYSPATH, SIGDN_DESKTOPABSOLUTEPARSING}) {
    if (SUCCEEDED(SHGetNameFromIDList(item, form, &text)) && text) {
      name = text;
      CoTaskMemFree(text);
      if (!name.empty()) break;
    }
  }
  return name;
}

// The items of a CIDA: a folder's item list, then each item's relative to it, every
// offset checked against the memory that holds them.
std::vector<std::wstring> ItemsOf(const BYTE* bytes, SIZE_T size) {
  std::vector<std::wstring> names;
  if (size < sizeof(CIDA)) return names;
  CIDA head;
  std::memcpy(&head, bytes, sizeof head);
  const SIZE_T offsets = sizeof(UINT) * (static_cast<SIZE_T>(head.cidl) + 2);
  if (head.cidl == 0 || offsets > size) return names;
  auto list = [&](UINT k) -> const ITEMIDLIST* {
    UINT at = 0;
    std::memcpy(&at, bytes + sizeof(UINT) * (k + 1), sizeof at);
    // A list ends with a zero of two bytes; one that runs past the memory is no list.
    for (SIZE_T p = at; p + sizeof(USHORT) <= size;) {
      USHORT cb = 0;
      std::memcpy(&cb, bytes + p, sizeof cb);
      if (cb == 0) return reinterpret_cast<const ITEMIDLIST*>(bytes + at);
      p += cb;
    }
    return nullptr;
  };
  const ITEMIDLIST* folder = list(0);
  if (!folder) return names;
  for (UINT k = 1; k <= head.cidl; ++k) {
    const ITEMIDLIST* child = list(k);
    if (!child) continue;
    PIDLIST_ABSOLUTE item = ILCombine(reinterpret_cast<PCIDLIST_ABSOLUTE>(folder), child);
    if (!item) continue;
    if (std::wstring name = NameOf(item); !name.empty()) names.push_back(std::move(name));
    ILFree(item);
  }
  return names;
}

// A DROPFILES of wide names, as the shell's own drop of files is: the receiver frees it
// (DragFinish).
HGLOBAL DropFilesOf(const std::vector<std::wstring>& names, POINT at) {
  SIZE_T chars = 1;
  for (const std::wstring& n : names) chars += n.size() + 1;
  HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars * sizeof(wchar_t));
  auto* head = global ? static_cast<DROPFILES*>(GlobalLock(global)) : nullptr;
  if (!head) {
    if (global) GlobalFree(global);
    return nullptr;
  }
  head->pFiles = sizeof(DROPFILES);
  head->pt = at;
  head->fWide = TRUE;
  auto* out = reinterpret_cast<wchar_t*>(head + 1);
  for (const std::wstring& n : names) {
    std::memcpy(out, n.c_str(), (n.size() + 1) * sizeof(wchar_t));
    out += n.size() + 1;
  }
  GlobalUnlock(global);
  return global;
}

}  // namespace

std::vector<std::wstring> TShellDrop::DroppedNames(IDataObject* data) {
  if (Holds(data, CF_HDROP)) {
    Medium files(data, CF_HDROP);
    if (files.Global()) return FilesOf(static_cast<HDROP>(files.Global()));
  }
  if (Holds(data, static_cast<CLIPFORMAT>(ShellIdListFormat()))) {
    Medium items(data, static_cast<CLIPFORMAT>(ShellIdListFormat()));
    if (items.Bytes()) return ItemsOf(items.Bytes(), items.Size());
  }
  return {};
}

// COM objects are released through their interface, never deleted through it: the
// interface's destructor need not be virtual.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class TShellDrop::Target : public IDropTarget {
 public:
  explicit Target(HWND window) : window_(window) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDropTarget) {
      *out = static_cast<IDropTarget*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  // Owned by TShellDrop, which revokes it before it goes: the count only keeps the rules.
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs_; }

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL at, DWORD* effect) override {
    holds_ = HoldsDrop(data);
    return DragOver(0, at, effect);
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL at, DWORD* effect) override {
    if (effect) *effect = holds_ && Receiver(at) ? Offered(*effect) : DROPEFFECT_NONE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override {
    holds_ = false;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL at, DWORD* effect) override {
    holds_ = false;
    HWND receiver = Receiver(at);
    const std::vector<std::wstring> names = receiver ? DroppedNames(data) : std::vector<std::wstring>();
    POINT client{at.x, at.y};
    if (receiver) ScreenToClient(receiver, &client);
    HGLOBAL drop = names.empty() ? nullptr : DropFilesOf(names, client);
    if (!drop || !PostMessageW(receiver, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0)) {
      if (drop) GlobalFree(drop);
      if (effect) *effect = DROPEFFECT_NONE;
      return S_OK;
    }
    if (effect) *effect = Offered(*effect);
    return S_OK;
  }

 private:
  // The window under the point that takes dropped files, inside ours; none while ours is
  // disabled (a box or a dialog of its own is up), as a window that takes files would
  // refuse them then.
  HWND Receiver(POINTL at) const {
    if (!IsWindowEnabled(window_)) return nullptr;
    HWND hit = WindowFromPoint(POINT{at.x, at.y});
    if (!hit || (hit != window_ && !IsChild(window_, hit))) return nullptr;
    return (GetWindowLongPtrW(hit, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) ? hit : nullptr;
  }
  // The source keeps what it gave: a copy, or a link where it offers no copy.
  static DWORD Offered(DWORD allowed) {
    return (allowed & DROPEFFECT_COPY) ? DROPEFFECT_COPY : (allowed & DROPEFFECT_LINK) ? DROPEFFECT_LINK : DROPEFFECT_NONE;
  }

  HWND window_;
  ULONG refs_ = 0;
  bool holds_ = false;
};
#pragma GCC diagnostic pop

TShellDrop::TShellDrop(HWND window) : window_(window), target_(std::make_unique<Target>(window)) {
  registered_ = SUCCEEDED(RegisterDragDrop(window, target_.get()));
}

TShellDrop::~TShellDrop() {
  if (registered_) RevokeDragDrop(window_);
}

}  // namespace vl
