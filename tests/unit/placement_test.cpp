#include <gtest/gtest.h>

#include "mainwindow/placement.h"

namespace ordalis {
namespace {

constexpr TwipsSize kScreen{19200, 14400};  // 1280 x 960 pixels at 96 dpi
constexpr TwipsSize kWindow{7300, 6000};

TEST(StartPlacement, WithoutStoredPlaceNearTheLowerRightCorner) {
  EXPECT_EQ(StartPlacement(std::nullopt, std::nullopt, kScreen, kWindow),
            (TwipsPoint{19200 - 7300 - 600, 14400 - 6000 - 1000}));
}

TEST(StartPlacement, AStoredPlaceIsKeptWhileMostOfTheWindowIsOnScreen) {
  EXPECT_EQ(StartPlacement(1500, 900, kScreen, kWindow), (TwipsPoint{1500, 900}));
  // Right half off the screen: to the middle. The limit itself counts as off.
  EXPECT_EQ(StartPlacement(19200 - 3650, 900, kScreen, kWindow), (TwipsPoint{9600, 900}));
  EXPECT_EQ(StartPlacement(19200 - 3651, 900, kScreen, kWindow), (TwipsPoint{19200 - 3651, 900}));
  EXPECT_EQ(StartPlacement(100, 14400 - 3000, kScreen, kWindow), (TwipsPoint{100, 7200}));
  // A place left of or above the screen is left alone (another monitor).
  EXPECT_EQ(StartPlacement(-20000, -300, kScreen, kWindow), (TwipsPoint{-20000, -300}));
}

}  // namespace
}  // namespace ordalis
