#pragma once
// A top-level window as an object: the static procedure binds `this` at
// WM_NCCREATE and forwards every message to HandleMessage. No exception
// leaves the procedure.
#include <windows.h>

namespace ordalis::win32 {

// Registers a window class of this program once; later calls find it.
// The class takes the given procedure, icon, cursor (the arrow when none),
// background and small icon.
bool EnsureWindowClass(const wchar_t* name, WNDPROC procedure, HICON icon = nullptr,
                       HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                       HICON smallIcon = nullptr);

// The system's colours changed (a high-contrast scheme came or went): the
// common controls hear it only from their parent, and list views take the
// new window colour; then everything repaints.
void RepaintForNewColours(HWND window);

// Another program's window is the one the user types into: not a window of
// this thread, nor the desktop.
bool KeyboardElsewhere();

// Shows a window restored and in front of every normal window without
// making it topmost. Activated, it takes the keyboard; `quietly`, the
// window that has the keyboard keeps it, and this one flashes (its task-bar
// button, if it has one) until the user activates it.
void ShowInFront(HWND window, bool quietly);

// Where a window stands for the dialogs placed beside it: its rectangle
// while it is on screen; minimised or hidden, the place it is restored to.
RECT PlacedRect(HWND window);

// Moves a window as little as needed to lie inside the work area of the
// monitor nearest to `beside` (screen coordinates).
void KeepInWorkArea(HWND window, const RECT& beside);

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND Handle() const { return hwnd_; }

 protected:
  // Registers the class once per process and creates the window at `place`
  // (CW_USEDEFAULT for where the system puts it).
  bool CreateTopLevel(const wchar_t* className, const wchar_t* caption, DWORD style, DWORD exStyle,
                      POINT place, SIZE size, HICON icon, HICON smallIcon = nullptr);
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
};

}  // namespace ordalis::win32
