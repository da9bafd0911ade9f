#include "app/target_sweep.h"

#include "app/page.h"
#include "app/page_set.h"

namespace vl {
namespace {

constexpr UINT kIntervalMs = USER_TIMER_MINIMUM;
// The time one slice may take: short enough that a key pressed meanwhile is answered at
// once, long enough that a large page is done within a few tenths of a second.
constexpr double kSliceMs = 4.0;

double NowMs() {
  LARGE_INTEGER t, f;
  QueryPerformanceCounter(&t);
  QueryPerformanceFrequency(&f);
  return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

}  // namespace

TTargetSweep::TTargetSweep(HWND window, const TPageSet& pages)
    : window_(window), pages_(pages), timer_([this] { Slice(); }) {}

void TTargetSweep::Start() {
  const TPage* page = pages_.OnDisplay();
  if (!page) return;
  pageId_ = page->Id();
  next_ = 1;
  timer_.Start(kIntervalMs);
}

void TTargetSweep::Slice() {
  TPage* page = pages_.OnDisplay();
  // Put away, or another page on display (built just now, it looked at its targets then).
  if (!IsWindowVisible(window_) || !page || page->Id() != pageId_) {
    timer_.Stop();
    return;
  }
  const double end = NowMs() + kSliceMs;
  while (next_ <= page->BtnCount()) {
    if (TLaunchBtn* button = page->Button(next_++)) button->CheckTarget();
    if (NowMs() >= end) return;
  }
  timer_.Stop();
}

}  // namespace vl
