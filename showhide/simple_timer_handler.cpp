#include "showhide/simple_timer_handler.h"

#include "showhide/simple_timer.h"

namespace vl {

TSimpleTimerHandler::TSimpleTimerHandler() : TMessageWindow(L"TSimpleTimerHandler") {}

LRESULT TSimpleTimerHandler::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_TIMER) return DefaultHandler(msg, wParam, lParam);
  auto* timer = reinterpret_cast<TSimpleTimer*>(wParam);
  if (timers_.count(timer) == 0) return 0;
  // The tick may release the last timer, and with it this window and object; the share
  // held here lets that happen only after the tick has returned.
  std::shared_ptr<TSimpleTimerHandler> keep = shared_from_this();
  timer->Tick();
  return 0;
}

}  // namespace vl
