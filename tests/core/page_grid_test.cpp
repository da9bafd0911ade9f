#include "core/page_grid.h"

#include <gtest/gtest.h>

#include <climits>

namespace vl {
namespace {

TEST(PageGrid, ButtonsStandRowByRowEdgeToEdge) {
  PageGrid g = SaneGrid(5, 2, 64, 48);
  EXPECT_EQ(g.BtnCount(), 10);
  EXPECT_EQ(g.Left(1), 0);
  EXPECT_EQ(g.Top(1), 0);
  EXPECT_EQ(g.Left(5), 4 * 64);
  EXPECT_EQ(g.Left(7), 64) << "button 7 of 5 columns: row 1, column 1";
  EXPECT_EQ(g.Top(7), 48);
  PageGrid three = SaneGrid(3, 3, 64, 48);
  EXPECT_EQ(three.Left(7), 0) << "the same button in 3 columns: row 2, column 0";
  EXPECT_EQ(three.Top(7), 2 * 48);
}

TEST(PageGrid, NewPageFitsA320By83ClientArea) {
  PageGrid g = SaneGrid(5, 1, 64, 64);
  EXPECT_EQ(g.ClientWidth(), 320);
  EXPECT_EQ(g.ClientHeight(), 83);
}

TEST(PageGrid, MissingOrNonPositiveValuesGiveTheNewPageGrid) {
  for (std::int32_t bad : {-1, 0, INT32_MIN}) {
    PageGrid g = SaneGrid(bad, bad, bad, bad);
    EXPECT_EQ(g.yoko, 5);
    EXPECT_EQ(g.tate, 1);
    EXPECT_EQ(g.btnW, 64);
    EXPECT_EQ(g.btnH, 64);
  }
  PageGrid mixed = SaneGrid(3, -1, 32, 0);
  EXPECT_EQ(mixed.yoko, 3);
  EXPECT_EQ(mixed.tate, 1);
  EXPECT_EQ(mixed.btnW, 32);
  EXPECT_EQ(mixed.btnH, 64);
}

TEST(PageGrid, AbsurdValuesAreHeldToLimitsWithoutOverflow) {
  PageGrid g = SaneGrid(INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX);
  EXPECT_EQ(g.yoko, kMaxGridCells);
  EXPECT_EQ(g.tate, kMaxGridCells);
  EXPECT_EQ(g.BtnCount(), kMaxGridCells * kMaxGridCells);
  EXPECT_LT(g.BtnCount(), 10000) << "a process owns at most 10,000 windows";
  EXPECT_EQ(g.ClientWidth(), kMaxGridCells * kMaxBtnSize);
  EXPECT_EQ(g.Top(g.BtnCount()), (kMaxGridCells - 1) * kMaxBtnSize);
  EXPECT_EQ(SaneGrid(1, 1, 2, 3).btnW, kMinBtnSize) << "a 2-pixel button cannot be clicked";
  EXPECT_EQ(SaneGrid(1, 1, 64, 2).btnH, kMinBtnSize);
}

TEST(PageGrid, KeyboardMovesRunAsTheNumbersAndStopAtTheEdges) {
  const PageGrid g = SaneGrid(3, 2, 64, 64);  // 1 2 3 / 4 5 6
  struct Case {
    std::int32_t from;
    GridMove move;
    std::int32_t to;
  } cases[] = {
      {1, GridMove::Right, 2}, {3, GridMove::Right, 4}, {6, GridMove::Right, 6},  // row end to next row; last stays
      {4, GridMove::Left, 3},  {1, GridMove::Left, 1},                            // first stays
      {2, GridMove::Down, 5},  {5, GridMove::Down, 5},  {5, GridMove::Up, 2},  {3, GridMove::Up, 3},
      {5, GridMove::First, 1}, {2, GridMove::Last, 6},
  };
  for (const Case& c : cases)
    EXPECT_EQ(GridStep(g, c.from, c.move), c.to) << "from " << c.from << " move " << static_cast<int>(c.move);
  EXPECT_EQ(GridStep(SaneGrid(1, 1, 64, 64), 1, GridMove::Down), 1) << "a grid of one button";
}

}  // namespace
}  // namespace vl
