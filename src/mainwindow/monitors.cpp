#include "mainwindow/monitors.h"

#include "win32/dpi.h"

namespace ordalis {

std::vector<PixelMonitor> SystemMonitors::Monitors() {
  std::vector<PixelMonitor> monitors;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT, LPARAM found) {
        MONITORINFO info{sizeof info};
        if (GetMonitorInfoW(monitor, &info)) {
          reinterpret_cast<std::vector<PixelMonitor>*>(found)->push_back(
              {info.rcMonitor, info.rcWork, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&monitors));
  if (monitors.empty()) {
    // The primary screen, as the system metrics tell it.
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    monitors.push_back({screen, screen, true});
  }
  return monitors;
}

std::vector<MonitorArea> MonitorsInTwips(const std::vector<PixelMonitor>& monitors, UINT dpi) {
  const auto twips = [dpi](const RECT& r) {
    return TwipsRect{win32::PixelsToTwips(r.left, dpi), win32::PixelsToTwips(r.top, dpi),
                     win32::PixelsToTwips(r.right, dpi), win32::PixelsToTwips(r.bottom, dpi)};
  };
  std::vector<MonitorArea> areas;
  for (const PixelMonitor& monitor : monitors) {
    areas.push_back({twips(monitor.screen), twips(monitor.work), monitor.primary});
  }
  return areas;
}

}  // namespace ordalis
