// TSimpleTimerHandler: the one hidden window of the process at which every TSimpleTimer
// ticks.
//
// Acquire hands out shares: the first creates the window, and the window goes with the
// last share. Each timer holds one from its construction to its destruction. A tick finds
// its timer in the table of live timers, so a tick of a timer that is already gone is
// dropped. GUI thread only.
#pragma once

#include <memory>
#include <set>

#include "gui/message_window.h"
#include "gui/shared_window.h"

namespace vl {

class TSimpleTimer;

class TSimpleTimerHandler : public TMessageWindow,
                            public TSharedWindow<TSimpleTimerHandler> {
 public:
  void Add(TSimpleTimer* timer) { timers_.insert(timer); }
  void Remove(TSimpleTimer* timer) { timers_.erase(timer); }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  friend class TSharedWindow<TSimpleTimerHandler>;
  TSimpleTimerHandler();

  std::set<TSimpleTimer*> timers_;  // we don't own them
};

}  // namespace vl
