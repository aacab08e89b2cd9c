#pragma once
// Where the main window starts, in twips: the stored place, or near the
// lower right corner of the primary monitor. A window whose right or lower
// half would be off its monitor moves to the middle of that monitor; one
// that meets no monitor's work area at all starts at the default place.
#include <optional>
#include <vector>

namespace ordalis {

struct TwipsPoint {
  long long left = 0, top = 0;
  bool operator==(const TwipsPoint&) const = default;
};

struct TwipsSize {
  long long width = 0, height = 0;
};

struct TwipsRect {
  long long left = 0, top = 0, right = 0, bottom = 0;
};

// One monitor of the virtual screen: its whole area and its work area (less
// the task bar). The primary monitor has its top left corner at 0, 0.
struct MonitorArea {
  TwipsRect screen;
  TwipsRect work;
  bool primary = false;
};

TwipsPoint StartPlacement(std::optional<long long> storedLeft, std::optional<long long> storedTop,
                          const std::vector<MonitorArea>& monitors, TwipsSize window);

}  // namespace ordalis
