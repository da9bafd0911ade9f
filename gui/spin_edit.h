// TSpinEdit: an edit for a whole number with an up-down control at its right edge.
//
// Minimum = maximum = 0 means no bounds; with bounds, Value and the arrows keep to them.
// Typing is limited to digits, "+", "-" and the locale's decimal separator; pasting is not
// filtered, so the text may hold anything, and a text that is not an integer reads as 0.
// The object owns the edit (through TControl) and the up-down window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "gui/controls.h"
#include "gui/platform/handles.h"
#include "gui/window_subclass.h"

namespace vl {

class TSpinEdit : public TEdit {
 public:
  explicit TSpinEdit(const ControlParams& params);
  ~TSpinEdit() override;

  std::int32_t MinValue() const { return min_; }
  std::int32_t MaxValue() const { return max_; }
  void SetBounds(std::int32_t minValue, std::int32_t maxValue);
  std::int32_t Value() const;
  void SetValue(std::int32_t value);
  void SetEnabled(bool enabled) override;
  HWND UpDown() const { return upDown_.get(); }

 private:
  bool Bounded() const { return min_ != 0 || max_ != 0; }
  std::int32_t Clamp(std::int32_t value) const;
  LRESULT EditMessage(UINT msg, WPARAM wParam, LPARAM lParam);

  UniqueWindow upDown_;
  std::unique_ptr<TWindowSubclass> filter_;
  std::int32_t min_ = 0, max_ = 0;
  wchar_t decimal_ = L'.';
};

}  // namespace vl
