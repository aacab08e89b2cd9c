#include "win32/icons.h"

#include <map>
#include <utility>

namespace ordalis::win32 {

namespace {

// GetSystemMetricsForDpi comes with Windows 10 1607; before it the system
// metric scaled by the DPI gives the same.
int MetricForDpi(int metric, UINT dpi) {
  using Fn = int(WINAPI*)(int, UINT);
  static const auto forDpi = reinterpret_cast<Fn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetSystemMetricsForDpi")));
  if (forDpi) return forDpi(metric, dpi);
  const HDC screen = GetDC(nullptr);
  const int systemDpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return MulDiv(GetSystemMetrics(metric), static_cast<int>(dpi), systemDpi);
}

}  // namespace

int SmallIconSize(UINT dpi) {
  return MetricForDpi(SM_CXSMICON, dpi);
}

int LargeIconSize(UINT dpi) {
  return MetricForDpi(SM_CXICON, dpi);
}

UniqueIcon LoadIconAtSize(HINSTANCE module, int id, int size) {
  // LoadIconWithScaleDown (common controls 6) scales a larger image down
  // where LoadImage would scale a smaller one up. MinGW's import library
  // lacks it, so it is looked up in the comctl32 the manifest gave us.
  using Fn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
  static const auto scaleDown = [] {
    const HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
    return comctl ? reinterpret_cast<Fn>(
                        reinterpret_cast<void*>(GetProcAddress(comctl, "LoadIconWithScaleDown")))
                  : nullptr;
  }();
  HICON icon = nullptr;
  if (scaleDown && SUCCEEDED(scaleDown(module, MAKEINTRESOURCEW(id), size, size, &icon)) && icon) {
    return UniqueIcon(icon);
  }
  return UniqueIcon(static_cast<HICON>(
      LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

UniqueIcon LoadNotificationIcon(HINSTANCE module, int id) {
  using Fn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, HICON*);
  static const auto metric = [] {
    const HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
    return comctl ? reinterpret_cast<Fn>(
                        reinterpret_cast<void*>(GetProcAddress(comctl, "LoadIconMetric")))
                  : nullptr;
  }();
  constexpr int kLimSmall = 0;  // LIM_SMALL
  HICON icon = nullptr;
  if (metric && SUCCEEDED(metric(module, MAKEINTRESOURCEW(id), kLimSmall, &icon)) && icon) {
    return UniqueIcon(icon);
  }
  return LoadIconAtSize(module, id, GetSystemMetrics(SM_CXSMICON));
}

IconPair ClassIcons(int id, UINT dpi) {
  static std::map<std::pair<int, UINT>, IconPair> loaded;
  const auto [entry, first] = loaded.try_emplace({id, dpi});
  if (first) {
    const HINSTANCE module = GetModuleHandleW(nullptr);
    entry->second = {LoadIconAtSize(module, id, SmallIconSize(dpi)).release(),
                     LoadIconAtSize(module, id, LargeIconSize(dpi)).release()};
  }
  return entry->second;
}

void WindowIcons::Apply(HWND window, int id, UINT dpi) {
  const HINSTANCE module = GetModuleHandleW(nullptr);
  UniqueIcon small = LoadIconAtSize(module, id, SmallIconSize(dpi));
  UniqueIcon large = LoadIconAtSize(module, id, LargeIconSize(dpi));
  if (!small || !large) return;  // the icons the window has stay
  SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
  SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large.get()));
  // The window uses the new ones now; the old ones may go.
  small_ = std::move(small);
  large_ = std::move(large);
}

}  // namespace ordalis::win32
