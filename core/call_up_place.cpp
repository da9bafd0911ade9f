#include "core/call_up_place.h"

#include <algorithm>
#include <limits>

namespace vl {
namespace {

// Moved without a change of size wholly into `work`, or to its top left corner when larger.
ScreenRect KeepInside(const ScreenRect& work, ScreenRect r) {
  const std::int32_t width = r.Width(), height = r.Height();
  r.left = std::max(work.left, std::min(r.left, work.right - width));
  r.top = std::max(work.top, std::min(r.top, work.bottom - height));
  r.right = r.left + width;
  r.bottom = r.top + height;
  return r;
}

std::int64_t Overlap(const ScreenRect& a, const ScreenRect& b) {
  const std::int64_t w = std::min(a.right, b.right) - std::max(a.left, b.left);
  const std::int64_t h = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
  return w > 0 && h > 0 ? w * h : 0;
}

// Squared distance from the point to the rectangle (0 inside; right and bottom excluded,
// as the system counts a monitor's pixels).
std::int64_t DistanceSquared(const ScreenRect& r, ScreenPoint p) {
  const std::int64_t dx = p.x < r.left ? r.left - p.x : p.x >= r.right ? p.x - (r.right - 1) : 0;
  const std::int64_t dy = p.y < r.top ? r.top - p.y : p.y >= r.bottom ? p.y - (r.bottom - 1) : 0;
  return dx * dx + dy * dy;
}

std::int32_t Scale(std::int32_t length, std::int32_t to, std::int32_t from) {
  return from > 0 ? static_cast<std::int32_t>((static_cast<std::int64_t>(length) * to + from / 2) / from) : length;
}

}  // namespace

std::size_t MonitorAtPoint(std::span<const MonitorArea> monitors, ScreenPoint point) {
  std::size_t best = 0;
  std::int64_t nearest = std::numeric_limits<std::int64_t>::max();
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    const std::int64_t d = DistanceSquared(monitors[i].area, point);
    if (d < nearest) {
      nearest = d;
      best = i;
    }
  }
  return best;
}

WindowPlace PlaceAtPointer(std::span<const MonitorArea> monitors, ScreenPoint pointer, std::int32_t width,
                           std::int32_t height, std::int32_t dpi) {
  WindowPlace place;
  place.dpi = dpi;
  if (monitors.empty()) {
    place.rect = {pointer.x - width / 2, pointer.y - height / 2, pointer.x - width / 2 + width,
                  pointer.y - height / 2 + height};
    return place;
  }
  const MonitorArea& monitor = monitors[MonitorAtPoint(monitors, pointer)];
  // Laid out at the monitor's DPI, the window is larger or smaller by that much.
  width = Scale(width, monitor.dpi, dpi);
  height = Scale(height, monitor.dpi, dpi);
  const std::int32_t left = pointer.x - width / 2, top = pointer.y - height / 2;
  place.rect = KeepInside(monitor.work, {left, top, left + width, top + height});
  place.dpi = monitor.dpi;
  return place;
}

ScreenRect PlaceOnScreen(std::span<const MonitorArea> monitors, const ScreenRect& rect) {
  const MonitorArea* home = nullptr;
  std::int64_t most = 0;
  for (const MonitorArea& m : monitors) {
    if (const std::int64_t overlap = Overlap(m.area, rect); overlap > most) {
      most = overlap;
      home = &m;
    }
  }
  if (!home) {
    // On no monitor: the primary one, which every layout has.
    auto primary = std::find_if(monitors.begin(), monitors.end(), [](const MonitorArea& m) { return m.primary; });
    if (primary == monitors.end()) {
      if (monitors.empty()) return rect;
      primary = monitors.begin();
    }
    home = &*primary;
  }
  return KeepInside(home->work, rect);
}

}  // namespace vl
