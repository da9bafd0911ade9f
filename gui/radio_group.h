// TRadioGroup: a group box holding one column of radio buttons, one of which (or none) is
// chosen, told by its item index (-1 = none).
//
// The items share the box's height evenly below its caption. The arrow keys move the
// choice within the group; Tab enters it on the chosen item. OnClick comes when the user
// picks an item, not when code sets the index. The object owns the box and the items.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/controls.h"

namespace vl {

class TRadioGroup {
 public:
  TRadioGroup(const ControlParams& params, const std::vector<std::wstring>& items);
  ~TRadioGroup();
  TRadioGroup(const TRadioGroup&) = delete;
  TRadioGroup& operator=(const TRadioGroup&) = delete;

  int ItemIndex() const;
  // An index outside the items clears the choice.
  void SetItemIndex(int index);
  int Count() const { return static_cast<int>(items_.size()); }
  HWND Item(int index) const;
  HWND Handle() const { return box_.Handle(); }
  void SetEnabled(bool enabled);
  std::function<void()> OnClick;

 private:
  class TRadioItem;
  void ItemClicked();
  // Only the chosen item (or the first, with none chosen) takes the focus from Tab.
  void UpdateTabStops();

  TGroupBox box_;
  std::vector<std::unique_ptr<TRadioItem>> items_;
};

}  // namespace vl
