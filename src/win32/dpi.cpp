#include "win32/dpi.h"

#include <cmath>

namespace ordalis::win32 {

UINT WindowDpi(HWND window) {
  // GetDpiForWindow exists from Windows 10 1607 on; older systems give the
  // screen's DPI.
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (getDpiForWindow && window) {
    if (const UINT dpi = getDpiForWindow(window)) return dpi;
  }
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

int TwipsToPixels(double twips, UINT dpi) {
  return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

int PixelsToTwips(int pixels, UINT dpi) {
  return MulDiv(pixels, 1440, static_cast<int>(dpi));
}

}  // namespace ordalis::win32
