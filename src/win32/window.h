#pragma once
// A top-level window as an object: the static procedure binds `this` at
// WM_NCCREATE and forwards every message to HandleMessage. No exception
// leaves the procedure.
#include <windows.h>

namespace ordalis::win32 {

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND Handle() const { return hwnd_; }

 protected:
  // Registers the class once per process and creates the window.
  bool CreateTopLevel(const wchar_t* className, const wchar_t* caption, DWORD style, DWORD exStyle,
                      int width, int height, HICON icon);
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
};

}  // namespace ordalis::win32
