// TShowHideKeys: the launcher's two keys: the show key, system-wide (Windows+Space is
// taken by a keyboard hook where the system keeps it), and the hide key, system-wide
// only when no program types with it and otherwise taken by a filter of the message loop
// while the launcher has the keyboard focus.
//
// It owns both hot-key components and the filter. It reads the keys from the settings
// file and writes nothing. It reaches the main window only through its events.
#pragma once

#include <windows.h>

#include <functional>
#include <string_view>

#include "core/ini_file.h"
#include "gui/application.h"
#include "showhide/wait_hot_key.h"

namespace vl {

class TShowHideKeys {
 public:
  // `window` is the main window: the hide key without modifiers acts only inside it.
  TShowHideKeys(HWND window, TIniFile& ini);
  TShowHideKeys(const TShowHideKeys&) = delete;
  TShowHideKeys& operator=(const TShowHideKeys&) = delete;

  TWaitHotKey& Show() { return show_; }
  TWaitHotKey& Hide() { return hide_; }
  // Both keys as the settings file says, each on its own: a key another program holds
  // costs neither the other key nor the rest of the start, and each refusal is reported
  // once. A stored text that cannot be a key gives the default for the run.
  void Register();
  // Both throw EWaitHotKey_Text, changing nothing, for a text that names no single key;
  // the show key also for a key that types in other programs unless Ctrl, Alt or Windows
  // is held with it.
  void SetShowHotKey(std::wstring_view text);
  void SetHideHotKey(std::wstring_view text);
  // Neither key calls the launcher up or sends it away.
  void Release();

  // The show key and the hide key pressed.
  std::function<void()> OnShow;
  std::function<void()> OnHide;
  // Whether something else holds the keys now: a drag of a button, whose Esc calls it
  // off, or a composition of the input method, whose Esc cancels it; and only that.
  std::function<bool()> KeysHeld;

 private:
  // Whether msg is a press of the hide key without modifiers, in the launcher.
  bool IsLocalHideKey(const MSG& msg) const;

  HWND window_;
  TIniFile& ini_;
  TWaitHotKey show_;
  TWaitHotKey hide_;
  int localHideKey_ = 0;         // the hide key's code while it acts only in the launcher, else 0
  bool localHideShift_ = false;  // with Shift held
  TApplication::Hook filter_;
};

}  // namespace vl
