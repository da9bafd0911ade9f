// TPopupMenu: a context menu of captioned items, opened at a screen point.
//
// The menu owns its HMENU for its whole life; items are added in menu order and keep
// their index. Popup runs the system's menu loop and returns when the menu closes, after
// the chosen item's OnClick has run. An exception raised by OnClick goes on to the window
// procedure that opened the menu, where the application reports it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "gui/platform/handles.h"

namespace vl {

struct MenuTraits {
  using Handle = HMENU;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { DestroyMenu(h); }
};
using UniqueMenu = UniqueHandle<MenuTraits>;

class TPopupMenu {
 public:
  using ClickEvent = std::function<void()>;

  TPopupMenu();
  TPopupMenu(const TPopupMenu&) = delete;
  TPopupMenu& operator=(const TPopupMenu&) = delete;

  // Appends an item and returns its index. The caption "-" makes a separator; `shortcut`
  // is shown right-aligned (for example "Esc") and does nothing by itself.
  int Add(std::wstring caption, ClickEvent onClick = {}, std::wstring shortcut = {});

  int Count() const { return static_cast<int>(items_.size()); }
  const std::wstring& Caption(int index) const { return items_.at(index).caption; }
  // The item's caption, its shortcut kept.
  void SetCaption(int index, std::wstring caption);
  void SetChecked(int index, bool checked);
  bool Checked(int index) const { return items_.at(index).checked; }
  void SetEnabled(int index, bool enabled);
  // Shows a small picture beside the item's caption; the menu keeps the bitmap.
  void SetImage(int index, UniqueBitmap image);
  HBITMAP Image(int index) const { return items_.at(index).image.get(); }
  // The default item is drawn bold; at most one item has the flag.
  void SetDefault(int index);
  int DefaultIndex() const { return default_; }

  // Runs the item's OnClick as if it had been chosen; false for a disabled item or a
  // separator.
  bool Click(int index);

  // Opens the menu with its top left corner at (x, y) and returns when it closes. The
  // application's owner window owns the menu while it is open, so the caller makes that
  // window foreground first (otherwise the menu does not close when the user clicks
  // elsewhere).
  void Popup(int x, int y);
  // Whether a menu of ours is open now (its menu loop runs): what it was opened for (the
  // items enabled, the button under it) must not change under it.
  static bool AnyOpen() { return open_ > 0; }

  // Whether the owner opens the menu by itself (for example on a right click).
  bool AutoPopup = true;

  HMENU Handle() const { return menu_.get(); }

 private:
  struct Item {
    std::wstring caption;
    std::wstring shortcut;
    ClickEvent onClick;
    bool checked = false;
    bool enabled = true;
    bool separator = false;
    UniqueBitmap image;
  };

  UniqueMenu menu_;
  std::vector<Item> items_;
  int default_ = -1;
  static inline int open_ = 0;
};

}  // namespace vl
