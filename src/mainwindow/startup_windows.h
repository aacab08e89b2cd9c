#pragma once
// The two small windows of start-up: the splash window, and the notice a
// second copy of the program shows before it ends.
#include <windows.h>

#include <memory>

namespace ordalis {

// "Ordalis" with the program's picture, drawn here; shown without waiting.
class SplashWindow {
 public:
  SplashWindow();
  ~SplashWindow();
  SplashWindow(const SplashWindow&) = delete;
  SplashWindow& operator=(const SplashWindow&) = delete;
  HWND Handle() const { return hwnd_; }

 private:
  static LRESULT CALLBACK Procedure(HWND, UINT, WPARAM, LPARAM);
  HWND hwnd_ = nullptr;
};

inline constexpr wchar_t kAlreadyRunningCaption[] = L"Wo sind die Programme";

// "Wo sind die Programme": topmost in the lower right corner.
class AlreadyRunningNotice {
 public:
  AlreadyRunningNotice();
  ~AlreadyRunningNotice();
  AlreadyRunningNotice(const AlreadyRunningNotice&) = delete;
  AlreadyRunningNotice& operator=(const AlreadyRunningNotice&) = delete;
  HWND Handle() const;

 private:
  struct Dialog;
  std::unique_ptr<Dialog> dialog_;
};

}  // namespace ordalis
