#pragma once
// Twips (1/1440 inch) are the unit of every stored position, size and column
// width; pixels depend on the window's DPI.
#include <windows.h>

namespace ordalis::win32 {

UINT WindowDpi(HWND window);  // 96 when the system cannot tell
int TwipsToPixels(double twips, UINT dpi);
int PixelsToTwips(int pixels, UINT dpi);

}  // namespace ordalis::win32
