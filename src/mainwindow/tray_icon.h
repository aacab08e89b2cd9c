#pragma once
// The program's one icon in the notification area. Its host is a hidden
// window of its own, which also hears when Explorer restarts and puts the
// icon back. Shown() tells the truth: the icon is there or it is not.
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

namespace ordalis {

class TrayIcon {
 public:
  // The host receives the callback message 0x200 with the mouse message on
  // the icon in the low word of lParam.
  static constexpr UINT kCallbackMessage = 0x200;

  TrayIcon() = default;
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;
  ~TrayIcon();

  // `onMouse` gets the mouse messages on the icon (0x201, 0x204, ...).
  bool CreateHost(HICON icon, std::function<void(UINT)> onMouse);
  HWND Host() const { return host_; }

  // Puts the icon into the notification area, or updates it when it is
  // there already: never a second icon.
  bool Add(const std::wstring& tip);
  // Shows the start balloon on the icon (once per call).
  bool ShowBalloon();
  void Remove();
  bool Shown() const { return shown_; }
  // How many start balloons the shell took so far.
  int BalloonsShown() const { return balloons_; }

 private:
  static LRESULT CALLBACK HostProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  NOTIFYICONDATAW Record(UINT flags) const;

  HWND host_ = nullptr;
  HICON icon_ = nullptr;  // the owner's; not ours to destroy
  std::wstring tip_;
  bool shown_ = false;
  int balloons_ = 0;
  UINT taskbarCreated_ = 0;
  std::function<void(UINT)> onMouse_;
};

}  // namespace ordalis
