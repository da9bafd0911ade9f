// TPageTransfer: 「ページの書き出し…」 and 「ページの読み込み…」 of the page strip's menu. The
// page on display goes to a page file (core/page_file.h) that the user names, and a page
// file the user picks comes in as a new page.
//
// Both ask for the file in a system dialog, which runs messages: meanwhile the page may be
// closed, released or rebuilt, or the settings file taken up again. The export holds the
// page's Id across its dialog and reads the page's section only after it; the import reads
// the settings file only after its dialog. Made once by the main window, which owns it;
// it calls the settings file, the page set and the page strip, which outlive it.
#pragma once

#include <windows.h>

#include "app/page_set.h"
#include "core/ini_file.h"
#include "gui/common_dialogs.h"
#include "gui/page_control.h"

namespace vl {

class TPageTransfer {
 public:
  TPageTransfer(HWND owner, TIniFile& ini, TPageSet& pages, TPageControl& strip);
  TPageTransfer(const TPageTransfer&) = delete;
  TPageTransfer& operator=(const TPageTransfer&) = delete;

  // The page on display, its buttons first saved, written to a file the user names: every
  // key line of its section, in file order. A refused save of the buttons raises the
  // write error and exports nothing; a page file that cannot be written is said.
  void Export();
  // A page file the user picks, added to the settings file as a new page in one write of
  // it, its tab the last one and selected. Returns whether a page came; the caller then
  // fits the window to it. A file that cannot be read or is no page is said, and nothing
  // is written; a refused settings file raises the write error.
  bool Import();

 private:
  HWND owner_;  // the main window; we don't own it
  TIniFile& ini_;
  TPageSet& pages_;
  TPageControl& strip_;
  TSaveDialog saveDialog_;
  TOpenDialog openDialog_;
};

}  // namespace vl
