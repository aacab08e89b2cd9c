#include "mainwindow/tray_icon.h"

#include "win32/window.h"

namespace ordalis {

namespace {
constexpr UINT kIconId = 1;
constexpr wchar_t kHostClass[] = L"OrdalisTrayHost";
constexpr wchar_t kBalloonTitle[] = L"Ordalis";
constexpr wchar_t kBalloonText[] =
    L" Ordalis bleibt für den schnellen Zugriff.      \r\n"
    L" in der Traybar (Infobereich) von Windows. ";
}  // namespace

TrayIcon::~TrayIcon() {
  Remove();
  if (host_) DestroyWindow(host_);
}

bool TrayIcon::CreateHost(HICON icon, std::function<void(UINT)> onMouse) {
  icon_ = icon;
  onMouse_ = std::move(onMouse);
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  win32::EnsureWindowClass(kHostClass, HostProcedure);
  // A hidden top-level window: only these hear the "TaskbarCreated" broadcast.
  host_ = CreateWindowExW(WS_EX_TOOLWINDOW, kHostClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                          instance, this);
  return host_ != nullptr;
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
  if (TryAdd()) return true;
  if (host_ && retriesLeft_ == 0) {
    retriesLeft_ = kRetries;
    SetTimer(host_, kRetryTimer, kRetryInterval, nullptr);
  }
  return false;
}

bool TrayIcon::TryAdd() {
  NOTIFYICONDATAW record = Record(NIF_MESSAGE | NIF_ICON | NIF_TIP);
  if (shown_ && shell_(NIM_MODIFY, &record)) return true;
  shown_ = shell_(NIM_ADD, &record) != FALSE;
  return shown_;
}

void TrayIcon::RetryTick() {
  if (wanted_ && !shown_ && retriesLeft_ > 0 && !TryAdd() && --retriesLeft_ > 0) return;
  retriesLeft_ = 0;
  KillTimer(host_, kRetryTimer);
}

bool TrayIcon::ShowBalloon() {
  if (!shown_) return false;
  NOTIFYICONDATAW record = Record(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO);
  lstrcpynW(record.szInfo, kBalloonText, ARRAYSIZE(record.szInfo));
  lstrcpynW(record.szInfoTitle, kBalloonTitle, ARRAYSIZE(record.szInfoTitle));
  record.uTimeout = 10;  // the shell applies its own minimum
  record.dwInfoFlags = NIIF_USER;
  if (!shell_(NIM_MODIFY, &record)) return false;
  ++balloons_;
  return true;
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
        if (self->onMouse_) self->onMouse_(LOWORD(lParam));
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
