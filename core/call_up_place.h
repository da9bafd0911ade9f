// Where the launcher's window stands when it is shown: the rule over a layout of monitors,
// apart from the platform that reports the layout (gui/platform/work_area.cpp and
// app/call_up_place.cpp feed it what the system says).
//
// Two rules. Called up at the pointer: the monitor under the pointer (the nearest one
// when the pointer is in a gap between monitors), the window at that monitor's DPI,
// centred on the pointer and kept wholly inside that monitor's work area. At its own
// place: a window that still meets a monitor is kept inside the work area of the monitor
// it overlaps most; one that meets none (its monitor was taken away, a laptop undocked)
// comes into the primary monitor's work area, as near its old place as that allows. A
// window larger than the work area keeps its top left corner in it. Pure; no allocation.
#pragma once

#include <cstdint>
#include <span>

namespace vl {

struct ScreenPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

struct ScreenRect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  std::int32_t Width() const { return right - left; }
  std::int32_t Height() const { return bottom - top; }
};

struct MonitorArea {
  ScreenRect area;  // the whole monitor
  ScreenRect work;  // without the taskbar and other docked bars
  std::int32_t dpi = 96;
  bool primary = false;
};

struct WindowPlace {
  ScreenRect rect;         // where the window goes, at `dpi`
  std::int32_t dpi = 96;   // the DPI of the monitor it goes to
};

// The index of the monitor that holds the point, else of the nearest one; 0 for no
// monitors at all (callers pass at least one).
std::size_t MonitorAtPoint(std::span<const MonitorArea> monitors, ScreenPoint point);

// A window `width` x `height` at `dpi` (its DPI now) centred on the pointer.
WindowPlace PlaceAtPointer(std::span<const MonitorArea> monitors, ScreenPoint pointer, std::int32_t width,
                           std::int32_t height, std::int32_t dpi);

// The window at `rect` kept on screen.
ScreenRect PlaceOnScreen(std::span<const MonitorArea> monitors, const ScreenRect& rect);

}  // namespace vl
