// TfrmBtnOption: the dialog "ボタンのプロパティ" that edits one launch button by hand: its
// name, its target (a path, or a shell name the shell opens), its working folder, how it
// starts (arguments, window size, always as administrator) and, optionally, an icon file
// other than the target.
//
// Created hidden at start after the main window, it lives until exit and is shown
// modeless. Each time it is shown it captures the page on display and that page's current
// button (by page number and button number, held while it stays open), has the page
// write what the user changed on it, and fills its fields from that button: 「別のアイコンを使う」
// ticked only for an icon file the user chose (not the target, nor the folder icon that a
// folder's drop gives it, which OK keeps as stored while the target stays), the greyed
// icon field showing the button's own target. OK finds the button again by number and
// compares it with what the dialog showed: changed meanwhile (a drop, the delete
// command), the change stands when nothing was edited here, else the dialog shows the
// button anew and says so. Otherwise OK writes the keys of the button (StoredButton) and
// then applies them to the live button and its face: a location makes the button bound,
// an empty one unbinds it. "キャンセル", Esc and the close box write nothing. A button or page
// that has gone by the time of OK is not touched: the dialog says so and closes.
//
// The dialog owns its controls and its own handle on the settings file; the host (the
// main window) owns the pages and their buttons.
#pragma once

#include <cstdint>
#include <optional>

#include "buttons/launch_btn.h"
#include "buttons/stored_button.h"
#include "core/ini_file.h"
#include "gui/common_dialogs.h"
#include "gui/controls.h"
#include "gui/dialog_form.h"
#include "gui/drop_down_list.h"

namespace vl {

// What the dialog needs of the window that holds the pages.
class TBtnOptionHost {
 public:
  struct ButtonRef {
    std::int32_t pageNo;
    std::int32_t btnIndex;
    bool operator==(const ButtonRef&) const = default;
  };
  // The page on display and its current button; nothing when there is no page or the
  // page's current button is not one it holds (none pressed yet, or beyond its grid).
  virtual std::optional<ButtonRef> CurrentButton() = 0;
  // The live button, or null when its page or the button itself has gone.
  virtual TLaunchBtn* FindButton(const ButtonRef& ref) = 0;
  // The page writes the buttons the user changed on it and the file does not have yet.
  virtual void SaveButtons(std::int32_t pageNo) = 0;
  // The dialog's OK is about to write the button's keys, and has written them.
  virtual void WillEdit(const ButtonRef& ref) { (void)ref; }
  virtual void ButtonEdited(const ButtonRef& ref) { (void)ref; }

 protected:
  ~TBtnOptionHost() = default;
};

class TfrmBtnOption : public TDialogForm {
 public:
  explicit TfrmBtnOption(TBtnOptionHost& host);

  // Shows the dialog for the host's current button. Open already on another button, it
  // turns to the current one (its edits are dropped, as "キャンセル" would).
  void Open();

  // Event handlers, public so that tests drive them as the controls do.
  // The page whose button (or which) the dialog holds while it is open.
  std::optional<std::int32_t> HeldPage() const {
    return Visible() && captured_ ? std::optional(captured_->pageNo) : std::nullopt;
  }
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
  // A button's values, or what OK would write.
  void Fill(const StoredButton& button);
  StoredButton Edited() const;
  StoredButton shown_;   // the button as the dialog was filled from it
  StoredButton filled_;  // what OK would have written right after the filling

 public:
  TGroupBox GroupBox1;
  TLabeledEdit lbeName;
  TLabeledEdit lbeLocate;
  TLabeledEdit lbeWorkDir;
  TLabeledEdit lbeArguments;
  TDropDownList cmbShow;
  TCheckBox chkAdmin;
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
