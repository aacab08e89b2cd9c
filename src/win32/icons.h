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

// Icon `id` at the small and the large size for `dpi`, loaded once in the
// process and never released: a window class keeps its icons as long as it
// is registered, which is to the process's end. A window whose class carries
// them shows them from its first moment, without a WM_SETICON of its own.
struct IconPair {
  HICON smallIcon = nullptr;
  HICON largeIcon = nullptr;
};
IconPair ClassIcons(int id, UINT dpi);

// A window's own small and large icon, loaded again when its DPI changes.
class WindowIcons {
 public:
  void Apply(HWND window, int id, UINT dpi);

 private:
  UniqueIcon small_;
  UniqueIcon large_;
};

}  // namespace ordalis::win32
