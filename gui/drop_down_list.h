// TDropDownList: a TComboBox with its label on its left, as TLabeledEdit has it. Its
// rectangle is the closed box; the open list shows every choice without a scroll bar, at
// every DPI.
#pragma once

#include <initializer_list>

#include "gui/combo_box.h"

namespace vl {

class TDropDownList : private detail::LabelFirst, public TComboBox {
 public:
  // params.text is the label's caption.
  TDropDownList(const ControlParams& params, std::initializer_list<const wchar_t*> choices);
  void Rescaled() override;
  const TLabel& ListLabel() const { return label_; }

 private:
  // The window's height, which a drop-down box takes for its open list, made to hold them all.
  void FitOpenList();
  int count_ = 0;
};

}  // namespace vl
