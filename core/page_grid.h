// The grid of a page: how many buttons of which size, and where button i stands.
//
// The stored columns, rows and button sizes come from a file the user may have edited by
// hand. A missing or non-positive value falls back to the new-page grid (5 × 1 buttons of
// 64 × 64), and values beyond the limits below are held to them, so that every page builds
// a usable grid: the button count stays far below the 10,000 window handles a process may
// own, and no size or position overflows.
#pragma once

#include <cstdint>

namespace vl {

inline constexpr std::int32_t kNewPageYoko = 5;
inline constexpr std::int32_t kNewPageTate = 1;
inline constexpr std::int32_t kNewPageBtnSize = 64;
inline constexpr std::int32_t kMaxGridCells = 40;     // columns, and rows, of one page
inline constexpr std::int32_t kMinBtnSize = 8;        // pixels
inline constexpr std::int32_t kMaxBtnSize = 512;      // pixels
inline constexpr std::int32_t kTabRowHeight = 19;     // the strip's room for its tabs

struct PageGrid {
  std::int32_t yoko = kNewPageYoko;  // columns
  std::int32_t tate = kNewPageTate;  // rows
  std::int32_t btnW = kNewPageBtnSize;
  std::int32_t btnH = kNewPageBtnSize;

  bool operator==(const PageGrid&) const = default;
  std::int32_t BtnCount() const { return yoko * tate; }
  // Where button i (from 1) stands, row by row.
  std::int32_t Left(std::int32_t i) const { return (i - 1) % yoko * btnW; }
  std::int32_t Top(std::int32_t i) const { return (i - 1) / yoko * btnH; }
  // The client size of the main window (and of the page strip) that fits the grid.
  std::int32_t ClientWidth() const { return yoko * btnW; }
  std::int32_t ClientHeight() const { return tate * btnH + kTabRowHeight; }
};

// A move of the keyboard focus in the grid. Left and Right run as the button numbers do,
// from the end of one row to the start of the next; Up and Down keep the column.
enum class GridMove { Left, Right, Up, Down, First, Last };

// The button a move from button i lands on; a move past the grid's edge stays on i.
std::int32_t GridStep(const PageGrid& grid, std::int32_t i, GridMove move);

// The grid to build from the values read from the file.
PageGrid SaneGrid(std::int32_t yoko, std::int32_t tate, std::int32_t btnW, std::int32_t btnH);

}  // namespace vl
