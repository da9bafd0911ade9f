// TSimpleTimer: a repeating timer without a window of its own.
//
// Every timer of the process ticks at the one shared TSimpleTimerHandler window, which the
// first timer creates and the last one releases. Start restarts a running timer with the
// new interval; the timer repeats until Stop, so a one-shot use stops it in its own tick.
// A tick does not start again while the previous tick of the same timer is still running
// (for example while it shows a message box). An exception raised by the tick is shown in
// the application's error report, and the timer's ticks are skipped while it is open.
// GUI thread only.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

namespace vl {

class TSimpleTimerHandler;

class TSimpleTimer {
 public:
  using TickEvent = std::function<void()>;

  explicit TSimpleTimer(TickEvent onTick);
  ~TSimpleTimer();
  TSimpleTimer(const TSimpleTimer&) = delete;
  TSimpleTimer& operator=(const TSimpleTimer&) = delete;

  // Stops the timer if it runs, then starts it with `intervalMs`; false when the system
  // refuses the timer.
  bool Start(UINT intervalMs);
  // False when the timer was not running.
  bool Stop();

  bool Active() const { return active_; }
  UINT Interval() const { return interval_; }

 private:
  friend class TSimpleTimerHandler;
  // The object's address is the timer identifier, so a tick names its timer directly.
  UINT_PTR Id() const { return reinterpret_cast<UINT_PTR>(this); }
  void Tick();

  std::shared_ptr<TSimpleTimerHandler> handler_;
  TickEvent onTick_;
  bool active_ = false;
  UINT interval_ = 0;
  bool inTick_ = false;
  bool* destroyedDuringTick_ = nullptr;
};

}  // namespace vl
