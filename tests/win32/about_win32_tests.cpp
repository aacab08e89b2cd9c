// The about box: what it says and where it opens. The program's .rc is
// linked in: manifest, icon, strings and version record as in Vemra.exe.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "dialogs/about_dialog.h"
#include "support.h"
#include "win32/handles.h"

namespace ordalis {
namespace {

class AboutBox : public testing::Test {
 protected:
  void SetUp() override {
    owner_.reset(CreateWindowExW(0, L"STATIC", L"Hauptfenster", WS_OVERLAPPEDWINDOW, 0, 0, 480, 400,
                                 nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(owner_);
    MONITORINFO monitor{sizeof monitor};
    GetMonitorInfoW(MonitorFromWindow(owner_.get(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    screen_ = monitor.rcMonitor;
  }
  void TearDown() override {
    owner_.reset();  // takes the box with it
    test::PumpMessages(50);
  }
  static std::wstring Text(HWND window) {
    wchar_t text[512] = L"";
    GetWindowTextW(window, text, 512);
    return text;
  }

  win32::UniqueWindow owner_;
  RECT screen_{};
};

TEST_F(AboutBox, ShowsNameVersionAndTexts) {
  HWND box = ShowAbout(owner_.get());
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(IsWindowVisible(box));
  EXPECT_TRUE(IsWindowEnabled(owner_.get())) << "the box must not hold up the main window";
  EXPECT_EQ(Text(box), L" Info über Ordalis");
  EXPECT_EQ(Text(GetDlgItem(box, IDC_RNAME)), L"Ordalis 1.00 Build 100");
  EXPECT_EQ(Text(GetDlgItem(box, IDC_RWERBUNG)),
            L"Vous avez choisi un produit intemporel et de qualité avec soin et détails. Il vous "
            L"apportera confort, bien-être et satisfaction.");
  EXPECT_EQ(Text(GetDlgItem(box, IDCANCEL)), L"OK");
  EXPECT_NE(Text(GetDlgItem(box, IDC_RLEGAL)), L"");
  // No address of the maker is known: no button leads nowhere.
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(box, IDC_BMAIL)));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(box, IDC_BWEBSEITE)));
}

TEST_F(AboutBox, OpensBesideTheMainWindowOrAwayFromAScreenEdge) {
  const int right = screen_.right, bottom = screen_.bottom;
  // At 96 dpi 15 twips are a pixel: 800 twips 53 pixels, 1200 twips 80.
  struct Case {
    POINT mainWindow, expected;
  };
  const Case cases[] = {
      {{100, 100}, {153, 153}},
      {{right - 280, 100}, {right - 360, 153}},
      {{100, bottom - 200}, {153, bottom - 253}},
      {{right - 280, bottom - 200}, {right - 360, bottom - 253}},
  };
  for (const Case& c : cases) {
    SetWindowPos(owner_.get(), nullptr, c.mainWindow.x, c.mainWindow.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    HWND box = ShowAbout(owner_.get());
    ASSERT_NE(box, nullptr);
    RECT rect{};
    GetWindowRect(box, &rect);
    EXPECT_EQ(rect.left, c.expected.x) << c.mainWindow.x << ", " << c.mainWindow.y;
    EXPECT_EQ(rect.top, c.expected.y) << c.mainWindow.x << ", " << c.mainWindow.y;
    SendMessageW(box, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(IsWindow(box));
  }
}

TEST_F(AboutBox, ASecondOpeningBringsTheOpenBoxBack) {
  HWND first = ShowAbout(owner_.get());
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(ShowAbout(owner_.get()), first);
  int boxes = 0;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM count) {
        if (IsWindowVisible(window) && AboutBox::Text(window) == L" Info über Ordalis") {
          ++*reinterpret_cast<int*>(count);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&boxes));
  EXPECT_EQ(boxes, 1);

  // Closed, it opens anew.
  PostMessageW(GetDlgItem(first, IDCANCEL), BM_CLICK, 0, 0);
  test::PumpMessages(100);
  EXPECT_FALSE(IsWindow(first));
  HWND second = ShowAbout(owner_.get());
  EXPECT_TRUE(IsWindow(second) && IsWindowVisible(second));
}

}  // namespace
}  // namespace ordalis
