// TMessageWindow: a hidden window that exists only to receive messages for an object.
//
// A derived class overrides HandleMessage and hands what it does not handle to
// DefaultHandler. The window is a hidden top-level tool window rather than a message-only
// window, so that it also hears what the system broadcasts to top-level windows (such as
// "TaskbarCreated"); it is never shown and never has a taskbar button. The object owns the
// window: destroying the object destroys it.
#pragma once

#include "gui/window.h"

namespace vl {

class TMessageWindow : public TWindow {
 protected:
  // Creates the window; throws when the system refuses.
  explicit TMessageWindow(const wchar_t* className);
};

}  // namespace vl
