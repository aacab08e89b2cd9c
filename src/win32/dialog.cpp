#include "win32/dialog.h"

#include <algorithm>
#include <utility>

#include "win32/dpi.h"
#include "win32/wait.h"
#include "win32/window.h"

namespace ordalis::win32 {

namespace {

constexpr DWORD kDialogStyle = DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;

// An empty dialog template: the controls are created from the table when
// the dialog starts, and the size is set there in twips.
struct EmptyTemplate {
  DLGTEMPLATE header{kDialogStyle, WS_EX_CONTROLPARENT, 0, 0, 0, 0, 0};
  WORD menu = 0, windowClass = 0, title = 0;
};

}  // namespace

Dialog::~Dialog() {
  if (hwnd_ && !modal_) DestroyWindow(hwnd_);
}

INT_PTR Dialog::RunModal(HWND owner) {
  static const EmptyTemplate kTemplate;
  if (!quietly_) {
    modal_ = true;
    return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &kTemplate.header, owner, Procedure,
                                   reinterpret_cast<LPARAM>(this));
  }
  // The dialog manager's loop shows a dialog itself, and activates it: this
  // one leaves it as it was shown, and is modal all the same.
  modal_ = false;
  ended_ = false;
  if (!CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &kTemplate.header, owner, Procedure,
                                  reinterpret_cast<LPARAM>(this))) {
    return -1;
  }
  const bool ownerEnabled = owner && IsWindowEnabled(owner);
  if (ownerEnabled) EnableWindow(owner, FALSE);
  MSG msg{};
  while (hwnd_ && !ended_ && NextMessage(msg)) {
    if (!IsDialogMessageW(hwnd_, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  if (msg.message == WM_QUIT) PostQuitMessage(static_cast<int>(msg.wParam));
  // The owner first, so that it is the one activated when the dialog goes.
  if (ownerEnabled) EnableWindow(owner, TRUE);
  if (hwnd_) DestroyWindow(hwnd_);
  return ended_ ? result_ : IDCANCEL;
}

HWND Dialog::CreateModeless(HWND owner) {
  static const EmptyTemplate kTemplate;
  modal_ = false;
  return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &kTemplate.header, owner, Procedure,
                                    reinterpret_cast<LPARAM>(this));
}

void Dialog::End(INT_PTR result) {
  if (quietly_) {
    result_ = result;
    ended_ = true;
    PostMessageW(hwnd_, WM_NULL, 0, 0);  // wakes the loop
  } else if (modal_) {
    EndDialog(hwnd_, result);
  } else {
    DestroyWindow(hwnd_);
  }
}

void Dialog::Layout(bool placeControls) {
  const SIZE client = ClientTwips();
  const SIZE outer =
      WindowSizeForClient(TwipsToPixels(client.cx, dpi_), TwipsToPixels(client.cy, dpi_),
                          kDialogStyle, WS_EX_CONTROLPARENT, dpi_);
  SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx, outer.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (placeControls) PlaceControls(hwnd_, Controls(), dpi_, font_.get());
}

void Dialog::CenterOverOwner() {
  // Over the owner while it is on screen, otherwise in the work area of the
  // monitor it returns to.
  RECT area{}, rect{};
  HWND owner = GetWindow(hwnd_, GW_OWNER);
  MONITORINFO ownerMonitor{sizeof ownerMonitor};
  if (owner && IsWindowVisible(owner) && !IsIconic(owner)) {
    GetWindowRect(owner, &area);
  } else if (const RECT placed = owner ? PlacedRect(owner) : RECT{};
             owner &&
             GetMonitorInfoW(MonitorFromRect(&placed, MONITOR_DEFAULTTONEAREST), &ownerMonitor)) {
    area = ownerMonitor.rcWork;
  } else {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  }
  GetWindowRect(hwnd_, &rect);
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  int left = (area.left + area.right - width) / 2, top = (area.top + area.bottom - height) / 2;
  // Never off the monitor the owner is on.
  MONITORINFO monitor{sizeof monitor};
  if (GetMonitorInfoW(MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST), &monitor)) {
    const RECT& work = monitor.rcWork;
    left =
        std::max(static_cast<int>(work.left), std::min(left, static_cast<int>(work.right) - width));
    top =
        std::max(static_cast<int>(work.top), std::min(top, static_cast<int>(work.bottom) - height));
  }
  SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::function<void(int)>& Dialog::HelpOpener() {
  static std::function<void(int)> open;
  return open;
}

LRESULT CALLBACK Dialog::HelpFilter(int code, WPARAM wParam, LPARAM lParam) {
  const auto* msg = reinterpret_cast<const MSG*>(lParam);
  if (code == MSGF_DIALOGBOX && msg->message == WM_KEYDOWN && msg->wParam == VK_F1 &&
      GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_CONTROL) >= 0) {
    HWND root = GetAncestor(msg->hwnd, GA_ROOT);
    for (Dialog* dialog : open_) {
      if (dialog->hwnd_ == root && dialog->OnHelpKey()) return TRUE;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

INT_PTR CALLBACK Dialog::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<Dialog*>(lParam);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    if (open_.empty()) {
      helpFilter_ = SetWindowsHookExW(WH_MSGFILTER, HelpFilter, nullptr, GetCurrentThreadId());
    }
    open_.push_back(self);
  }
  auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (!self) return FALSE;
  INT_PTR result = FALSE;
  try {
    result = self->Handle(message, wParam, lParam);
  } catch (...) {
    // the step is skipped; the dialog goes on
  }
  if (message == WM_NCDESTROY) {
    self->hwnd_ = nullptr;
    std::erase(open_, self);
    if (open_.empty() && helpFilter_) UnhookWindowsHookEx(std::exchange(helpFilter_, nullptr));
  }
  return result;
}

INT_PTR Dialog::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      dpi_ = WindowDpi(hwnd_);
      font_ = MakeFont(dpi_);
      SetWindowTextW(hwnd_, Caption().c_str());
      CreateControls(hwnd_, Controls(), dpi_, font_.get());
      Layout(false);
      CenterOverOwner();
      HWND first = OnInit();
      if (!first) first = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
      if (quietly_) {
        // Visible now, the dialog manager does not show (and activate) it
        // again; setting the focus would activate it.
        focusOnActivation_ = first;
        ShowInFront(hwnd_, true);
        return FALSE;
      }
      if (first) SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
      return FALSE;  // the focus is set
    }
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (OnCommand(id, HIWORD(wParam))) return TRUE;
      if (id == IDOK || id == IDCANCEL) {
        End(id);
        return TRUE;
      }
      return FALSE;
    }
    case WM_DPICHANGED: {
      dpi_ = HIWORD(wParam);
      font_ = MakeFont(dpi_);
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      Layout(true);
      OnDpiChanged();
      return TRUE;
    }
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE: RepaintForNewColours(hwnd_); return FALSE;
    default: {
      if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE && focusOnActivation_) {
        PostMessageW(hwnd_, WM_NEXTDLGCTL,
                     reinterpret_cast<WPARAM>(std::exchange(focusOnActivation_, nullptr)), TRUE);
      }
      INT_PTR result = 0;
      if (OnMessage(message, wParam, lParam, result)) {
        // These few messages take their result straight from the procedure.
        if ((message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) ||
            message == WM_COMPAREITEM || message == WM_VKEYTOITEM || message == WM_CHARTOITEM ||
            message == WM_QUERYDRAGICON) {
          return result;
        }
        SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
        return TRUE;
      }
      return FALSE;
    }
  }
}

}  // namespace ordalis::win32
