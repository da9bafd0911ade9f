// TDropDownList: a list of fixed choices that drops down (a combo box the user cannot type
// into), with its label on its left as TLabeledEdit has it. The open list shows every
// choice without a scroll bar, at every DPI.
#pragma once

#include <initializer_list>

#include "gui/controls.h"

namespace vl {

class TDropDownList : private detail::LabelFirst, public TControl {
 public:
  // params.text is the label's caption; params.rect the closed box.
  TDropDownList(const ControlParams& params, std::initializer_list<const wchar_t*> choices);
  // The chosen one, from 0; -1 when none is.
  int Selected() const;
  void Select(int index);
  void SetEnabled(bool enabled) override;
  void Rescaled() override;
  const TLabel& ListLabel() const { return label_; }

 private:
  // The window's height, which a drop-down box takes for its open list, made to hold them all.
  void FitOpenList();
  int count_ = 0;
};

}  // namespace vl
