// Where the main window opens and how wide its list's columns are, from the
// stored place and widths and the monitors that are there.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "lifecycle_fixture.h"
#include "mainwindow/monitors.h"
#include "win32/dpi.h"

namespace ordalis {
namespace {

using test::Text;

class PlacementTest : public test::LifecycleTest {
 protected:
  void SetUp() override { Quiet(); }
};

TEST_F(PlacementTest, StoredPlaceStaysOnTheScreen) {
  const UINT dpi = win32::WindowDpi(nullptr);
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);

  Set(L"Left", Text(L"1500"));
  Set(L"Top", Text(L"1200"));
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_NEAR(WindowRect().left, win32::TwipsToPixels(1500, dpi), 1);
  EXPECT_NEAR(WindowRect().top, win32::TwipsToPixels(1200, dpi), 1);

  // A right or lower half off the screen moves to the middle; a negative
  // place (a monitor on the left) is left alone.
  const int width = WindowRect().right - WindowRect().left;
  const int halfOff = win32::PixelsToTwips(screenWidth - width / 2 + 2, dpi);
  Set(L"Left", Text(std::to_wstring(halfOff)));
  const int height = WindowRect().bottom - WindowRect().top;
  Set(L"Top", Text(std::to_wstring(win32::PixelsToTwips(screenHeight - height / 2 + 2, dpi))));
  ASSERT_NO_FATAL_FAILURE(Reopen());
  EXPECT_NEAR(WindowRect().left, screenWidth / 2, 1);
  EXPECT_NEAR(WindowRect().top, screenHeight / 2, 1);

  Set(L"Left", Text(L"-300"));
  Set(L"Top", Text(L"0"));
  ASSERT_NO_FATAL_FAILURE(Reopen());
  EXPECT_NEAR(WindowRect().left, -win32::TwipsToPixels(300, dpi), 1);
  EXPECT_EQ(WindowRect().top, 0);
}

class FakeMonitors : public MonitorLayout {
 public:
  std::vector<PixelMonitor> monitors;
  std::vector<PixelMonitor> Monitors() override { return monitors; }
};

TEST_F(PlacementTest, TheWindowStartsOnAMonitorThatIsThere) {
  FakeMonitors layout;
  const RECT primary{0, 0, 1280, 1024}, right{1280, 0, 2560, 1024};
  monitors_ = &layout;
  const UINT dpi = win32::WindowDpi(nullptr);
  const auto twips = [dpi](int pixels) {
    return std::to_wstring(win32::PixelsToTwips(pixels, dpi));
  };
  struct Case {
    const char* what;
    std::vector<PixelMonitor> monitors;
    std::wstring left;
    std::optional<int> expectedLeft;  // the default place when none
  };
  const Case cases[] = {
      {"on the right monitor",
       {{primary, primary, true}, {right, right, false}},
       twips(1500),
       1500},
      {"the right monitor gone", {{primary, primary, true}}, twips(1500), std::nullopt},
      {"far off every screen", {{primary, primary, true}}, L"-99999999", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    layout.monitors = c.monitors;
    Set(L"Left", Text(c.left));
    Set(L"Top", Text(twips(100)));
    ASSERT_NO_FATAL_FAILURE(Reopen());
    const RECT rect = WindowRect();
    if (c.expectedLeft) {
      EXPECT_NEAR(rect.left, *c.expectedLeft, 1);
      EXPECT_NEAR(rect.top, 100, 1);
    } else {  // the lower right corner of the primary monitor
      EXPECT_NEAR(rect.right, 1280 - win32::TwipsToPixels(600, dpi), 2);
      EXPECT_NEAR(rect.bottom, 1024 - win32::TwipsToPixels(1000, dpi), 2);
    }
  }
}

TEST_F(PlacementTest, AStoredColumnWidthFitsTheList) {
  Set(L"Tab_A", Text(L"99999"));
  ASSERT_NO_FATAL_FAILURE(Open());
  RECT client{};
  GetClientRect(List(), &client);
  EXPECT_LE(ListView_GetColumnWidth(List(), 0), client.right);
  EXPECT_GT(ListView_GetColumnWidth(List(), 0), 0);
}

}  // namespace
}  // namespace ordalis
