// TfrmPageOption: the dialog "ページのプロパティ" that edits one page: its name, its grid of
// buttons (rows and columns), the size of its buttons, what they show and their font (a
// face and a size: the font dialog offers no style, which the page would not keep).
//
// Created hidden at start after the main window, it lives until exit and is shown
// modeless. Each time it is shown it captures the page of the selected tab (by page
// number, held while it stays open) and fills its controls from the page's section of
// the settings file. OK checks the values (a refusal's box answered, the field at fault
// has the focus), asks before a smaller grid drops registered buttons (counted at OK: a
// file dropped while the dialog is open counts too), writes the keys of the page the user
// changed in one write and, when anything shown has changed, has the page rebuild itself from the
// file and renames its tab. "キャンセル", Esc and the close box write nothing.
//
// What it refuses (the dialog stays open, nothing written): an empty name; rows or
// columns below 1 or above the page's limit; button sizes outside the page's limits. The
// page's caption colour is not offered: OK leaves the colour the page has. A page
// deleted while the dialog is open is not touched by OK: the dialog says so and closes.
// Filled while the file could not be read, the controls hold defaults: OK then fills them
// again and raises the write error rather than write them.
//
// The dialog owns its controls and its own handle on the settings file; the host (the
// main window) owns the pages.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/ini_file.h"
#include "gui/common_dialogs.h"
#include "gui/controls.h"
#include "gui/dialog_form.h"
#include "gui/radio_group.h"
#include "gui/spin_edit.h"

namespace vl {

// What the dialog needs of the window that holds the pages.
class TPageOptionHost {
 public:
  struct PageRef {
    std::int32_t pageNo;
    int tabIndex;
  };
  // The page of the selected tab; nothing when there is none.
  virtual std::optional<PageRef> CurrentPage() = 0;
  virtual bool HasPage(std::int32_t pageNo) = 0;
  // How many of the page's buttons above number n are bound to a target now; nothing
  // when the page is gone.
  virtual std::optional<std::int32_t> CountRegisteredPast(std::int32_t pageNo, std::int32_t n) = 0;
  // The page rebuilds itself from its section (grid, buttons, font, display type), its
  // tab takes the caption, and the main window is hidden and shown again at its new size.
  virtual void RebuildPage(std::int32_t pageNo, const std::wstring& caption) = 0;
  // The dialog's OK is about to write the page's own keys.
  virtual void WillRewrite(std::int32_t pageNo) { (void)pageNo; }

 protected:
  ~TPageOptionHost() = default;
};

class TfrmPageOption : public TDialogForm {
 public:
  explicit TfrmPageOption(TPageOptionHost& host);

  // Event handlers, public so that tests drive them as the controls do.
  // The page whose button (or which) the dialog holds while it is open.
  std::optional<std::int32_t> HeldPage() const {
    return Visible() && captured_ ? std::optional(captured_->pageNo) : std::nullopt;
  }
  void FormShow();
  void Button3Click();
  void Button2Click();
  void Button1Click();

 private:
  // The values as the controls show them, to tell at OK whether anything changed.
  struct Shown {
    std::wstring name;
    std::int32_t yoko, tate, btnH, btnW;
    int showType;
    std::wstring fontName, fontSize;
    bool operator==(const Shown&) const = default;
  };
  Shown Current() const;
  // The message for values the page cannot build, and the field at fault; an empty
  // message when they are fine.
  struct Refused {
    std::wstring message;
    HWND field = nullptr;
  };
  Refused Refusal(const Shown& values) const;

  // Before the controls: the dialog's handlers use them.
  TPageOptionHost& host_;
  TIniFile ini_;
  bool filledBlind_ = false;  // the last filling missed the file: OK writes nothing
  std::optional<TPageOptionHost::PageRef> captured_;  // at the last FormShow
  Shown shown_{};

 public:
  TLabeledEdit lbeName;
  TGroupBox GroupBox2;
  TLabel Label1;
  TSpinEdit spnTate;  // rows
  TLabel lblTateUnit;
  TLabel Label2;
  TSpinEdit spnYoko;  // columns
  TLabel lblYokoUnit;
  TGroupBox GroupBox3;
  TLabel Label3;
  TSpinEdit spnHeight;
  TLabel lblHeightUnit;
  TLabel Label4;
  TSpinEdit spnWidth;
  TLabel lblWidthUnit;
  TRadioGroup rgShowType;
  TGroupBox GroupBox1;
  TLabel lblFontName;
  TLabel lblFontSize;
  TButton Button3;
  TButton Button2;
  TButton Button1;
  TFontDialog FontDialog;
};

}  // namespace vl
