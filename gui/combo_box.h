// TComboBox: a drop-down list (a COMBOBOX of style CBS_DROPDOWNLIST), the one choice of a
// few fixed items. Owns its window as every TControl does; the rectangle's height is that
// of the field with its list dropped, as the control takes it.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>

#include "gui/controls.h"

namespace vl {

class TComboBox : public TControl {
 public:
  // params.text is unused: the items are the texts offered, in their order.
  TComboBox(const ControlParams& params, std::initializer_list<const wchar_t*> items);
  // The chosen item's index; -1 while none is.
  int ItemIndex() const;
  // Chooses the item (-1: none) without raising OnChange, as a filling does.
  void SetItemIndex(int index);
  // The user chose another item.
  std::function<void()> OnChange;

 protected:
  void Command(WORD code) override;
};

}  // namespace vl
