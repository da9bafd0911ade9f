#include "core/call_up_place.h"

#include <gtest/gtest.h>

#include <vector>

namespace vl {
namespace {

// Layouts as a laptop and its docking station give them: the laptop's panel is the
// primary monitor at 144 DPI with the taskbar at its foot; the desk's monitor at 96 DPI
// stands to its left (negative coordinates) or to its right, lower, with its own taskbar.
const MonitorArea kLaptop{{0, 0, 1920, 1080}, {0, 0, 1920, 1032}, 144, true};
const MonitorArea kDeskLeft{{-2560, 0, 0, 1440}, {-2560, 0, 0, 1400}, 96, false};
const MonitorArea kDeskRight{{1920, 200, 3200, 1224}, {1920, 200, 3200, 1184}, 96, false};
const MonitorArea kSmall{{0, 0, 800, 600}, {0, 0, 800, 560}, 96, true};

struct PointerCase {
  const char* what;
  std::vector<MonitorArea> monitors;
  ScreenPoint pointer;
  std::int32_t width, height, dpi;  // the window now
  ScreenRect want;
  std::int32_t wantDpi;
};

TEST(CallUpPlace, CentredOnThePointerInsideItsMonitorsWorkArea) {
  const PointerCase cases[] = {
      {"centred on the pointer, same DPI", {kLaptop, kDeskLeft}, {960, 500}, 300, 200, 144,
       {810, 400, 1110, 600}, 144},
      {"to the desk's monitor: laid out at 96 DPI, two thirds the size", {kLaptop, kDeskLeft}, {-1280, 700}, 300, 210,
       144, {-1380, 630, -1180, 770}, 96},
      {"from 96 to 144 DPI: half as large again", {kDeskLeft, kLaptop}, {960, 500}, 200, 140, 96,
       {810, 395, 1110, 605}, 144},
      {"at the bottom right corner: up and left, above the taskbar", {kLaptop}, {1919, 1079}, 300, 200, 144,
       {1620, 832, 1920, 1032}, 144},
      {"at the shared edge, on the left monitor: stays on it", {kLaptop, kDeskLeft}, {-1, 300}, 200, 100, 96,
       {-200, 250, 0, 350}, 96},
      {"at the shared edge, on the primary: stays on it", {kLaptop, kDeskLeft}, {0, 300}, 300, 150, 144,
       {0, 225, 300, 375}, 144},
      {"in the gap below the lower monitor: the nearest one", {kLaptop, kDeskRight}, {2500, 1300}, 200, 100, 96,
       {2400, 1084, 2600, 1184}, 96},
      {"above the lower monitor, beside the laptop: the laptop is nearer", {kLaptop, kDeskRight}, {1950, 100}, 300,
       150, 144, {1620, 25, 1920, 175}, 144},
      {"larger than the work area: its top left corner in it", {kSmall}, {400, 300}, 1000, 700, 96,
       {0, 0, 1000, 700}, 96},
  };
  for (const PointerCase& c : cases) {
    const WindowPlace got = PlaceAtPointer(c.monitors, c.pointer, c.width, c.height, c.dpi);
    EXPECT_EQ(got.rect.left, c.want.left) << c.what;
    EXPECT_EQ(got.rect.top, c.want.top) << c.what;
    EXPECT_EQ(got.rect.right, c.want.right) << c.what;
    EXPECT_EQ(got.rect.bottom, c.want.bottom) << c.what;
    EXPECT_EQ(got.dpi, c.wantDpi) << c.what;
  }
}

struct StoredCase {
  const char* what;
  std::vector<MonitorArea> monitors;
  ScreenRect stored;
  ScreenRect want;
};

TEST(CallUpPlace, StoredPlaceKeptOnAMonitorThatIsThere) {
  const StoredCase cases[] = {
      {"inside a monitor: unchanged", {kLaptop, kDeskLeft}, {-900, 100, -600, 300}, {-900, 100, -600, 300}},
      {"on the desk's monitor, undocked: the primary's work area", {kLaptop}, {-900, 100, -600, 300},
       {0, 100, 300, 300}},
      {"beyond the right monitor that went: the primary, not the other one left", {kDeskLeft, kLaptop},
       {2400, 1200, 2700, 1400}, {1620, 832, 1920, 1032}},
      {"across two monitors: the one it overlaps most", {kLaptop, kDeskLeft}, {-250, 100, 50, 300},
       {-300, 100, 0, 300}},
      {"below a lowered resolution: back above the taskbar", {kSmall}, {600, 500, 900, 700}, {500, 360, 800, 560}},
      {"over the taskbar: moved above it", {kLaptop}, {100, 1000, 400, 1100}, {100, 932, 400, 1032}},
  };
  for (const StoredCase& c : cases) {
    const ScreenRect got = PlaceOnScreen(c.monitors, c.stored);
    EXPECT_EQ(got.left, c.want.left) << c.what;
    EXPECT_EQ(got.top, c.want.top) << c.what;
    EXPECT_EQ(got.right, c.want.right) << c.what;
    EXPECT_EQ(got.bottom, c.want.bottom) << c.what;
  }
}

}  // namespace
}  // namespace vl
