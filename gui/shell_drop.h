// TShellDrop: a top-level window as a drop target of the shell (OLE), so that what a drag
// hands over as a shell item list reaches the windows inside it that accept dropped files.
//
// The Start menu's app list, the Apps folder and the shell's own folders hand over items
// that are no files (a Store app, "ダウンロード", a control panel page): a window that only
// accepts files (DragAcceptFiles) never sees them. Registered once for the whole window
// (the system looks for a drop target from the window under the pointer up through its
// parents), this takes every drag over it: over a child window that accepts files it
// offers a copy or a link, never a move, so the source keeps what it gave; elsewhere it
// refuses. The drop is posted to that child as WM_DROPFILES, the message a drop of files
// has always brought it, with files as their paths and other items by their parsing
// names ("::{...}\...", "shell:..."): the child handles both the one way, after the drag
// has ended, so a box it shows never holds up the program the drag came from.
// Files arrive as files still: where the data holds files, they are taken, not its items.
#pragma once

#include <ole2.h>

#include <memory>
#include <string>
#include <vector>

namespace vl {

class TShellDrop {
 public:
  // Registers `window` (on the GUI thread, OLE initialised); a refusal leaves the window
  // as it was, taking files the old way.
  explicit TShellDrop(HWND window);
  ~TShellDrop();
  TShellDrop(const TShellDrop&) = delete;
  TShellDrop& operator=(const TShellDrop&) = delete;

  bool Registered() const { return registered_; }

  // What `data` carries for a drop: its files, else the parsing names of its items; empty
  // when it holds neither.
  static std::vector<std::wstring> DroppedNames(IDataObject* data);

 private:
  class Target;
  HWND window_;
  std::unique_ptr<Target> target_;
  bool registered_ = false;
};

}  // namespace vl
