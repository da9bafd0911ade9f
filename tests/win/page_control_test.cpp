// The page strip on a real window: sheets, selection, and the borderless page area.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "app/page_control_ex.h"
#include "gui/font.h"
#include "gui/application.h"

namespace vl {
namespace {

class HostForm : public TWindow {
 public:
  HostForm() {
    WindowParams p;
    p.className = L"PageControlTestHost";
    p.caption = L"host";
    p.style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    p.x = p.y = 50;
    p.width = 400;
    p.height = 300;
    Create(p);
  }
  TPageControl* strip = nullptr;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_NOTIFY && strip && strip->Notify(*reinterpret_cast<NMHDR*>(lParam))) return 0;
    return TWindow::HandleMessage(msg, wParam, lParam);
  }
};

class PageControlTest : public ::testing::Test {
 protected:
  TApplication app{L"RavariVudovi"};
  HostForm form;
};

TEST_F(PageControlTest, PageAreaSpansTheStripBelowTheTabs) {
  // The strip's own font: its tab row is what the page area leaves above itself.
  UniqueFont font = MakeFont(PixelFont(L"ＭＳ Ｐゴシック", 13), 96);
  TPageControl plain(form.Handle(), 0, 0, 320, 83, font.get());
  TPageControlEx strip(form.Handle(), 0, 100, 320, 83, font.get());
  plain.AddSheet(L"Page", 1);
  strip.AddSheet(L"Page", 1);
  RECT tabs = plain.DisplayRect();
  RECT ours = strip.DisplayRect();
  EXPECT_EQ(ours.left, 0);
  EXPECT_EQ(ours.right, 320);
  EXPECT_EQ(ours.bottom, 83);
  EXPECT_EQ(ours.top, kTabRowHeight) << "the grid's room for the tabs";
  EXPECT_EQ(ours.top, tabs.top - 4) << "4 pixels above the tab control's own page area";
  EXPECT_GT(tabs.left, 0) << "the plain tab control keeps a border";

  RECT sheet;
  GetWindowRect(strip.Sheet(0).Handle(), &sheet);
  MapWindowPoints(nullptr, strip.Handle(), reinterpret_cast<POINT*>(&sheet), 2);
  EXPECT_EQ(sheet.left, 0);
  EXPECT_EQ(sheet.top, ours.top);
  EXPECT_EQ(sheet.right, 320);
  EXPECT_EQ(sheet.bottom, 83);
}

TEST_F(PageControlTest, OnlyTheSelectedSheetShowsAndTheUsersChoiceIsReported) {
  TPageControlEx strip(form.Handle(), 0, 0, 320, 83, nullptr);
  form.strip = &strip;
  int changes = 0;
  strip.OnChange = [&] { ++changes; };
  for (int tag : {1, 2, 3}) strip.AddSheet(L"Page" + std::to_wstring(tag), tag);
  EXPECT_EQ(strip.ActivePageIndex(), 0) << "adding pages does not move the selection";
  EXPECT_TRUE(IsWindowVisible(strip.Sheet(0).Handle()));
  EXPECT_FALSE(IsWindowVisible(strip.Sheet(2).Handle()));

  // The way a click on a tab selects it: through the tab control, notifying the parent.
  SendMessageW(strip.Handle(), TCM_SETCURFOCUS, 2, 0);
  EXPECT_EQ(strip.ActivePageIndex(), 2);
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(IsWindowVisible(strip.Sheet(2).Handle()));
  EXPECT_FALSE(IsWindowVisible(strip.Sheet(0).Handle()));
  EXPECT_EQ(strip.Sheet(2).Tag(), 3);
}

TEST_F(PageControlTest, DeletingTheSelectedSheetSelectsTheNextOrTheFirst) {
  TPageControlEx strip(form.Handle(), 0, 0, 320, 83, nullptr);
  for (int tag : {1, 2, 3}) strip.AddSheet(L"Page" + std::to_wstring(tag), tag);
  strip.SetActivePageIndex(1);
  HWND child = CreateWindowExW(0, L"STATIC", L"on page 2", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10,
                               strip.Sheet(1).Handle(), nullptr, nullptr, nullptr);
  strip.DeleteSheet(1);
  EXPECT_FALSE(IsWindow(child)) << "a sheet's controls go with it";
  ASSERT_EQ(strip.SheetCount(), 2);
  EXPECT_EQ(strip.ActivePageIndex(), 1);
  EXPECT_EQ(strip.Sheet(1).Tag(), 3) << "the tab after the deleted one";
  EXPECT_TRUE(IsWindowVisible(strip.Sheet(1).Handle()));

  strip.DeleteSheet(1);  // the last one, selected
  EXPECT_EQ(strip.ActivePageIndex(), 0);
  EXPECT_EQ(strip.Sheet(0).Tag(), 1);
  EXPECT_TRUE(IsWindowVisible(strip.Sheet(0).Handle()));
}

}  // namespace
}  // namespace vl
