// TCoolTrayIcon: the program's icon in the notification area, its menu, and the showing
// and hiding of the main window that go with it.
//
// Owned by the main window, which is passed as `owner` (null for no owner window; it must
// outlive the icon) and created after the application object. The owner sets the icon,
// PopupMenu, MinimizeToTray and the events, then SetIconVisible(true) puts the icon up;
// destruction takes it down. While IconVisible is set, the icon comes back by itself when
// the shell announces a new taskbar ("TaskbarCreated").
//
// Mouse events on the icon: with OnDblClick assigned, a single click raises OnClick once,
// one double-click time after the press; a double click raises OnDblClick alone; a press
// held longer than the double-click time raises OnClick at the release. Without
// OnDblClick, OnClick comes at the release. A right press opens PopupMenu at the pointer.
// While Enabled is false the icon ignores the mouse.
//
// ShowMainWindow and HideMainWindow show and hide the application's main form together
// with the application's owner window. With MinimizeToTray, minimising the application
// hides the main form and keeps the icon. GUI thread only.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "gui/application.h"
#include "gui/mouse.h"
#include "gui/platform/handles.h"
#include "gui/popup_menu.h"
#include "gui/window_subclass.h"
#include "showhide/simple_timer.h"

namespace vl {

class TTrayIconHandler;

// Keys and buttons held during a mouse event; a combination of the ss flags.
using TShiftState = unsigned;
inline constexpr TShiftState ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32;

class TCoolTrayIcon {
 public:
  using NotifyEvent = std::function<void(TCoolTrayIcon& sender)>;
  using MouseEvent = std::function<void(TCoolTrayIcon& sender, TMouseButton button, TShiftState shift, POINT at)>;
  using MouseMoveEvent = std::function<void(TCoolTrayIcon& sender, TShiftState shift, POINT at)>;

  explicit TCoolTrayIcon(HWND owner);
  ~TCoolTrayIcon();
  TCoolTrayIcon(const TCoolTrayIcon&) = delete;
  TCoolTrayIcon& operator=(const TCoolTrayIcon&) = delete;

  // The picture shown; a change shows at once.
  void SetIcon(UniqueIcon icon);
  HICON Icon() const { return icon_.get(); }
  // True puts the icon into the notification area, false takes it out.
  void SetIconVisible(bool visible);
  bool IconVisible() const { return iconVisible_; }
  // The tip: its first 127 characters, shown while ShowHint is set.
  void SetHint(std::wstring hint);
  const std::wstring& Hint() const { return hint_; }
  void SetShowHint(bool show);
  bool ShowHint() const { return showHint_; }

  bool Enabled = true;
  // Opened at the pointer on a right press; we don't own it, and it must outlive the icon
  // or be cleared first.
  TPopupMenu* PopupMenu = nullptr;
  // Also open PopupMenu on a left press.
  bool LeftPopup = false;
  bool MinimizeToTray = false;

  NotifyEvent OnClick;
  NotifyEvent OnDblClick;
  MouseEvent OnMouseDown;
  MouseEvent OnMouseUp;
  MouseMoveEvent OnMouseMove;

  // Hand the icon to the shell: add, take away, or update in place. Each returns whether
  // the shell accepted it; a missing taskbar is no error (the icon comes with the next).
  bool AddIcon();
  bool RemoveIcon();
  bool RefreshIcon();
  // A notification from the icon (a balloon, or a toast on Windows 10 and later) with the
  // information sign and no sound; the title and text are cut to what the shell holds.
  // Returns whether the shell took it. Later updates of the icon do not repeat it.
  bool ShowBalloon(std::wstring_view title, std::wstring_view text);
  // What the shell was last given by ShowBalloon; its uFlags are 0 before the first.
  const NOTIFYICONDATAW& LastBalloon() const { return balloon_; }

  void ShowMainWindow();
  void HideMainWindow();
  // Opens PopupMenu at the pointer, if it opens by itself; returns when it closes.
  void PopupAtCursor();

  // What the shell was last told about the icon: its window, identifier, picture and tip.
  const NOTIFYICONDATAW& IconData() const { return iconData_; }

 private:
  friend class TTrayIconHandler;
  void HandleCallback(UINT mouseMessage);
  void ClickTimerTick();
  bool ApplicationHook(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT OwnerHook(UINT msg, WPARAM wParam, LPARAM lParam);
  void MinimizeToTrayAction();
  void PrepareIconData();
  bool Notify(DWORD message);

  void Click();
  void DblClick();
  void MouseDown(TMouseButton button, TShiftState shift);
  void MouseUp(TMouseButton button, TShiftState shift);
  void MouseMove(TShiftState shift, POINT at);

  HWND owner_;  // we don't own it
  std::shared_ptr<TTrayIconHandler> handler_;
  UINT id_;
  // Cleared by the destructor, so that code running on after an event can tell that the
  // event's handler destroyed the icon.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  UniqueIcon icon_;
  bool iconVisible_ = false;
  std::wstring hint_;
  bool showHint_ = true;
  bool leftButtonDown_ = false;
  bool clickPending_ = false;
  bool dblClickSeen_ = false;
  bool popupOpen_ = false;
  TSimpleTimer clickTimer_;
  HWND lastFocus_ = nullptr;  // the owner's control that had the focus when it lost activation
  NOTIFYICONDATAW iconData_{};
  NOTIFYICONDATAW balloon_{};
  TApplication::Hook applicationHook_;
  std::optional<TWindowSubclass> ownerHook_;
};

}  // namespace vl
