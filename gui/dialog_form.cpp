#include "gui/dialog_form.h"

#include <commctrl.h>

#include "gui/platform/foreground.h"
#include "gui/theme.h"

namespace vl {
namespace {

// No WS_CLIPCHILDREN: a group box paints only its frame, and the form must paint what
// lies inside it.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// A dialog of fixed size offers only "移動" and "閉じる" in its system menu.
void TrimSystemMenu(HWND window) {
  HMENU menu = GetSystemMenu(window, FALSE);
  for (UINT command : {SC_RESTORE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE}) DeleteMenu(menu, command, MF_BYCOMMAND);
}

// The control with this id anywhere on the form: IsDialogMessage looks only among the
// form's own children and names none for a button on a tab sheet.
HWND DescendantWithId(HWND form, int id) {
  struct Search {
    int id;
    HWND found = nullptr;
  } search{id};
  EnumChildWindows(
      form,
      [](HWND child, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        if (GetDlgCtrlID(child) != s->id || !TControl::FromHandle(child)) return TRUE;
        s->found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

TDialogForm::TDialogForm(const DialogParams& p) {
  WindowParams w;
  w.className = p.className;
  w.caption = p.caption;
  w.style = kStyle;
  w.exStyle = kExStyle;
  w.x = w.y = w.width = w.height = 0;
  w.parent = TApplication::Instance().OwnerWindow();
  Create(w);
  // Sized once it is there: its DPI is that of the monitor it was made on.
  const int dpi = Dpi();
  RECT r{0, 0, DesignToDevice(p.width, dpi), DesignToDevice(p.height, dpi)};
  if (!p.outerSize) AdjustWindowRectExForDpi(&r, kStyle, FALSE, kExStyle, static_cast<UINT>(dpi));
  SetWindowPos(Handle(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  TrimSystemMenu(Handle());
  SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(FormFont(p.font)), FALSE);
  keyboard_ = TApplication::Instance().FilterMessages([this](const MSG& msg) {
    return IsOwnMessage(msg) && (NextTab(msg) || IsDialogMessageW(Handle(), const_cast<MSG*>(&msg)));
  });
}

TDialogForm::~TDialogForm() = default;

DesignRect TDialogForm::ClientRect() const {
  RECT r;
  GetClientRect(Handle(), &r);
  return DesignRectOf(r, Dpi());
}

HFONT TDialogForm::FormFont(const FontDesc& desc) {
  fonts_.push_back({desc, MakeFont(desc, Dpi())});
  return fonts_.back().font.get();
}

void TDialogForm::DpiChanged(int dpi, const RECT& suggested) {
  const int old = Dpi();
  // Every font again at the new DPI, the old ones kept until no control holds them.
  std::vector<OwnFont> made;
  for (const OwnFont& f : fonts_) made.push_back({f.desc, MakeFont(f.desc, dpi)});
  FollowDpi(dpi);
  std::vector<HWND> windows{Handle()};
  EnumChildWindows(
      Handle(),
      [](HWND child, LPARAM list) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  for (HWND w : windows) {
    auto held = reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0));
    for (std::size_t i = 0; i < fonts_.size(); ++i)
      if (held && held == fonts_[i].font.get())
        SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(made[i].font.get()), FALSE);
  }
  fonts_ = std::move(made);
  SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  RescaleDescendants(Handle(), old, dpi);
  for (HWND w : windows)
    if (TControl* control = TControl::FromHandle(w)) control->Rescaled();
  RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

ControlParams TDialogForm::On(const DesignRect& rect, std::wstring text) const {
  return ControlParams{Handle(), rect, std::move(text), Font()};
}

bool TDialogForm::IsOwnMessage(const MSG& msg) const {
  return Handle() && IsWindowVisible(Handle()) && (msg.hwnd == Handle() || IsChild(Handle(), msg.hwnd));
}

bool TDialogForm::NextTab(const MSG& msg) {
  if (!tabs_ || msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || GetKeyState(VK_CONTROL) >= 0) return false;
  int count = tabs_->SheetCount();
  if (count < 2) return true;
  int step = GetKeyState(VK_SHIFT) < 0 ? count - 1 : 1;
  HWND focus = GetFocus();
  tabs_->SetActivePageIndex((tabs_->ActivePageIndex() + step) % count);
  // The focus must not stay on a control of the sheet just hidden.
  if (focus && !IsWindowVisible(focus)) FocusControl(tabs_->Handle());
  if (tabs_->OnChange) tabs_->OnChange();
  return true;
}

void TDialogForm::SetDefaultButton(TButton* button) {
  if (default_) default_->SetDefault(false);
  default_ = button;
  if (default_) default_->SetDefault(true);
}

void TDialogForm::Show() {
  if (Visible()) {
    BringToFront(Handle());
    return;
  }
  // First the values, then the window: a failure here leaves the dialog hidden and is
  // reported where the command that showed it runs.
  if (OnShow) OnShow();
  lastFocus_ = nullptr;  // each showing starts at the first control
  const int dpi = Dpi();
  CentreOnMainMonitor();
  // Moved onto a monitor of another scale, it has taken its size there: centred again.
  if (Dpi() != dpi) CentreOnMainMonitor();
  FollowTheme(Handle());  // its controls' themes, set while it was hidden or not at all
  ShowWindow(Handle(), SW_SHOW);
  BringToFront(Handle());
}

void TDialogForm::RestoreFocus() {
  HWND target = lastFocus_;
  auto usable = [this](HWND w) { return w && IsChild(Handle(), w) && IsWindowVisible(w) && IsWindowEnabled(w); };
  if (!usable(target)) target = activeControl_;
  if (!usable(target)) target = GetNextDlgTabItem(Handle(), nullptr, FALSE);
  FocusControl(target ? target : Handle());
}

void TDialogForm::FocusControl(HWND control) {
  SetFocus(control);
  // An edit entered from the keyboard shows its whole text chosen, ready to be typed over.
  if (control != Handle() && (SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL))
    SendMessageW(control, EM_SETSEL, 0, -1);
}

void TDialogForm::FocusField(HWND control) {
  if (!control || !IsChild(Handle(), control)) return;
  if (tabs_ && !IsWindowVisible(control)) {
    for (int i = 0; i < tabs_->SheetCount(); ++i) {
      if (!IsChild(tabs_->Sheet(i).Handle(), control)) continue;
      tabs_->SetActivePageIndex(i);
      if (tabs_->OnChange) tabs_->OnChange();
      break;
    }
  }
  FocusControl(control);
}

void TDialogForm::Hide() { ShowWindow(Handle(), SW_HIDE); }

void TDialogForm::CentreOnMainMonitor() {
  HWND main = TApplication::Instance().MainForm();
  HMONITOR monitor = main ? MonitorFromWindow(main, MONITOR_DEFAULTTONEAREST)
                          : MonitorFromWindow(Handle(), MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(monitor, &info)) return;
  RECT r;
  GetWindowRect(Handle(), &r);
  const RECT& area = info.rcWork;
  int x = area.left + ((area.right - area.left) - (r.right - r.left)) / 2;
  int y = area.top + ((area.bottom - area.top) - (r.bottom - r.top)) / 2;
  SetWindowPos(Handle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT TDialogForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
      if (!lParam && LOWORD(wParam) != IDCANCEL)
        lParam = reinterpret_cast<LPARAM>(DescendantWithId(Handle(), LOWORD(wParam)));
      if (lParam && TControl::Reflect(wParam, lParam)) return 0;
      // From IsDialogMessage: Esc sends IDCANCEL without a control.
      if (LOWORD(wParam) == IDCANCEL && !lParam) {
        if (cancel_) cancel_->Click();
        return 0;
      }
      break;
    case DM_GETDEFID: {
      // Enter on a focused push button presses that button, as in any dialog.
      TControl* focused = TControl::FromHandle(GetFocus());
      TButton* target = dynamic_cast<TButton*>(focused);
      if (!target) target = default_;
      if (target) return MAKELRESULT(target->Id(), DC_HASDEFID);
      return 0;
    }
    case WM_NEXTDLGCTL: {
      // Sent by IsDialogMessage for a label's mnemonic; only a dialog's own procedure
      // would know it otherwise.
      HWND target = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                   : GetNextDlgTabItem(Handle(), GetFocus(), wParam != 0);
      if (target) FocusControl(target);
      return 0;
    }
    case WM_ACTIVATE:
      // As a dialog does: the focus goes back where it was when the user left.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(Handle(), focus)) lastFocus_ = focus;
      } else {
        RestoreFocus();
      }
      return 0;
    case WM_CLOSE:
      Hide();
      return 0;
    case WM_DPICHANGED:
      DpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    default:
      break;
  }
  return TWindow::HandleMessage(msg, wParam, lParam);
}

}  // namespace vl
