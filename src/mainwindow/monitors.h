#pragma once
// The monitors of the desktop, where the main window's start place is
// judged. The program asks the system; tests lay out monitors of their own.
#include <windows.h>

#include <vector>

#include "session/placement.h"

namespace ordalis {

struct PixelMonitor {
  RECT screen{};
  RECT work{};  // without the task bar
  bool primary = false;
};

class MonitorLayout {
 public:
  virtual ~MonitorLayout() = default;
  virtual std::vector<PixelMonitor> Monitors() = 0;
};

class SystemMonitors : public MonitorLayout {
 public:
  std::vector<PixelMonitor> Monitors() override;
};

// The monitors in twips at a DPI, as the placement rule takes them.
std::vector<MonitorArea> MonitorsInTwips(const std::vector<PixelMonitor>& monitors, UINT dpi);

}  // namespace ordalis
