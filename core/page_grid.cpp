#include "core/page_grid.h"

#include <algorithm>

namespace vl {
namespace {

std::int32_t Sane(std::int32_t value, std::int32_t fallback, std::int32_t low, std::int32_t high) {
  if (value < 1) return fallback;
  return std::clamp(value, low, high);
}

}  // namespace

PageGrid SaneGrid(std::int32_t yoko, std::int32_t tate, std::int32_t btnW, std::int32_t btnH) {
  PageGrid g;
  g.yoko = Sane(yoko, kNewPageYoko, 1, kMaxGridCells);
  g.tate = Sane(tate, kNewPageTate, 1, kMaxGridCells);
  g.btnW = Sane(btnW, kNewPageBtnSize, kMinBtnSize, kMaxBtnSize);
  g.btnH = Sane(btnH, kNewPageBtnSize, kMinBtnSize, kMaxBtnSize);
  return g;
}

std::int32_t GridStep(const PageGrid& grid, std::int32_t i, GridMove move) {
  std::int32_t to = i;
  switch (move) {
    case GridMove::Left: to = i - 1; break;
    case GridMove::Right: to = i + 1; break;
    case GridMove::Up: to = i - grid.yoko; break;
    case GridMove::Down: to = i + grid.yoko; break;
    case GridMove::First: return 1;
    case GridMove::Last: return grid.BtnCount();
  }
  return to >= 1 && to <= grid.BtnCount() ? to : i;
}

}  // namespace vl
