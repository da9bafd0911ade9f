// TDropHint: the faint 「ここにドロップ」 on the empty buttons of the first page while no
// page holds a bound button, so that a first start tells how a button is bound. It goes
// with the first binding found (a drop, an import, the button dialog, a file taken up that
// has one) and does not come back in this run, whatever is cleared later. Nothing of it is
// written to the settings file: a file whose buttons were all cleared looks, at the next
// start, like a first start, and shows it again.
//
// The pages are the page set's; the hint holds none of them between calls, only the Id of
// the page it was put on.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "app/page.h"

namespace vl {

inline constexpr wchar_t kDropHintText[] = L"ここにドロップ";

class TDropHint {
 public:
  // Puts the hint on, or takes it off, as the pages are now: after they were built,
  // rebuilt, added or changed.
  void Renew(const std::vector<std::unique_ptr<TPage>>& pages);
  // The binding has been seen: the hint is gone for the rest of the run.
  bool Retired() const { return retired_; }

 private:
  static void Put(TPage& page, bool on);

  bool retired_ = false;
  std::uint64_t shownOn_ = 0;  // the Id of the page that shows it; 0: none
};

}  // namespace vl
