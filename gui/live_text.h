// TLiveText: a line of text in a child window (a STATIC) whose changes a screen reader
// speaks while the keyboard focus is elsewhere, the user's work left undisturbed: a polite
// live region. To a reader the window is a status bar (gui/accessible_window), which a
// reader's command for the status bar finds again, named by its text without the blanks
// that pad it on the screen. The system's own object of a STATIC is not used: it drops an
// "&" of the text as if it marked an access key, and Wine's calls every STATIC a client
// area.
//
// Each change of the text, and the line coming into view, is announced with
// EVENT_OBJECT_NAMECHANGE and EVENT_OBJECT_LIVEREGIONCHANGED; user32 sends them to nobody
// while nobody listens. The live setting is an annotation of the window (IAccPropServices,
// in oleacc.dll), made when the line is made if an accessibility client already talks to
// the process, else at the first question any client asks of the line, so that a session
// without one never loads the library. A platform without the annotation (Wine stubs
// it) leaves a line that is read when asked and still says when it changes.
//
// The object owns its window and destroys it; the parent's destruction may come first.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <memory>
#include <string>

#include "gui/platform/com_ptr.h"
#include "gui/platform/handles.h"
#include "gui/window_subclass.h"

namespace vl {

class TLiveText {
 public:
  // A hidden child of `parent` with the STATIC styles `style`; Handle() is null when the
  // platform could not make the window.
  TLiveText(HWND parent, DWORD style);
  TLiveText(const TLiveText&) = delete;
  TLiveText& operator=(const TLiveText&) = delete;

  HWND Handle() const { return window_.get(); }
  // Shows `text`, the window too if hidden; a reader is told of a change of either.
  void Show(const std::wstring& text);
  void Hide();

 private:
  LRESULT Hook(UINT msg, WPARAM wParam, LPARAM lParam);
  // Asks the platform once to treat the window as a polite live region.
  void MakeLive();
  void ForgetLive();

  // In this order, so that the window goes first, its subclass still there to clear the
  // annotation at WM_DESTROY.
  ComPtr<IAccPropServices> props_;  // kept while the annotation stands, to clear it
  bool liveAsked_ = false;
  std::unique_ptr<TWindowSubclass> subclass_;
  UniqueWindow window_;
};

}  // namespace vl
