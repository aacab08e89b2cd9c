#include "mainwindow/tray_icon.h"

#include <utility>

#include "win32/icons.h"
#include "win32/window.h"

namespace ordalis {

namespace {
constexpr UINT kIconId = 1;
constexpr wchar_t kHostClass[] = L"OrdalisTrayHost";
constexpr wchar_t kBalloonTitle[] = L"Ordalis";
constexpr wchar_t kBalloonText[] =
    L"Ordalis bleibt für den schnellen Zugriff im Infobereich der Taskleiste.";
}  // namespace

TrayIcon::~TrayIcon() {
  Remove();
  if (host_) DestroyWindow(host_);
}

void TrayIcon::Setup(HICON icon, std::function<void(UINT)> onMouse) {
  icon_ = icon;
  onMouse_ = std::move(onMouse);
}

HWND TrayIcon::Host() {
  if (host_) return host_;
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  win32::EnsureWindowClass(kHostClass, HostProcedure);
  // A hidden top-level window: only these hear the "TaskbarCreated" broadcast.
  host_ = CreateWindowExW(WS_EX_TOOLWINDOW, kHostClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                          GetModuleHandleW(nullptr), this);
  Reload();
  return host_;
}

void TrayIcon::UseProgramIcon(int id) {
  iconId_ = id;
  Reload();
}

void TrayIcon::Reload() {
  if (!iconId_ || !host_) return;  // loaded with the host
  win32::UniqueIcon fresh = win32::LoadNotificationIcon(GetModuleHandleW(nullptr), iconId_);
  if (!fresh) return;
  icon_ = fresh.get();
  if (shown_) {
    NOTIFYICONDATAW record = Record(NIF_ICON);
    shell_(NIM_MODIFY, &record);
  }
  ownIcon_ = std::move(fresh);  // the shell shows the new one now
}

NOTIFYICONDATAW TrayIcon::Record(UINT flags) const {
  NOTIFYICONDATAW record{};
  record.cbSize = sizeof record;
  record.hWnd = host_;
  record.uID = kIconId;
  record.uFlags = flags;
  record.uCallbackMessage = kCallbackMessage;
  record.hIcon = icon_;
  lstrcpynW(record.szTip, tip_.c_str(), ARRAYSIZE(record.szTip));
  return record;
}

bool TrayIcon::Add(const std::wstring& tip) {
  tip_ = tip;
  wanted_ = true;
  if (!Host()) return false;
  if (TryAdd()) return true;
  if (retriesLeft_ == 0) {
    retriesLeft_ = kRetries;
    SetTimer(host_, kRetryTimer, kRetryInterval, nullptr);
  }
  return false;
}

void TrayIcon::SetTip(const std::wstring& tip) {
  if (tip == tip_) return;
  tip_ = tip;
  NOTIFYICONDATAW record = Record(NIF_TIP);
  if (shown_) shell_(NIM_MODIFY, &record);
}

bool TrayIcon::TryAdd() {
  NOTIFYICONDATAW record = Record(NIF_MESSAGE | NIF_ICON | NIF_TIP);
  if (shown_ && shell_(NIM_MODIFY, &record)) return true;
  shown_ = shell_(NIM_ADD, &record) != FALSE;
  if (shown_) {
    // Version 4: the keyboard reaches the icon and tells what it pressed.
    record.uVersion = NOTIFYICON_VERSION_4;
    shell_(NIM_SETVERSION, &record);
  }
  return shown_;
}

void TrayIcon::RetryTick() {
  if (wanted_ && !shown_ && retriesLeft_ > 0 && !TryAdd() && --retriesLeft_ > 0) return;
  retriesLeft_ = 0;
  KillTimer(host_, kRetryTimer);
}

bool TrayIcon::Balloon(const wchar_t* text, DWORD infoFlags) {
  if (!shown_) return false;
  NOTIFYICONDATAW record = Record(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO);
  lstrcpynW(record.szInfo, text, ARRAYSIZE(record.szInfo));
  lstrcpynW(record.szInfoTitle, kBalloonTitle, ARRAYSIZE(record.szInfoTitle));
  record.uTimeout = 10;  // the shell applies its own minimum
  record.dwInfoFlags = infoFlags;
  record.hBalloonIcon = icon_;
  return shell_(NIM_MODIFY, &record) != FALSE;
}

bool TrayIcon::ShowBalloon() {
  if (!Balloon(kBalloonText, NIIF_USER)) return false;
  ++balloons_;
  return true;
}

bool TrayIcon::ShowNotice(const std::wstring& text) {
  return Balloon(text.c_str(), NIIF_USER | NIIF_RESPECT_QUIET_TIME);
}

void TrayIcon::ReturnFocus() {
  if (!shown_) return;
  NOTIFYICONDATAW record = Record(0);
  shell_(NIM_SETFOCUS, &record);
}

void TrayIcon::OnEvent(UINT event, WPARAM anchor) {
  UINT press = 0;
  bool keyboard = false;
  switch (event) {
    case WM_LBUTTONDOWN:
      press = event;
      rightButtonDown_ = false;
      break;
    case WM_RBUTTONDOWN:
      press = event;
      rightButtonDown_ = true;
      break;
    case NIN_KEYSELECT:
      press = WM_LBUTTONDOWN;
      keyboard = true;
      break;
    case WM_CONTEXTMENU:
      // After a right press of the mouse its menu is open already; without
      // one it is the context-menu key or Shift+F10.
      if (!std::exchange(rightButtonDown_, false)) {
        press = WM_RBUTTONDOWN;
        keyboard = true;
      }
      break;
    default: press = event; break;  // NIN_SELECT, button-up and the rest
  }
  if (!press || !onMouse_) return;
  fromKeyboard_ = keyboard;
  anchor_ = {static_cast<SHORT>(LOWORD(anchor)), static_cast<SHORT>(HIWORD(anchor))};
  onMouse_(press);
  fromKeyboard_ = false;
}

void TrayIcon::Remove() {
  if (!host_) return;
  NOTIFYICONDATAW record = Record(0);
  shell_(NIM_DELETE, &record);
  shown_ = false;
  wanted_ = false;
  retriesLeft_ = 0;
  KillTimer(host_, kRetryTimer);
}

LRESULT CALLBACK TrayIcon::HostProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    SetWindowLongPtrW(
        hwnd, GWLP_USERDATA,
        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  }
  auto* self = reinterpret_cast<TrayIcon*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self) {
    if (message == kCallbackMessage) {
      try {
        self->OnEvent(LOWORD(lParam), wParam);
      } catch (...) {
        // A failed step is skipped.
      }
      return 0;
    }
    if (message == self->taskbarCreated_ && self->taskbarCreated_ != 0) {
      // A new task bar holds no icon of ours: put it back while it is wanted,
      // also when the first add was refused.
      if (self->wanted_) {
        self->shown_ = false;
        self->Reload();  // the new task bar may stand at another DPI
        self->Add(self->tip_);
      }
      return 0;
    }
    if (message == WM_TIMER && wParam == kRetryTimer) {
      self->RetryTick();
      return 0;
    }
    if (message == WM_NCDESTROY) {
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      self->host_ = nullptr;
    }
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace ordalis
