#pragma once
// Where the main window starts, in twips: the stored place, or near the
// lower right corner; a window whose right or lower half would be off the
// screen moves to the middle of it.
#include <optional>

namespace ordalis {

struct TwipsPoint {
  long long left = 0, top = 0;
  bool operator==(const TwipsPoint&) const = default;
};

struct TwipsSize {
  long long width = 0, height = 0;
};

TwipsPoint StartPlacement(std::optional<long long> storedLeft, std::optional<long long> storedTop,
                          TwipsSize screen, TwipsSize window);

}  // namespace ordalis
