#include "showhide/simple_timer_handler.h"

#include "showhide/simple_timer.h"

namespace vl {
namespace {
std::weak_ptr<TSimpleTimerHandler>& Shared() {
  static std::weak_ptr<TSimpleTimerHandler> shared;
  return shared;
}
}  // namespace

TSimpleTimerHandler::TSimpleTimerHandler() : TMessageWindow(L"TSimpleTimerHandler") {}

std::shared_ptr<TSimpleTimerHandler> TSimpleTimerHandler::Acquire() {
  std::shared_ptr<TSimpleTimerHandler> handler = Shared().lock();
  if (!handler) {
    handler.reset(new TSimpleTimerHandler());
    Shared() = handler;
  }
  return handler;
}

HWND TSimpleTimerHandler::Current() {
  std::shared_ptr<TSimpleTimerHandler> handler = Shared().lock();
  return handler ? handler->Handle() : nullptr;
}

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
