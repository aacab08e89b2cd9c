#include "win32/window.h"

#include <commctrl.h>

#include <algorithm>

namespace ordalis::win32 {

void RepaintForNewColours(HWND window) {
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
    // A list view may keep the background it was created with; ours are
    // all in the window colour.
    wchar_t name[32] = L"";
    GetClassNameW(child, name, 32);
    if (CompareStringOrdinal(name, -1, WC_LISTVIEWW, -1, TRUE) == CSTR_EQUAL) {
      ListView_SetBkColor(child, GetSysColor(COLOR_WINDOW));
    }
  }
  RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

bool KeyboardElsewhere() {
  HWND front = GetForegroundWindow();
  if (!front || front == GetDesktopWindow() || front == GetShellWindow()) return false;
  return GetWindowThreadProcessId(front, nullptr) != GetCurrentThreadId();
}

void ShowInFront(HWND window, bool quietly) {
  ShowWindow(window, quietly ? SW_SHOWNOACTIVATE : SW_SHOWNORMAL);
  // Topmost and at once not topmost again: in front of every normal window
  // without staying on top.
  const UINT flags = SWP_NOMOVE | SWP_NOSIZE | (quietly ? SWP_NOACTIVATE : 0);
  SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, flags);
  SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
  if (!quietly) return;
  FLASHWINFO flash{sizeof flash, window, FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
  FlashWindowEx(&flash);
}

Window::~Window() {
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

bool EnsureWindowClass(const wchar_t* name, WNDPROC procedure, HICON icon, HCURSOR cursor,
                       HBRUSH background, HICON smallIcon) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{sizeof windowClass};
  if (GetClassInfoExW(instance, name, &windowClass)) return true;
  windowClass = {sizeof windowClass};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = icon;
  windowClass.hIconSm = smallIcon;
  windowClass.hCursor = cursor ? cursor : LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = name;
  return RegisterClassExW(&windowClass) != 0;
}

bool Window::CreateTopLevel(const wchar_t* className, const wchar_t* caption, DWORD style,
                            DWORD exStyle, POINT place, SIZE size, HICON icon, HICON smallIcon) {
  if (!EnsureWindowClass(className, Procedure, icon, nullptr,
                         reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), smallIcon)) {
    return false;
  }
  CreateWindowExW(exStyle, className, caption, style, place.x, place.y, size.cx, size.cy, nullptr,
                  nullptr, GetModuleHandleW(nullptr), this);
  return hwnd_ != nullptr;
}

RECT PlacedRect(HWND window) {
  RECT rect{};
  if (IsWindowVisible(window) && !IsIconic(window)) {
    GetWindowRect(window, &rect);
    return rect;
  }
  WINDOWPLACEMENT placement{sizeof placement};
  if (!GetWindowPlacement(window, &placement)) {
    GetWindowRect(window, &rect);
    return rect;
  }
  // The normal position is in workspace coordinates: relative to the work
  // area of the primary monitor, not to the screen.
  rect = placement.rcNormalPosition;
  if ((GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) == 0) {
    MONITORINFO primary{sizeof primary};
    if (GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &primary)) {
      OffsetRect(&rect, primary.rcWork.left - primary.rcMonitor.left,
                 primary.rcWork.top - primary.rcMonitor.top);
    }
  }
  return rect;
}

void KeepInWorkArea(HWND window, const RECT& beside) {
  MONITORINFO monitor{sizeof monitor};
  RECT rect{};
  if (!GetMonitorInfoW(MonitorFromRect(&beside, MONITOR_DEFAULTTONEAREST), &monitor) ||
      !GetWindowRect(window, &rect)) {
    return;
  }
  const RECT& work = monitor.rcWork;
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  const int left = std::max<int>(work.left, std::min<int>(rect.left, work.right - width));
  const int top = std::max<int>(work.top, std::min<int>(rect.top, work.bottom - height));
  if (left != rect.left || top != rect.top) {
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  try {
    const LRESULT result = self->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      self->hwnd_ = nullptr;
    }
    return result;
  } catch (...) {
    // A failed step is skipped; the window goes on.
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace ordalis::win32
