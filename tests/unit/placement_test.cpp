#include <gtest/gtest.h>

#include "session/placement.h"

namespace ordalis {
namespace {

// 1280 x 960 pixels at 96 dpi, a task bar of 40 pixels at the bottom.
const MonitorArea kPrimary{{0, 0, 19200, 14400}, {0, 0, 19200, 13800}, true};
// A second monitor of the same size to the right of it.
const MonitorArea kRight{{19200, 0, 38400, 14400}, {19200, 0, 38400, 14400}, false};
constexpr TwipsSize kWindow{7300, 6000};
constexpr TwipsPoint kDefault{19200 - 7300 - 600, 14400 - 6000 - 1000};

struct Case {
  const char* what;
  std::optional<long long> left, top;
  std::vector<MonitorArea> monitors;
  TwipsPoint expected;
};

TEST(StartPlacement, KeepsTheWindowOnTheMonitorItWasOn) {
  const std::vector<MonitorArea> one{kPrimary}, two{kPrimary, kRight};
  const Case cases[] = {
      {"nothing stored", std::nullopt, std::nullopt, one, kDefault},
      {"a place on the screen", 1500, 900, one, {1500, 900}},
      {"right half off: the limit counts as off", 19200 - 3650, 900, one, {9600, 900}},
      {"just inside the limit", 19200 - 3651, 900, one, {19200 - 3651, 900}},
      {"lower half off", 100, 14400 - 3000, one, {100, 7200}},
      {"partly left of the screen stays", -3000, -300, one, {-3000, -300}},
      {"far off the screen", -99999999, 900, one, kDefault},
      {"beyond every monitor", 500000, 500000, two, kDefault},
      {"only Left stored, far off", -99999999, std::nullopt, one, kDefault},
      {"huge numbers", 1LL << 62, -(1LL << 62), one, kDefault},
      {"on the right monitor stays", 25000, 900, two, {25000, 900}},
      {"right half off the right monitor", 38400 - 3000, 900, two, {28800, 900}},
      {"the right monitor gone", 25000, 900, one, kDefault},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StartPlacement(c.left, c.top, c.monitors, kWindow), c.expected) << c.what;
  }
}

}  // namespace
}  // namespace ordalis
