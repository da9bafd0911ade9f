#include "gui/combo_box.h"

#include <commctrl.h>

#include "gui/platform/platform_error.h"

namespace vl {

TComboBox::TComboBox(const ControlParams& params, std::initializer_list<const wchar_t*> items)
    : TControl({params.parent, params.rect, L"", params.font}, WC_COMBOBOXW,
               CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP) {
  for (const wchar_t* item : items)
    if (SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item)) < 0) ThrowLastError(L"CB_ADDSTRING");
}

int TComboBox::ItemIndex() const { return static_cast<int>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0)); }

void TComboBox::SetItemIndex(int index) { SendMessageW(Handle(), CB_SETCURSEL, index, 0); }

void TComboBox::Command(WORD code) {
  if (code == CBN_SELCHANGE && OnChange) OnChange();
}

}  // namespace vl
