// The task list's header: a column the view hides cannot be opened with the
// mouse, a shown one can.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "mainwindow/category_list.h"

namespace ordalis {
namespace {

constexpr UINT kDpi = 96;

class CategoryListTest : public testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    parent_ = CreateWindowExW(0, L"STATIC", L"Liste", WS_OVERLAPPEDWINDOW, 0, 0, 700, 300, nullptr,
                              nullptr, nullptr, nullptr);
    ASSERT_TRUE(parent_);
    HWND view = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 680,
                                260, parent_, nullptr, nullptr, nullptr);
    ASSERT_TRUE(view);
    list_.Attach(view, kDpi);
    header_ = ListView_GetHeader(view);
  }
  void TearDown() override { DestroyWindow(parent_); }

  int Width(int column) const { return ListView_GetColumnWidth(list_.Handle(), column); }
  // The left edge of a column in the header.
  int Left(int column) const {
    int x = 0;
    for (int i = 0; i < column; ++i) x += Width(i);
    return x;
  }

  // The messages a drag of the divider at x by `by` pixels makes, then a
  // double-click on it.
  void Drag(int x, int by) {
    const int y = 5;
    SendMessageW(header_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    for (int step = 1; step <= 4; ++step) {
      SendMessageW(header_, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + by * step / 4, y));
    }
    SendMessageW(header_, WM_LBUTTONUP, 0, MAKELPARAM(x + by, y));
  }
  void DoubleClick(int x) {
    SendMessageW(header_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 5));
    SendMessageW(header_, WM_LBUTTONUP, 0, MAKELPARAM(x, 5));
    SendMessageW(header_, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, 5));
    SendMessageW(header_, WM_LBUTTONUP, 0, MAKELPARAM(x, 5));
  }

  HWND parent_ = nullptr;
  HWND header_ = nullptr;
  CategoryList list_;
};

TEST_F(CategoryListTest, HiddenColumnsStayClosedWhileShownOnesFollowTheMouse) {
  list_.SetView(Category::Important, kDpi);
  list_.SetRows({{{"01-02-2026", "10:00", "Brot"}, Category::Important, "100"}});
  // The drag works: the time column grows by it.
  const int time = Width(1);
  ASSERT_GT(time, 0);
  Drag(Left(2) - 1, 40);
  EXPECT_EQ(Width(1), time + 40);

  // "Sonstiges" hides the time column: it stays closed.
  list_.SetView(Category::Others, kDpi);
  ASSERT_EQ(Width(1), 0);
  for (const int at : {0, 1, 2}) {
    Drag(Left(1) + at, 60);
    EXPECT_EQ(Width(1), 0) << "drag at " << at;
    DoubleClick(Left(1) + at);
    EXPECT_EQ(Width(1), 0) << "double-click at " << at;
  }
  // The shown column on its left still follows its divider.
  const int left = Width(0);
  Drag(Left(1) - 2, 30);
  EXPECT_EQ(Width(0), left + 30);
  EXPECT_EQ(Width(1), 0);
}

}  // namespace
}  // namespace ordalis
