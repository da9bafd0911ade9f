#include "core/page_numbers.h"

#include <gtest/gtest.h>

#include <climits>

#include "core/ini_document.h"

namespace vl {
namespace {

TEST(PageNumbers, OnlyNamesThatTheLookupOfAPageSectionFindsCount) {
  // What the file holds after a hand edit, a crash and a few deleted pages.
  IniDocument doc = IniDocument::Parse(
      "[General]\r\nPageNum=4\r\n[Page9]\r\n[ page3 ]\r\n[PAGE1]\r\n[Page07]\r\n[Page0]\r\n"
      "[Page-2]\r\n[Page2147483647]\r\n[Page2147483648]\r\n[Page5x]\r\n[Page]\r\n[Page1]\r\n"
      "[Setting]\r\n");
  EXPECT_EQ(PageNumbersOf(doc.SectionNames()), (std::vector<std::int32_t>{1, 3, 9, 2147483647}));
}

TEST(PageNumbers, ANewPageTakesANumberPastPageNumAndEverySectionOrNoneAtTheLimit) {
  EXPECT_EQ(NextPageNumber(-1, {}), 1) << "a first start";
  EXPECT_EQ(NextPageNumber(3, {1, 2, 3}), 4);
  EXPECT_EQ(NextPageNumber(1, {1, 2}), 3) << "page 2 made before a crash, PageNum still 1";
  EXPECT_EQ(NextPageNumber(INT32_MAX - 1, {}), INT32_MAX);
  EXPECT_EQ(NextPageNumber(INT32_MAX, {}), std::nullopt);
  EXPECT_EQ(NextPageNumber(5, {INT32_MAX}), std::nullopt);
}

}  // namespace
}  // namespace vl
