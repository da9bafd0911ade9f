// TDialogForm: the base of the program's modeless dialogs.
//
// A dialog window with a fixed border and a caption, owned by the application's hidden
// owner window, created hidden and living until the program ends. Show centres it on the
// monitor that holds the main window and raises OnShow each time it goes from hidden to
// shown (before it appears, so that the user never sees stale values); showing it while
// it is visible only brings it to the front. Closing it hides it.
//
// The keyboard works as in any dialog: the application's message loop hands the dialog's
// messages to IsDialogMessage, so Tab and Shift+Tab move through the tab order (creation
// order), Enter presses the focused push button or else the default button, Alt+letter
// follows a caption's mnemonic, and Esc presses the cancel button when the dialog has one
// (and does nothing otherwise). In a dialog with tabs, Ctrl+Tab and Ctrl+Shift+Tab change
// the tab.
//
// Its sizes are designed at 96 DPI and scaled to the DPI of its monitor; moved to a monitor
// of another scale (WM_DPICHANGED) it takes the size the system suggests, makes its fonts
// again and lays every control out anew at the new scale.
//
// The form owns its window, its fonts and, in a derived class, its controls, which it
// declares as members and which go before the window does.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "gui/application.h"
#include "gui/controls.h"
#include "gui/font.h"
#include "gui/layout.h"
#include "gui/page_control.h"
#include "gui/platform/handles.h"
#include "gui/window.h"

namespace vl {

struct DialogParams {
  const wchar_t* className = nullptr;
  std::wstring caption;
  int width = 0, height = 0;  // designed pixels: the client area's size, or the window's
  bool outerSize = false;      // with the frame and caption
  FontDesc font = PixelFont(L"ＭＳ Ｐゴシック", 12, false, SHIFTJIS_CHARSET);  // the dialogs' UI font
};

class TDialogForm : public TWindow {
 public:
  ~TDialogForm() override;

  void Show();
  void Hide();
  bool Visible() const { return IsWindowVisible(Handle()) != FALSE; }
  HFONT Font() const { return fonts_.front().font.get(); }
  // The DPI the form is laid out at.
  int Dpi() const { return DpiOf(Handle()); }
  // The client area in designed pixels.
  DesignRect ClientRect() const;

  std::function<void()> OnShow;

 protected:
  explicit TDialogForm(const DialogParams& params);
  // A font for some of its controls besides the form's own, made at the form's DPI and
  // made again when that changes; the form owns it, and it lives as long as the form.
  HFONT FormFont(const FontDesc& desc);
  // Control parameters on this form: the form's font, a designed rectangle.
  ControlParams On(const DesignRect& rect, std::wstring text = {}) const;
  // Enter presses it (unless another push button has the focus); it is drawn as such.
  void SetDefaultButton(TButton* button);
  // Esc presses it; without one, Esc does nothing.
  void SetCancelButton(TButton* button) { cancel_ = button; }
  // The control that has the focus when the dialog is shown; the first in the tab order
  // when none is set. A tab control takes it only so: Tab walks into its sheet's controls.
  void SetActiveControl(HWND control) { activeControl_ = control; }
  // The tab control whose tab Ctrl+Tab changes; we don't own it.
  void SetTabs(TPageControl* tabs) { tabs_ = tabs; }
  // The focus to a control with its whole text chosen, where the user's correction
  // starts: after a box that refused what the control holds. On a hidden tab sheet, that
  // sheet's tab is selected first.
  void FocusField(HWND control);
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  bool IsOwnMessage(const MSG& msg) const;
  // Ctrl+Tab: true when it changed the tab.
  bool NextTab(const MSG& msg);
  void CentreOnMainMonitor();
  // The focus to the control that had it last, or to the first in the tab order.
  void RestoreFocus();
  void FocusControl(HWND control);
  void DpiChanged(int dpi, const RECT& suggested);

  struct OwnFont {
    FontDesc desc;
    UniqueFont font;
  };
  std::vector<OwnFont> fonts_;  // the form's UI font first
  TButton* default_ = nullptr;  // we don't own them: the derived form does
  TButton* cancel_ = nullptr;
  HWND lastFocus_ = nullptr;  // child windows; we don't own them
  HWND activeControl_ = nullptr;
  TPageControl* tabs_ = nullptr;
  TApplication::Hook keyboard_;
};

}  // namespace vl
