#include "gui/controls.h"

#include <commctrl.h>

#include "gui/platform/platform_error.h"

namespace vl {
namespace {

constexpr wchar_t kControlProp[] = L"VlControl";
// Child ids from here on: IDOK and IDCANCEL stay free, so that a dialog's Enter and Esc
// never land on a control by its number.
int g_nextId = 1000;

// A window's DC for measuring text, released when it goes.
class WindowDC {
 public:
  explicit WindowDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  ~WindowDC() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

SIZE TextSize(HWND parent, HFONT font, const std::wstring& text) {
  WindowDC dc(parent);
  HGDIOBJ old = SelectObject(dc.get(), font ? font : GetStockObject(DEFAULT_GUI_FONT));
  SIZE size{0, 0};
  GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc.get(), old);
  return size;
}

}  // namespace

TControl::TControl(const ControlParams& p, const wchar_t* className, DWORD style, DWORD exStyle)
    : id_(g_nextId++) {
  hwnd_ = CreateWindowExW(exStyle, className, p.text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, p.parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)), GetModuleHandleW(nullptr), nullptr);
  if (!hwnd_) ThrowLastError(std::wstring(L"CreateWindowEx(") + className + L")");
  SetPropW(hwnd_, kControlProp, this);
  if (p.font) SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(p.font), FALSE);
  PlaceControl(hwnd_, p.rect);
}

TControl::~TControl() {
  // Gone with its parent already, perhaps with its handle taken by another window since.
  if (IsWindow(hwnd_) && GetPropW(hwnd_, kControlProp) == this) {
    RemovePropW(hwnd_, kControlProp);
    DestroyWindow(hwnd_);
  }
}

TControl* TControl::FromHandle(HWND hwnd) {
  return hwnd ? static_cast<TControl*>(GetPropW(hwnd, kControlProp)) : nullptr;
}

bool TControl::Reflect(WPARAM wParam, LPARAM lParam) {
  TControl* control = FromHandle(reinterpret_cast<HWND>(lParam));
  if (!control) return false;
  control->Command(HIWORD(wParam));
  return true;
}

void TControl::Command(WORD) {}

std::wstring TControl::Text() const {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd_)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd_, text.data(), static_cast<int>(text.size()))));
  return text;
}

void TControl::SetText(std::wstring_view text) { SetWindowTextW(hwnd_, std::wstring(text).c_str()); }

bool TControl::Enabled() const { return IsWindowEnabled(hwnd_) != FALSE; }

void TControl::SetEnabled(bool enabled) { EnableWindow(hwnd_, enabled); }

void TControl::SetFont(HFONT font) { SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE); }

TGroupBox::TGroupBox(const ControlParams& p) : TControl(p, WC_BUTTONW, BS_GROUPBOX | WS_GROUP) {}

TLabel::TLabel(const ControlParams& p, DWORD align) : TControl(p, WC_STATICW, align | WS_GROUP) {}

TEdit::TEdit(const ControlParams& p)
    : TControl(p, WC_EDITW, ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, WS_EX_CLIENTEDGE) {}

namespace {

ControlParams EditPart(ControlParams p) {
  p.text.clear();
  return p;
}

constexpr int kLabelSpare = 4;  // designed pixels

ControlParams LabelPart(const ControlParams& p) {
  // Measured in the label's font, at the parent's DPI, and taken back to designed pixels
  // (rounded up, so that the text is never cut), with room to spare on its left, the
  // label aligned to its right beside its edit.
  SIZE size = TextSize(p.parent, p.font, p.text);
  const int dpi = DpiOf(p.parent);
  const int cx = static_cast<int>((size.cx * kDesignDpi + dpi - 1) / dpi) + kLabelSpare;
  const int cy = static_cast<int>((size.cy * kDesignDpi + dpi - 1) / dpi);
  ControlParams label = p;
  label.rect = {p.rect.left - 3 - cx, p.rect.top + (p.rect.height - cy) / 2, cx, cy};
  return label;
}

}  // namespace

detail::LabelFirst::LabelFirst(const ControlParams& p) : label_(LabelPart(p), SS_RIGHT) {}

TLabeledEdit::TLabeledEdit(const ControlParams& p) : LabelFirst(p), TEdit(EditPart(p)) {}

void TLabeledEdit::Rescaled() { PlaceLabelBeside(Handle()); }

void detail::LabelFirst::PlaceLabelBeside(HWND control) {
  // The font's glyphs do not grow in step with the scale: a label only scaled may lose its
  // last character.
  HWND label = label_.Handle();
  RECT edit;
  GetWindowRect(control, &edit);
  MapWindowPoints(nullptr, GetParent(label), reinterpret_cast<POINT*>(&edit), 2);
  const SIZE size = TextSize(GetParent(label), reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)),
                             label_.Text());
  const int dpi = DpiOf(label);
  const int cx = size.cx + DesignToDevice(kLabelSpare, dpi);
  SetWindowPos(label, nullptr, edit.left - DesignToDevice(3, dpi) - cx,
               edit.top + (edit.bottom - edit.top - size.cy) / 2, cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TLabeledEdit::SetEnabled(bool enabled) {
  TEdit::SetEnabled(enabled);
  label_.SetEnabled(enabled);
}

TMemo::TMemo(const ControlParams& p)
    : TControl(p, WC_EDITW, ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_TABSTOP | WS_GROUP,
               WS_EX_CLIENTEDGE) {
  SendMessageW(Handle(), EM_SETLIMITTEXT, 0, 0);  // as much as the system allows
}

std::vector<std::wstring> TMemo::Lines() const {
  std::vector<std::wstring> lines;
  std::wstring text = Text();
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(L"\r\n", start);
    if (end == std::wstring::npos) {
      if (start < text.size()) lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

void TMemo::SetLines(const std::vector<std::wstring>& lines) {
  std::wstring text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i) text += L"\r\n";
    text += lines[i];
  }
  SetText(text);
}

TButton::TButton(const ControlParams& p) : TControl(p, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP) {}

void TButton::SetDefault(bool isDefault) {
  SendMessageW(Handle(), BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click() {
  if (OnClick) OnClick();
}

void TButton::Command(WORD code) {
  if (code == BN_CLICKED) Click();
}

TCheckBox::TCheckBox(const ControlParams& p, DWORD style)
    : TControl(p, WC_BUTTONW, BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP | style) {}

bool TCheckBox::Checked() const { return SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TCheckBox::SetChecked(bool checked) {
  if (checked == Checked()) return;
  SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  if (OnClick) OnClick();
}

void TCheckBox::Command(WORD code) {
  if (code == BN_CLICKED && OnClick) OnClick();
}

}  // namespace vl
