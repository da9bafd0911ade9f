// TfrmSetting: the settings dialog "環境設定": whether deleting a button or a page asks
// first, whether the launcher hides after a launch, whether a drop from the launcher's
// drive is bound by a path relative to it, the shake gesture, the two hot keys and whether
// a call-up shows on the pointer's monitor (all in the section "Setting" of the settings
// file), the start-up shortcut, and on the sheet "表示" the launcher's theme
// (dialogs/appearance_tab).
//
// Created hidden at start after the main window and living until exit, shown modeless.
// Each time it is shown it fills its controls from the file ("AskBeforeDelBtn" ticked
// while absent, as the delete command asks then). With "ホットキーを使う" ticked, OK first
// refuses a hot-key text that names no single key, and a show key that would take a
// typing key from every program: the box says why, the field is selected, nothing is
// written and the keys in force stay. Then OK writes, in one write, the options the user
// changed since the filling, and only those (a file that never had "PortablePaths" keeps
// not having it, and a value another PC synced in meanwhile stands), and applies the
// shake gesture (on or off, and its values), the place of a call-up and the hot keys to
// the running launcher:
// ticked, both keys are registered anew from their texts; cleared, both are released
// (and the launcher registers none at its next start). A hot key the system
// refuses stops OK there, with the file already written, and leaves the dialog open; the
// error box says which key. The restore-defaults buttons write their three keys at once
// and touch nothing that runs. The first tab shows whether the launcher is registered to
// start at logon (the link in the Startup folder, looked at each time the dialog is shown
// and after each of the two buttons), and only the button that would change that is
// usable; each button says what it did, or what went wrong and what the user can do.
// "キャンセル", Esc and the close box write nothing. Filled
// while the file could not be read, the controls hold defaults: OK then fills them again
// and raises the write error rather than write them.
//
// The dialog owns its controls and its own handle on the settings file; the host (the
// main window) owns the shake values and the hot keys.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/ini_file.h"
#include "dialogs/appearance_tab.h"
#include "gui/controls.h"
#include "gui/dialog_form.h"
#include "gui/page_control.h"
#include "gui/spin_edit.h"

namespace vl {

// What the dialog changes in the running launcher.
class TSettingHost {
 public:
  // Values of 0 and below are ignored: the value in use stays.
  virtual void SetShakeSpeed(std::int32_t value) = 0;
  virtual void SetShakeTime(std::int32_t value) = 0;
  // The mouse watch on or off.
  virtual void SetUseShake(bool on) = 0;
  // Every call-up on the monitor under the pointer, or as before.
  virtual void SetShowAtPointer(bool on) = 0;
  // Register the key anew from its text; throw EWaitHotKey_Text for a text that cannot be
  // the key (nothing changes), EWaitHotKey_HotKey when the system refuses it.
  virtual void SetShowHotKey(std::wstring_view text) = 0;
  virtual void SetHideHotKey(std::wstring_view text) = 0;
  // Neither key answers any more, until one of the two setters above.
  virtual void ReleaseHotKeys() = 0;

 protected:
  ~TSettingHost() = default;
};

class TfrmSetting : public TDialogForm {
 public:
  explicit TfrmSetting(TSettingHost& host);

  // Event handlers, public so that tests drive them as the controls do.
  void FormShow();
  void cbUseShakeClick();
  void cbUseHotKeyClick();
  void btnBackShakeDefaultClick();
  void btnBackHotKeyDefaultClick();
  void btnOkClick();
  void Button1Click();
  void Button5Click();
  void Button2Click();
  // The start-up state shown above its two buttons, and only the button that would
  // change it usable.
  void RenewStartupState();

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  // Before the controls: the dialog's handlers use them.
  TSettingHost& host_;
  TIniFile ini_;
  bool filledBlind_ = false;  // the last filling missed the file: OK writes nothing
  bool built_ = false;  // the controls below exist
  // The options as the controls show them: at the last filling, and at OK.
  struct Options {
    bool askDelBtn = false, askDelPage = false, hideLaunch = false, portable = false, useShake = false,
         useHotKey = false, atPointer = false;
    std::wstring hide, show;
    std::int32_t time = 0, speed = 0;
  };
  Options Current() const;
  Options shown_;

 public:
  TPageControl PageControl1;
  TTabSheet& TabSheet1;
  TTabSheet& TabSheet2;
  TTabSheet& TabSheet3;

 private:
  const DesignRect sheet_;  // the sheets' area, which the tab row leaves

 public:
  // TabSheet1 "一般設定"
  TCheckBox cbAskDelBtn;
  TCheckBox cbAskDelPage;
  TCheckBox cbHideLaunch;
  TCheckBox cbPortablePaths;
  TLabel lblStartup;
  TButton Button5;
  TButton Button2;
  // TabSheet2 "呼び出し"
  TGroupBox GroupBox1;
  TCheckBox cbUseShake;
  TLabel Label1;
  TSpinEdit spnShakeTime;
  TLabel Label3;
  TLabel Label2;
  TSpinEdit spnShakeSpd;
  TLabel Label4;
  TButton btnBackShakeDefault;
  TGroupBox GroupBox2;
  TCheckBox cbUseHotKey;
  TLabeledEdit lbeShow;
  TLabeledEdit lbeHide;
  TButton btnBackHotKeyDefault;
  // TabSheet3 "表示"
  TAppearanceTab appearance;
  TCheckBox cbShowAtPointer;
  // Below the tabs
  TButton btnOk;
  TButton Button1;
};

}  // namespace vl
