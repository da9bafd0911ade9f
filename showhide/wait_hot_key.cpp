#include "showhide/wait_hot_key.h"

#include <wtsapi32.h>

#include "core/hot_key_text.h"

namespace vl {

// The modifier bits of the text form's flags are the platform's own.
static_assert(MOD_ALT == 1 && MOD_CONTROL == 2 && MOD_SHIFT == 4 && MOD_WIN == 8);

TWaitHotKey::TWaitHotKey() {
  keyAssign_.OnChange = [this](TKeyAssign&) { KeyAssignChanged(); };
  WindowParams p;
  p.className = L"TWaitHotKey";
  p.style = 0;
  p.x = p.y = p.width = p.height = 0;
  p.parent = HWND_MESSAGE;
  Create(p);
  id_ = THotKeyId(THotKeyId::NameFor(Handle()));
}

TWaitHotKey::~TWaitHotKey() = default;

std::wstring TWaitHotKey::HotKey() const {
  return keyAssign_.CanUse() ? hotKeyText_ : std::wstring(kNoHotKeyText);
}

bool TWaitHotKey::SetHotKey(std::wstring_view text) { return ReadHotKeyText(text, keyAssign_); }

void TWaitHotKey::KeyAssignChanged() {
  hotKeyText_ = HotKeyText(keyAssign_);
  if (OnChangeKey) OnChangeKey(*this);
}

UINT TWaitHotKey::ModifierMask() const {
  return (keyAssign_.hkShift() ? MOD_SHIFT : 0) | (keyAssign_.hkCtrl() ? MOD_CONTROL : 0) |
         (keyAssign_.hkAlt() ? MOD_ALT : 0) | (keyAssign_.hkWinKey() ? MOD_WIN : 0);
}

void TWaitHotKey::RegisterKey() {
  // Without a key nothing is registered or withdrawn: the combination in force stays.
  if (keyAssign_.CanUse()) {
    UnregisterKey();
    int code = keyAssign_.KeyCode();
    // SetKey stores only names of the table, so this guards against a broken table.
    if (code < 0) throw EWaitHotKey_HotKey(L"ホットキーが無効です(" + HotKey() + L")");
    registration_ = THotKeyRegistration(Handle(), id_.Value(), ModifierMask(), code);
    // The platform tells no reason. A combination with the Windows key is most likely one
    // Windows keeps for itself, so RegisterHotKey can never have it: taken from the
    // keyboard instead (another program that holds it loses it to us the same way).
    if (!registration_ && keyAssign_.hkWinKey()) {
      hook_ = THotKeyHook(Handle(), id_.Value(), ModifierMask(), code);
      if (hook_) session_ = TSessionNotification(Handle());
    }
    if (!registration_ && !hook_)
      throw EWaitHotKey_HotKey(L"ホットキーが登録できません(" + HotKey() + L")");
  }
  if (OnRegisterKey) OnRegisterKey(*this);
}

void TWaitHotKey::UnregisterKey() {
  session_.Reset();
  hook_.Reset();
  registration_.Reset();
}

void TWaitHotKey::RenewHook() { hook_.Renew(); }

LRESULT TWaitHotKey::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  return HotKeyWndProc(msg, wParam, lParam);
}

LRESULT TWaitHotKey::HotKeyWndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_WTSSESSION_CHANGE) {
    // Back from the lock screen or another console: whatever happened to the hook there
    // (a time-out, a release it never saw), it starts anew.
    if (wParam == WTS_SESSION_UNLOCK || wParam == WTS_CONSOLE_CONNECT || wParam == WTS_REMOTE_CONNECT)
      RenewHook();
    return 0;
  }
  bool handle = enabled_ && (!busy_ || reentrant_);
  if (msg != WM_HOTKEY || !handle) return DefaultHandler(msg, wParam, lParam);
  // Restored, not cleared: a reentrant press nested in another leaves the outer one busy,
  // and a handler that throws (the window procedure's boundary reports it) does not
  // leave the key dead.
  struct BusyScope {
    bool& flag;
    bool before;
    ~BusyScope() { flag = before; }
  } scope{busy_, busy_};
  busy_ = true;
  // A copy: the handler may replace the event while it runs.
  auto handler = OnCatchHotKey;
  if (handler) handler(*this);
  return 0;
}

}  // namespace vl
