#include "showhide/simple_timer.h"

#include "gui/application.h"
#include "showhide/simple_timer_handler.h"

namespace vl {

TSimpleTimer::TSimpleTimer(TickEvent onTick)
    : handler_(TSimpleTimerHandler::Acquire()), onTick_(std::move(onTick)) {
  handler_->Add(this);
}

TSimpleTimer::~TSimpleTimer() {
  if (active_) Stop();
  if (destroyedDuringTick_) *destroyedDuringTick_ = true;
  handler_->Remove(this);
}

bool TSimpleTimer::Start(UINT intervalMs) {
  if (active_) Stop();
  interval_ = intervalMs;
  active_ = SetTimer(handler_->Handle(), Id(), intervalMs, nullptr) != 0;
  return active_;
}

bool TSimpleTimer::Stop() {
  active_ = false;
  return KillTimer(handler_->Handle(), Id()) != FALSE;
}

void TSimpleTimer::Tick() {
  if (inTick_ || !onTick_) return;
  // The tick may destroy its own timer (its owner goes away in the event it raises):
  // after that nothing here may be touched.
  bool destroyed = false;
  struct EndOfTick {
    TSimpleTimer* timer;
    const bool& destroyed;
    ~EndOfTick() {
      if (destroyed) return;
      timer->inTick_ = false;
      timer->destroyedDuringTick_ = nullptr;
    }
  } endOfTick{this, destroyed};
  inTick_ = true;
  destroyedDuringTick_ = &destroyed;
  try {
    TickEvent onTick = onTick_;
    onTick();
  } catch (...) {
    // Reported here, inside the tick, so that the ticks that come while the error box is
    // open are skipped instead of failing again underneath it.
    TApplication::Instance().ShowCurrentException();
  }
}

}  // namespace vl
