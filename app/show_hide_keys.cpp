#include "app/show_hide_keys.h"

#include <string>
#include <tuple>

#include "core/hot_key_text.h"
#include "core/settings_keys.h"
#include "gui/message_box.h"

namespace vl {
namespace {

namespace keys = settings;

// Refuses, before anything changes, a text that cannot be the key.
void RequireHotKeyText(std::wstring_view text, bool systemWide) {
  if (std::wstring why = HotKeyTextRefusal(text, systemWide); !why.empty()) throw EWaitHotKey_Text(why);
}

}  // namespace

TShowHideKeys::TShowHideKeys(HWND window, TIniFile& ini) : window_(window), ini_(ini) {
  show_.SetReentrant(true);
  show_.OnCatchHotKey = [this](TWaitHotKey&) {
    if (OnShow) OnShow();
  };
  hide_.SetReentrant(false);
  hide_.OnCatchHotKey = [this](TWaitHotKey&) {
    if (OnHide) OnHide();
  };
  filter_ = TApplication::Instance().FilterMessages([this](const MSG& msg) {
    if (!IsLocalHideKey(msg) || (KeysHeld && KeysHeld())) return false;
    if (OnHide) OnHide();
    return true;
  });
}

void TShowHideKeys::Register() {
  // With "ホットキーを使う" cleared in the settings dialog, neither is registered.
  bool useHotKeys = false;
  std::wstring show, hide;
  ini_.Update([&] {
    useHotKeys = ini_.ReadBool(keys::kSetting, keys::kIsUseHotKey, keys::kIsUseHotKeyDefault);
    show = ini_.ReadString(keys::kSetting, keys::kShowHotKey, keys::kShowHotKeyDefault);
    hide = ini_.ReadString(keys::kSetting, keys::kHideHotKey, keys::kHideHotKeyDefault);
  });
  if (!useHotKeys) return;
  for (auto [setter, text, def] :
       {std::tuple{&TShowHideKeys::SetShowHotKey, &show, keys::kShowHotKeyDefault},
        std::tuple{&TShowHideKeys::SetHideHotKey, &hide, keys::kHideHotKeyDefault}}) {
    try {
      try {
        (this->*setter)(*text);
      } catch (const EWaitHotKey_Text& e) {
        // A text that cannot be a key (a slip of the hand in the file, bare "Space")
        // would leave the launcher without a key, or take one from every program: the
        // default for this run, said once. The file keeps what the user wrote.
        ShowMessage(e.Message() + L"。\n代わりに「" + def + L"」を使います");
        (this->*setter)(def);
      }
    } catch (...) {
      TApplication::Instance().ShowCurrentException();
    }
  }
}

void TShowHideKeys::SetShowHotKey(std::wstring_view text) {
  RequireHotKeyText(text, true);
  show_.SetHotKey(text);
  show_.RegisterKey();
}

void TShowHideKeys::SetHideHotKey(std::wstring_view text) {
  // Only a key that other programs do not type with may become system-wide.
  RequireHotKeyText(text, false);
  hide_.SetHotKey(text);
  const TKeyAssign& key = hide_.KeyAssign();
  const bool bare = !key.hkShift() && !key.hkCtrl() && !key.hkAlt() && !key.hkWinKey();
  localHideKey_ = 0;
  localHideShift_ = key.hkShift();
  if (bare || TypesInOtherPrograms(ParseHotKeyText(text))) {
    // A key without modifiers (Esc, F5) or one that types (Shift+A), registered
    // system-wide, would be taken from every other program for as long as the launcher
    // runs: it hides the launcher only while the launcher has the keyboard focus, as a
    // shortcut of the window.
    hide_.UnregisterKey();
    localHideKey_ = key.KeyCode();
  } else {
    hide_.RegisterKey();
  }
}

void TShowHideKeys::Release() {
  show_.UnregisterKey();
  hide_.UnregisterKey();
  localHideKey_ = 0;
}

bool TShowHideKeys::IsLocalHideKey(const MSG& msg) const {
  if (localHideKey_ == 0 || (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN)) return false;
  if (msg.wParam != static_cast<WPARAM>(localHideKey_)) return false;
  if (msg.hwnd != window_ && !IsChild(window_, msg.hwnd)) return false;
  // With another modifier held it is another key (Shift+Esc), not the hide key.
  if ((GetKeyState(VK_SHIFT) < 0) != localHideShift_) return false;
  for (int modifier : {VK_CONTROL, VK_MENU, VK_LWIN, VK_RWIN}) {
    if (GetKeyState(modifier) < 0) return false;
  }
  return hide_.Enabled();
}

}  // namespace vl
