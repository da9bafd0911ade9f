// TfrmAbout: the version box "バージョン情報": a tab with the product's title, its version
// (from the version resource) and a button to the author's page, and a tab "更新履歴"
// with the history file.
//
// Created hidden at start and living until exit, shown modeless. The history file is read
// once, at creation, in the ANSI code page; when it cannot be opened, the error box says
// so, the box is made all the same and the history tab shows "Memo1". The form owns its
// controls; OK and the close box hide it.
#pragma once

#include "core/path_text.h"
#include "gui/controls.h"
#include "gui/dialog_form.h"
#include "gui/page_control.h"

namespace vl {

// "History.txt" in the executable's folder, wherever the program was started from.
PathString HistoryFilePath();

class TfrmAbout : public TDialogForm {
 public:
  explicit TfrmAbout(const PathString& historyFile = HistoryFilePath());

  void FormCreate(const PathString& historyFile);
  void Button1Click();
  void Button2Click();

 private:
  HFONT titleFont_;  // the form owns it; made before the controls that use it
  bool built_ = false;    // the controls below exist

 public:
  TPageControl PageControl1;
  TTabSheet& TabSheet1;
  TTabSheet& TabSheet3;
  TLabel StaticText1;
  TLabel Label1;
  TLabel Label2;
  TButton Button2;
  TMemo Memo1;
  TButton Button1;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace vl
