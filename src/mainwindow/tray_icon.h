#pragma once
// The program's one icon in the notification area. Its host is a hidden
// window of its own, which also hears when Explorer restarts and puts the
// icon back. Shown() tells the truth: the icon is there or it is not;
// Wanted() tells whether the program wants it there. An add the shell
// refuses (at log-on the task bar may not be there yet) is tried again for
// about a minute, and every new task bar gets the icon while it is wanted.
#include <windows.h>

#include <functional>
#include <string>

#include "win32/handles.h"
#include "win32/shell.h"

namespace ordalis {

class TrayIcon {
 public:
  // The host receives the callback message 0x200 with the event on the icon
  // in the low word of lParam (NOTIFYICON_VERSION_4: the mouse messages,
  // NIN_SELECT, NIN_KEYSELECT, WM_CONTEXTMENU; the anchor point in wParam).
  static constexpr UINT kCallbackMessage = 0x200;
  // The host's timer that tries a refused add again, and how often.
  static constexpr UINT_PTR kRetryTimer = 1;
  static constexpr UINT kRetryInterval = 5000;  // ms
  static constexpr int kRetries = 12;
  // The shell's Shell_NotifyIconW, or a stand-in for it.
  using ShellNotify = BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAW);

  TrayIcon() = default;
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;
  ~TrayIcon();

  // `onMouse` gets the presses on the icon as mouse messages: a button
  // going down, and from the keyboard (Win+B, the arrow keys) Enter or the
  // space bar as the left button, the context-menu key or Shift+F10 as the
  // right one.
  void Setup(HICON icon, std::function<void(UINT)> onMouse);
  // Shows the program's icon `id` at the notification area's size instead,
  // loaded again for a new task bar and by Reload() (the DPI changed).
  void UseProgramIcon(int id);
  void Reload();
  HICON Icon() const { return icon_; }
  // The hidden host window, made at the first call (or the first Add) with
  // the program's icon: a start that shows its window first does not wait
  // for either.
  HWND Host();

  // Puts the icon into the notification area, or updates it when it is
  // there already: never a second icon.
  bool Add(const std::wstring& tip);
  bool Add() { return Add(tip_); }
  // The icon's tip, shown at once when the icon is there.
  void SetTip(const std::wstring& tip);
  const std::wstring& Tip() const { return tip_; }
  // Shows the start balloon on the icon (once per call).
  bool ShowBalloon();
  // Shows a reminder's notification on the icon, with the program's icon;
  // Windows holds it back while the user must not be disturbed. A click on
  // it reaches `onMouse` as NIN_BALLOONUSERCLICK.
  bool ShowNotice(const std::wstring& text);
  void Remove();
  bool Shown() const { return shown_; }
  bool Wanted() const { return wanted_; }
  // Tests stand in for the shell.
  void SetShell(ShellNotify shell) { shell_ = shell; }
  // Whether the press being handled came from the keyboard, and where the
  // shell wants a menu for it (screen coordinates).
  bool FromKeyboard() const { return fromKeyboard_; }
  POINT Anchor() const { return anchor_; }
  // Gives the keyboard back to the notification area (a menu opened from
  // the keyboard was closed without a choice).
  void ReturnFocus();
  // How many start balloons the shell took so far.
  int BalloonsShown() const { return balloons_; }

 private:
  static LRESULT CALLBACK HostProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  NOTIFYICONDATAW Record(UINT flags) const;
  bool Balloon(const wchar_t* text, DWORD infoFlags);
  bool TryAdd();
  void RetryTick();

  HWND host_ = nullptr;
  HICON icon_ = nullptr;  // the owner's or ownIcon_
  int iconId_ = 0;
  win32::UniqueIcon ownIcon_;
  std::wstring tip_ = L"Ordalis";
  bool shown_ = false;
  bool wanted_ = false;
  int retriesLeft_ = 0;
  ShellNotify shell_ = win32::NotifyIcon;
  int balloons_ = 0;
  UINT taskbarCreated_ = 0;
  std::function<void(UINT)> onMouse_;
  void OnEvent(UINT event, WPARAM anchor);
  bool fromKeyboard_ = false;
  bool rightButtonDown_ = false;  // the next WM_CONTEXTMENU is this press's
  POINT anchor_{};
};

}  // namespace ordalis
