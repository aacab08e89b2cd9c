#include "mainwindow/placement.h"

namespace ordalis {

TwipsPoint StartPlacement(std::optional<long long> storedLeft, std::optional<long long> storedTop,
                          TwipsSize screen, TwipsSize window) {
  TwipsPoint place{storedLeft.value_or(screen.width - window.width - 600),
                   storedTop.value_or(screen.height - window.height - 1000)};
  // Negative places are left alone: a second monitor may lie there.
  if (screen.width - window.width / 2 <= place.left) place.left = screen.width / 2;
  if (screen.height - window.height / 2 <= place.top) place.top = screen.height / 2;
  return place;
}

}  // namespace ordalis
