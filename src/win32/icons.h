#pragma once
// The program's icons at the size for a DPI. The icon files hold an image for
// every size Windows asks for from 100 % to 200 %, so the right one is taken
// as it was drawn instead of a neighbour scaled.
#include <windows.h>

#include "win32/handles.h"

namespace ordalis::win32 {

// The small icon (title bar, notification area) and the large one (Alt+Tab,
// the task bar) at this DPI.
int SmallIconSize(UINT dpi);
int LargeIconSize(UINT dpi);

// Icon `id` of `module` at `size` pixels: the image of that size, or a larger
// one scaled down, never a smaller one scaled up.
UniqueIcon LoadIconAtSize(HINSTANCE module, int id, int size);

// Icon `id` of `module` at the notification area's size (LoadIconMetric's
// small icon: the shell's DPI, not the window's).
UniqueIcon LoadNotificationIcon(HINSTANCE module, int id);

// A window's own small and large icon, loaded again when its DPI changes.
class WindowIcons {
 public:
  void Apply(HWND window, int id, UINT dpi);

 private:
  UniqueIcon small_;
  UniqueIcon large_;
};

}  // namespace ordalis::win32
