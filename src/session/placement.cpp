#include "session/placement.h"

#include <algorithm>

namespace ordalis {

namespace {

long long Overlap(const TwipsRect& a, const TwipsRect& b) {
  const long long width = std::min(a.right, b.right) - std::max(a.left, b.left);
  const long long height = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
  return width > 0 && height > 0 ? width * height : 0;
}

}  // namespace

TwipsPoint StartPlacement(std::optional<long long> storedLeft, std::optional<long long> storedTop,
                          const std::vector<MonitorArea>& monitors, TwipsSize window) {
  TwipsRect primary{0, 0, 0, 0};
  for (const MonitorArea& monitor : monitors) {
    if (monitor.primary) primary = monitor.screen;
  }
  const TwipsPoint fallback{primary.right - window.width - 600,
                            primary.bottom - window.height - 1000};
  TwipsPoint place{storedLeft.value_or(fallback.left), storedTop.value_or(fallback.top)};
  // Stored values are clamped first, so the arithmetic below cannot overflow.
  constexpr long long kFar = 1LL << 40;
  place.left = std::clamp(place.left, -kFar, kFar);
  place.top = std::clamp(place.top, -kFar, kFar);

  // The monitor the stored rectangle lies on most.
  const TwipsRect rect{place.left, place.top, place.left + window.width, place.top + window.height};
  const MonitorArea* home = nullptr;
  long long best = 0;
  for (const MonitorArea& monitor : monitors) {
    if (const long long overlap = Overlap(rect, monitor.work); overlap > best) {
      best = overlap;
      home = &monitor;
    }
  }
  if (!home) return fallback;

  // Negative places are left alone: the window still shows on its monitor.
  const TwipsRect& screen = home->screen;
  if (screen.right - window.width / 2 <= place.left) {
    place.left = screen.left + (screen.right - screen.left) / 2;
  }
  if (screen.bottom - window.height / 2 <= place.top) {
    place.top = screen.top + (screen.bottom - screen.top) / 2;
  }
  return place;
}

}  // namespace ordalis
