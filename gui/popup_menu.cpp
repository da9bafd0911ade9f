#include "gui/popup_menu.h"

#include "gui/application.h"
#include "gui/platform/platform_error.h"

namespace vl {
namespace {
// Item i carries the command identifier i + 1, because 0 is what TrackPopupMenuEx
// returns when the menu closes without a choice.
UINT CommandOf(int index) { return static_cast<UINT>(index) + 1; }
}  // namespace

TPopupMenu::TPopupMenu() : menu_(CreatePopupMenu()) {
  if (!menu_) ThrowLastError(L"CreatePopupMenu");
}

int TPopupMenu::Add(std::wstring caption, ClickEvent onClick, std::wstring shortcut) {
  Item item;
  item.separator = caption == L"-";
  item.caption = std::move(caption);
  item.shortcut = std::move(shortcut);
  item.onClick = std::move(onClick);
  const int index = Count();
  BOOL ok;
  if (item.separator) {
    ok = AppendMenuW(menu_.get(), MF_SEPARATOR, CommandOf(index), nullptr);
  } else {
    std::wstring text = item.shortcut.empty() ? item.caption : item.caption + L"\t" + item.shortcut;
    ok = AppendMenuW(menu_.get(), MF_STRING, CommandOf(index), text.c_str());
  }
  if (!ok) ThrowLastError(L"AppendMenu");
  items_.push_back(std::move(item));
  return index;
}

void TPopupMenu::SetCaption(int index, std::wstring caption) {
  Item& item = items_.at(index);
  std::wstring text = item.shortcut.empty() ? caption : caption + L"\t" + item.shortcut;
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STRING;
  info.dwTypeData = text.data();
  if (!SetMenuItemInfoW(menu_.get(), CommandOf(index), FALSE, &info)) ThrowLastError(L"SetMenuItemInfo");
  item.caption = std::move(caption);
}

void TPopupMenu::SetChecked(int index, bool checked) {
  items_.at(index).checked = checked;
  CheckMenuItem(menu_.get(), CommandOf(index), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void TPopupMenu::SetEnabled(int index, bool enabled) {
  items_.at(index).enabled = enabled;
  EnableMenuItem(menu_.get(), CommandOf(index), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void TPopupMenu::SetImage(int index, UniqueBitmap image) {
  Item& item = items_.at(index);
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_BITMAP;
  info.hbmpItem = image.get();
  if (!SetMenuItemInfoW(menu_.get(), CommandOf(index), FALSE, &info)) ThrowLastError(L"SetMenuItemInfo");
  item.image = std::move(image);  // after the menu has let go of the one before
}

void TPopupMenu::SetDefault(int index) {
  items_.at(index);  // range check before the menu changes
  default_ = index;
  SetMenuDefaultItem(menu_.get(), CommandOf(index), FALSE);
}

bool TPopupMenu::Click(int index) {
  const Item& item = items_.at(index);
  if (item.separator || !item.enabled) return false;
  // A copy: the handler may change the menu, and with it the vector that holds the item.
  ClickEvent onClick = item.onClick;
  if (onClick) onClick();
  return true;
}

void TPopupMenu::Popup(int x, int y) {
  ++open_;
  const UINT command = static_cast<UINT>(
      TrackPopupMenuEx(menu_.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD,
                       x, y, TApplication::Instance().OwnerWindow(), nullptr));
  --open_;
  if (command >= 1 && command <= static_cast<UINT>(Count())) Click(static_cast<int>(command) - 1);
}

}  // namespace vl
