// TWaitHotKey: one system-wide hot key. It holds a key assignment, keeps its text form
// (HotKey), registers it with the platform on RegisterKey and raises OnCatchHotKey when
// the combination is pressed, whichever program has the keyboard focus.
//
// Each component has a hidden message-only window of its own that receives WM_HOTKEY, and
// registers under its own identifier (THotKeyId); whatever WM_HOTKEY reaches that window
// is this component's key. Writing HotKey registers nothing: the owner calls RegisterKey.
// A registration lasts until the next RegisterKey or UnregisterKey, or until the component
// goes. Construction throws EWaitHotKey_Atom when the identifier cannot be made.
//
// Windows keeps some combinations with the Windows key for itself (Windows+Space, from
// Windows 8 on) and refuses them to every program. A combination with the Windows key that
// the platform refuses is taken from the keyboard instead (THotKeyHook): it raises
// OnCatchHotKey just the same, and the system's own action does not run. RegisterKey
// throws EWaitHotKey_HotKey when the platform refuses a combination without the Windows
// key, or refuses the hook too; then nothing of this component is registered.
//
// Presses are dropped while Enabled is false, and while OnCatchHotKey runs unless the
// component is Reentrant (a handler that pumps messages could otherwise see the next
// press inside itself). An exception from OnCatchHotKey goes to the application's error
// report; Busy is cleared all the same, so the key keeps working.
// GUI thread only.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "core/key_assign.h"
#include "gui/platform/session_notification.h"
#include "gui/window.h"
#include "showhide/hot_key_hook.h"
#include "showhide/hot_key_id.h"
#include "showhide/hot_key_registration.h"
#include "showhide/wait_hot_key_errors.h"

namespace vl {

class TWaitHotKey : public TWindow {
 public:
  TWaitHotKey();
  ~TWaitHotKey() override;

  // True while OnCatchHotKey runs.
  bool Busy() const { return busy_; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value) { enabled_ = value; }
  bool Reentrant() const { return reentrant_; }
  void SetReentrant(bool value) { reentrant_ = value; }

  // The text form ("Windows+Space"), or "(なし)" while no key is assigned.
  std::wstring HotKey() const;
  // Reads the text form into KeyAssign (see hot_key_text.h); registers nothing. A text
  // that names no single key changes nothing and returns false.
  bool SetHotKey(std::wstring_view text);

  const TKeyAssign& KeyAssign() const { return keyAssign_; }
  TKeyAssign& KeyAssign() { return keyAssign_; }
  void SetKeyAssign(const TKeyAssign& source) { keyAssign_.Assign(source); }

  // Withdraws the current registration and registers the assignment. With no key it does
  // nothing: the combination registered before stays in force.
  void RegisterKey();
  void UnregisterKey();
  // Whether the key calls now: registered, or taken from the keyboard.
  bool InForce() const { return static_cast<bool>(registration_) || static_cast<bool>(hook_); }
  // A key taken from the keyboard: the hook put up again (see THotKeyHook::Renew). Done
  // when the session is unlocked or connected again, and by the owner when the user calls
  // it up another way (the key may have stopped working).
  void RenewHook();

  std::function<void(TWaitHotKey&)> OnCatchHotKey;
  std::function<void(TWaitHotKey&)> OnChangeKey;    // the text form was rebuilt
  std::function<void(TWaitHotKey&)> OnRegisterKey;  // RegisterKey succeeded

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  LRESULT HotKeyWndProc(UINT msg, WPARAM wParam, LPARAM lParam);
  void KeyAssignChanged();
  UINT ModifierMask() const;

  bool busy_ = false;
  bool enabled_ = true;
  std::wstring hotKeyText_;
  TKeyAssign keyAssign_;
  THotKeyId id_;
  bool reentrant_ = false;
  // Last, so that they go first, while the window and the identifier still exist. At most
  // one of them holds the key.
  THotKeyRegistration registration_;
  THotKeyHook hook_;
  TSessionNotification session_;  // while the hook holds the key
};

}  // namespace vl
