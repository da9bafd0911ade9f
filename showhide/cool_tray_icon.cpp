#include "showhide/cool_tray_icon.h"

#include <algorithm>

#include "showhide/tray_icon_handler.h"

namespace vl {
namespace {

// The message the shell sends to every top-level window when the taskbar has been
// (re-)created; icons added before are gone then.
UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

bool KeyDown(int key) { return (GetAsyncKeyState(key) & 0x8000) != 0; }

TShiftState KeyShiftState() {
  TShiftState shift = 0;
  if (KeyDown(VK_SHIFT)) shift |= ssShift;
  if (KeyDown(VK_MENU)) shift |= ssAlt;
  if (KeyDown(VK_CONTROL)) shift |= ssCtrl;
  return shift;
}

POINT CursorPos() {
  POINT pt{};
  GetCursorPos(&pt);
  return pt;
}

// The text's first characters that fit the shell's field with its terminating zero, the
// rest of the field zeroed; never ending on the first half of a surrogate pair.
template <std::size_t N>
void CopyCut(std::wstring_view text, wchar_t (&field)[N]) {
  std::fill(std::begin(field), std::end(field), L'\0');
  std::size_t n = std::min(text.size(), N - 1);
  if (n > 0 && n < text.size() && IS_HIGH_SURROGATE(text[n - 1])) --n;
  std::copy_n(text.begin(), n, field);
}

}  // namespace

TCoolTrayIcon::TCoolTrayIcon(HWND owner)
    : owner_(owner),
      handler_(TTrayIconHandler::Acquire()),
      id_(handler_->Add(this)),
      clickTimer_([this] { ClickTimerTick(); }) {
  iconData_.cbSize = sizeof iconData_;
  iconData_.hWnd = handler_->Handle();
  iconData_.uID = id_;
  iconData_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  iconData_.uCallbackMessage = kTrayCallbackMessage;
  // An elevated process would not hear the shell's announcement otherwise: the system
  // filters registered messages from less privileged processes.
  ChangeWindowMessageFilterEx(TApplication::Instance().OwnerWindow(), TaskbarCreatedMessage(), MSGFLT_ALLOW,
                              nullptr);
  applicationHook_ = TApplication::Instance().HookOwnerWindow(
      [this](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT&) { return ApplicationHook(msg, wParam, lParam); });
  try {
    if (owner_) {
      ownerHook_.emplace(owner_, [this](UINT msg, WPARAM wParam, LPARAM lParam) { return OwnerHook(msg, wParam, lParam); });
    }
  } catch (...) {
    // No destructor runs for a half-built object: the handler must not keep calling it.
    handler_->Remove(id_);
    throw;
  }
}

TCoolTrayIcon::~TCoolTrayIcon() {
  *alive_ = false;
  SetIconVisible(false);
  handler_->Remove(id_);
}

void TCoolTrayIcon::SetIcon(UniqueIcon icon) {
  icon_ = std::move(icon);
  RefreshIcon();
}

void TCoolTrayIcon::SetIconVisible(bool visible) {
  if (visible) {
    AddIcon();
  } else {
    RemoveIcon();
  }
}

void TCoolTrayIcon::SetHint(std::wstring hint) {
  hint_ = std::move(hint);
  RefreshIcon();
}

void TCoolTrayIcon::SetShowHint(bool show) {
  showHint_ = show;
  RefreshIcon();
}

bool TCoolTrayIcon::AddIcon() {
  iconVisible_ = true;
  return Notify(NIM_ADD);
}

bool TCoolTrayIcon::RemoveIcon() {
  iconVisible_ = false;
  return Notify(NIM_DELETE);
}

bool TCoolTrayIcon::RefreshIcon() { return Notify(NIM_MODIFY); }

bool TCoolTrayIcon::Notify(DWORD message) {
  PrepareIconData();
  return Shell_NotifyIconW(message, &iconData_) != FALSE;
}

void TCoolTrayIcon::PrepareIconData() {
  iconData_.hIcon = icon_.get();
  CopyCut(showHint_ ? std::wstring_view(hint_) : std::wstring_view(), iconData_.szTip);
}

bool TCoolTrayIcon::ShowBalloon(std::wstring_view title, std::wstring_view text) {
  PrepareIconData();
  balloon_ = iconData_;
  balloon_.uFlags |= NIF_INFO;
  balloon_.dwInfoFlags = NIIF_INFO | NIIF_NOSOUND;
  CopyCut(title, balloon_.szInfoTitle);
  CopyCut(text, balloon_.szInfo);
  return Shell_NotifyIconW(NIM_MODIFY, &balloon_) != FALSE;
}

void TCoolTrayIcon::ShowMainWindow() {
  TApplication& app = TApplication::Instance();
  HWND mainForm = app.MainForm();
  if (!owner_ || !mainForm) return;
  ShowWindow(app.OwnerWindow(), SW_RESTORE);
  // Shown with its erasing left to each window's own paint: a form of many child windows
  // (a page of 1,600 buttons) would otherwise have every one of them erased before it
  // appears, a round trip each under Wine (0.1 s and more). ShowWindow cannot be told so.
  // The activation comes below, through the owner window, as OwnerHook gives it for a
  // ShowWindow: a form disabled under a question of ours must not take it itself.
  SetWindowPos(mainForm, HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_DEFERERASE);
  if (IsIconic(mainForm)) ShowWindow(mainForm, SW_RESTORE);
  // The application passes the activation on to its main form.
  SetForegroundWindow(app.OwnerWindow());
}

void TCoolTrayIcon::HideMainWindow() {
  TApplication& app = TApplication::Instance();
  HWND mainForm = app.MainForm();
  if (!owner_ || !mainForm) return;
  ShowWindow(mainForm, SW_HIDE);
  ShowWindow(app.OwnerWindow(), SW_HIDE);
}

void TCoolTrayIcon::PopupAtCursor() {
  // A second right press that arrives while the first opens the menu opens no second menu.
  if (!PopupMenu || !PopupMenu->AutoPopup || popupOpen_) return;
  POINT at;
  if (!GetCursorPos(&at)) return;
  TApplication& app = TApplication::Instance();
  // Without the foreground the menu would not close when the user clicks elsewhere.
  SetForegroundWindow(app.OwnerWindow());
  std::shared_ptr<bool> alive = alive_;
  popupOpen_ = true;
  try {
    app.ProcessMessages();
    if (*alive && PopupMenu) PopupMenu->Popup(at.x, at.y);
  } catch (...) {
    if (*alive) popupOpen_ = false;
    throw;
  }
  // The menu's chosen command may have destroyed the icon; the owner window stays.
  if (!*alive) return;
  popupOpen_ = false;
  // Lets the system finish with the menu before the next one opens.
  if (owner_) PostMessageW(owner_, WM_NULL, 0, 0);
}

void TCoolTrayIcon::HandleCallback(UINT mouseMessage) {
  if (!Enabled) return;
  std::shared_ptr<bool> alive = alive_;
  switch (mouseMessage) {
    case WM_MOUSEMOVE: {
      MouseMove(KeyShiftState(), CursorPos());
      break;
    }
    case WM_LBUTTONDOWN:
      if (OnDblClick) {
        // The second press of a double click arrives as WM_LBUTTONDBLCLK, so a press here
        // starts a new click: what an earlier double click left behind no longer counts.
        dblClickSeen_ = false;
        clickTimer_.Start(GetDoubleClickTime());
      }
      leftButtonDown_ = true;
      MouseDown(TMouseButton::mbLeft, KeyShiftState() | ssLeft);
      if (*alive && LeftPopup) PopupAtCursor();
      break;
    case WM_LBUTTONUP: {
      bool clickNow = false;
      if (leftButtonDown_) {
        clickPending_ = true;
        // The double-click time is over (a long press), or nobody waits for a double click.
        if (!clickTimer_.Active()) {
          clickPending_ = false;
          clickNow = true;
        }
      }
      leftButtonDown_ = false;
      if (clickNow) Click();
      if (*alive) MouseUp(TMouseButton::mbLeft, KeyShiftState());
      break;
    }
    case WM_LBUTTONDBLCLK:
      clickPending_ = false;
      dblClickSeen_ = true;
      DblClick();
      if (*alive && PopupMenu && PopupMenu->AutoPopup && !LeftPopup && PopupMenu->DefaultIndex() >= 0) {
        PopupMenu->Click(PopupMenu->DefaultIndex());
      }
      break;
    case WM_RBUTTONDOWN:
      MouseDown(TMouseButton::mbRight, KeyShiftState() | ssRight);
      if (*alive) PopupAtCursor();
      break;
    case WM_RBUTTONUP:
      MouseUp(TMouseButton::mbRight, KeyShiftState());
      break;
    case WM_MBUTTONDOWN:
      MouseDown(TMouseButton::mbMiddle, KeyShiftState() | ssMiddle);
      break;
    case WM_MBUTTONUP:
      MouseUp(TMouseButton::mbMiddle, KeyShiftState());
      break;
    default:
      break;
  }
}

void TCoolTrayIcon::ClickTimerTick() {
  clickTimer_.Stop();
  const bool click = !dblClickSeen_ && clickPending_;
  if (click) clickPending_ = false;
  dblClickSeen_ = false;
  if (click) Click();
}

bool TCoolTrayIcon::ApplicationHook(UINT msg, WPARAM wParam, LPARAM) {
  if (msg == WM_SIZE && wParam == SIZE_MINIMIZED && MinimizeToTray) {
    MinimizeToTrayAction();
  } else if (msg == TaskbarCreatedMessage() && iconVisible_) {
    AddIcon();
  }
  return false;
}

LRESULT TCoolTrayIcon::OwnerHook(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_SHOWWINDOW && wParam == TRUE && lParam == 0) {
    HWND app = TApplication::Instance().OwnerWindow();
    ShowWindow(app, SW_RESTORE);
    SetForegroundWindow(app);
    SetForegroundWindow(owner_);
  } else if (msg == WM_ACTIVATE) {
    if (LOWORD(wParam) == WA_INACTIVE) {
      HWND focus = GetFocus();
      lastFocus_ = focus && IsChild(owner_, focus) ? focus : nullptr;
      return ownerHook_->CallNext(msg, wParam, lParam);
    }
    // The window's own activation puts the focus on the window itself; the control that
    // had it before gets it back.
    LRESULT result = ownerHook_->CallNext(msg, wParam, lParam);
    if (lastFocus_ && IsChild(owner_, lastFocus_) && !HIWORD(wParam) && GetFocus() != lastFocus_) {
      SetFocus(lastFocus_);
    }
    return result;
  }
  return ownerHook_->CallNext(msg, wParam, lParam);
}

void TCoolTrayIcon::MinimizeToTrayAction() {
  HideMainWindow();
  SetIconVisible(true);
}

void TCoolTrayIcon::Click() {
  if (OnClick) OnClick(*this);
}

void TCoolTrayIcon::DblClick() {
  if (OnDblClick) OnDblClick(*this);
}

void TCoolTrayIcon::MouseDown(TMouseButton button, TShiftState shift) {
  if (OnMouseDown) OnMouseDown(*this, button, shift, CursorPos());
}

void TCoolTrayIcon::MouseUp(TMouseButton button, TShiftState shift) {
  if (OnMouseUp) OnMouseUp(*this, button, shift, CursorPos());
}

void TCoolTrayIcon::MouseMove(TShiftState shift, POINT at) {
  if (OnMouseMove) OnMouseMove(*this, shift, at);
}

}  // namespace vl
