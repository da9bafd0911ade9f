// TfrmBtnOption: the dialog "ボタンのプロパティ" that edits one launch button by hand: its
// name, its target, its working folder and, optionally, an icon file other than the target.
//
// Created hidden at start after the main window, it lives until exit and is shown
// modeless. Each time it is shown it captures the page on display and that page's current
// button (by page number and button number, held while it stays open), has the page
// write all its buttons, and fills its fields from the settings file. OK writes the four
// keys of the button and then applies them to the live button and its face; "キャンセル"
// and the close box write nothing. A button or page that has gone by the time of OK is
// not touched: the dialog says so and closes.
//
// The dialog owns its controls and its own handle on the settings file; the host (the
// main window) owns the pages and their buttons.
#pragma once

#include <cstdint>
#include <optional>

#include "buttons/launch_btn.h"
#include "core/ini_file.h"
#include "gui/common_dialogs.h"
#include "gui/controls.h"
#include "gui/dialog_form.h"

namespace vl {

// What the dialog needs of the window that holds the pages.
class TBtnOptionHost {
 public:
  struct ButtonRef {
    std::int32_t pageNo;
    std::int32_t btnIndex;
  };
  // The page on display and its current button; nothing when there is no page or the
  // page's current button is not one it holds (none pressed yet, or beyond its grid).
  virtual std::optional<ButtonRef> CurrentButton() = 0;
  // The live button, or null when its page or the button itself has gone.
  virtual TLaunchBtn* FindButton(const ButtonRef& ref) = 0;
  // The page writes the live values of all its buttons to the settings file.
  virtual void SaveButtons(std::int32_t pageNo) = 0;

 protected:
  ~TBtnOptionHost() = default;
};

class TfrmBtnOption : public TDialogForm {
 public:
  explicit TfrmBtnOption(TBtnOptionHost& host);

  // Event handlers, public so that tests drive them as the controls do.
  void FormShow();
  void chkIsUseIconClick();
  void BtnBrowsClick();
  void BtnBrows2Click();
  void BtnOkClick();
  void BtnCancelClick();

 private:
  // Before the controls: the buttons use the fonts, and the dialog's handlers the rest.
  TBtnOptionHost& host_;
  TIniFile ini_;
  HFONT brows1Font_;  // the form owns them
  HFONT brows2Font_;
  std::optional<TBtnOptionHost::ButtonRef> captured_;  // at the last FormShow

 public:
  TGroupBox GroupBox1;
  TLabeledEdit lbeName;
  TLabeledEdit lbeLocate;
  TLabeledEdit lbeWorkDir;
  TButton BtnBrows;
  TGroupBox GroupBox2;
  TCheckBox chkIsUseIcon;
  TButton BtnBrows2;
  TLabeledEdit lbeIconLocate;
  TButton BtnCancel;
  TButton BtnOk;
  TOpenDialog OpenDialog;
};

}  // namespace vl
