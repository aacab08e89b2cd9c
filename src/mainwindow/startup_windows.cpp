#include "mainwindow/startup_windows.h"

#include "resources/resource.h"
#include "win32/controls.h"
#include "win32/dialog.h"
#include "win32/dpi.h"
#include "win32/icons.h"
#include "win32/window.h"

namespace ordalis {

using win32::TwipsToPixels;

namespace {
constexpr wchar_t kSplashClass[] = L"OrdalisSplash";
constexpr int kSplashWidth = 5400, kSplashHeight = 2880;  // twips

void PaintSplash(HWND hwnd) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd, &paint);
  RECT client;
  GetClientRect(hwnd, &client);
  const UINT dpi = win32::WindowDpi(hwnd);
  // The selection's colours: the user's accent, and readable in every
  // high-contrast scheme.
  FillRect(dc, &client, GetSysColorBrush(COLOR_HIGHLIGHT));

  const int iconSize = TwipsToPixels(720, dpi);
  const win32::UniqueIcon icon =
      win32::LoadIconAtSize(GetModuleHandleW(nullptr), IDI_VEMRA, iconSize);
  const int margin = TwipsToPixels(360, dpi);
  if (icon) DrawIconEx(dc, margin, margin, icon.get(), iconSize, iconSize, 0, nullptr, DI_NORMAL);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
  win32::UniqueFont title = win32::PointFont(L"Tahoma", 26, dpi);
  win32::UniqueFont line = win32::PointFont(L"Tahoma", 10, dpi);
  HGDIOBJ old = SelectObject(dc, title.get());
  RECT text{margin + iconSize + margin / 2, margin - margin / 4, client.right - margin,
            client.bottom};
  DrawTextW(dc, L"Ordalis", -1, &text, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, line.get());
  text.top += TwipsToPixels(720, dpi);
  DrawTextW(dc, L"Aufgaben und Erinnerungen", -1, &text,
            DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
  RECT foot{margin, client.bottom - margin - TwipsToPixels(240, dpi), client.right - margin,
            client.bottom - margin / 2};
  DrawTextW(dc, L"Wird gestartet …", -1, &foot, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
  EndPaint(hwnd, &paint);
}
}  // namespace

SplashWindow::SplashWindow() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  win32::EnsureWindowClass(kSplashClass, Procedure, nullptr, LoadCursorW(nullptr, IDC_APPSTARTING));
  const UINT dpi = win32::WindowDpi(nullptr);
  const int width = TwipsToPixels(kSplashWidth, dpi), height = TwipsToPixels(kSplashHeight, dpi);
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kSplashClass, L"Ordalis",
                          WS_POPUP | WS_BORDER, (work.left + work.right - width) / 2,
                          (work.top + work.bottom - height) / 2, width, height, nullptr, nullptr,
                          instance, nullptr);
  if (hwnd_) {
    ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd_);
  }
}

SplashWindow::~SplashWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

LRESULT CALLBACK SplashWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PaintSplash(hwnd);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

struct AlreadyRunningNotice::Dialog : win32::Dialog {
  static constexpr int kLabel = 3001;
  static constexpr win32::ControlSpec kControls[] = {
      {L"STATIC",
       L"Das Programm ist bereits gestartet. Klicken Sie sein Symbol im Infobereich der "
       L"Taskleiste an, um das Menü anzuzeigen.",
       kLabel, WS_VISIBLE | SS_NOPREFIX, 240, 240, 4320, 900},
      // Focused, so that a screen reader reads the notice when it shows.
      {L"BUTTON", L"OK", IDOK, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 3360, 1200, 1200, 375},
  };
  std::span<const win32::ControlSpec> Controls() const override { return kControls; }
  std::wstring Caption() const override { return kAlreadyRunningCaption; }
  SIZE ClientTwips() const override { return {4800, 1740}; }
  win32::UniqueFont MakeFont(UINT dpi) const override {
    return win32::PointFont(L"Verdana", 9, dpi);
  }
  HWND OnInit() override {
    // The lower right corner of the screen, on top of everything.
    RECT rect{};
    GetWindowRect(Handle(), &rect);
    const UINT dpi = Dpi();
    const int left =
        GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left) - TwipsToPixels(50, dpi);
    const int top =
        GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top) - TwipsToPixels(500, dpi);
    SetWindowPos(Handle(), HWND_TOPMOST, left, top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    return Item(IDOK);
  }
};

AlreadyRunningNotice::AlreadyRunningNotice() : dialog_(std::make_unique<Dialog>()) {
  // The user just started the program: the notice takes the keyboard.
  if (HWND hwnd = dialog_->CreateModeless(nullptr)) {
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
  }
}

AlreadyRunningNotice::~AlreadyRunningNotice() {
  if (HWND hwnd = Handle()) {
    SetWindowPos(hwnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

HWND AlreadyRunningNotice::Handle() const {
  return dialog_->Handle();
}

}  // namespace ordalis
