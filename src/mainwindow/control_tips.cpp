#include "mainwindow/control_tips.h"

#include <string>

#include "mainwindow/main_window.h"
#include "win32/dpi.h"

namespace ordalis {

const ControlTip kControlTips[5] = {
    {IDC_OWECKER1, L"Zu jeder vollen Stunde erinnert Ordalis Sie an Ihre Aufgaben."},
    {IDC_OWECKER2,
     L"Ordalis überwacht die Aufgaben in „Wichtiges“ und meldet jede, sobald sie fällig ist."},
    {IDC_OWECKER3, L"Keine Erinnerung: „Schließen“ beendet Ordalis."},
    {IDC_BOPTIONEN, L"Zeigt die Einstellungen von Ordalis und lässt sie ändern."},
    {IDC_BBEENDEN, L"Schließt das Fenster; je nach Erinnerung bleibt Ordalis im Infobereich."},
};

namespace {

// At 96 dpi; the tips grow with the window's DPI as its font does.
constexpr int kMaxTipWidth = 185;
constexpr int kMargin = 8;

std::wstring CaptionOf(HWND window) {
  std::wstring caption(GetWindowTextLengthW(window) + 1, L'\0');
  caption.resize(GetWindowTextW(window, caption.data(), static_cast<int>(caption.size())));
  return caption;
}

}  // namespace

void ControlTips::SetupControlTooltips(HWND mainWindow, DWORD style) {
  mainWindow_ = mainWindow;
  const UINT dpi = win32::WindowDpi(mainWindow);
  tips_.Create(mainWindow, style);
  for (const ControlTip& tip : kControlTips) {
    if (HWND control = GetDlgItem(mainWindow, tip.controlId)) tips_.AddTool(control, 0, tip.text);
  }
  // The title is set and taken back again: the tips show without one.
  tips_.Title(CaptionOf(mainWindow));
  tips_.SetDelayTime(TTDT_AUTOPOP, 10000);
  tips_.SetDelayTime(TTDT_INITIAL, 100);
  tips_.SetDelayTime(TTDT_RESHOW, 200);
  tips_.MaxTipWidth(MulDiv(kMaxTipWidth, dpi, 96));
  tips_.Title(L"");
  tips_.SetDelayTime(TTDT_INITIAL, 500);
  SetMargins(dpi);
}

void ControlTips::Add(HWND control) {
  if (!mainWindow_ || !control) return;
  for (const ControlTip& tip : kControlTips) {
    if (tip.controlId == GetDlgCtrlID(control)) tips_.AddTool(control, 0, tip.text);
  }
}

void ControlTips::Rescale(UINT dpi) {
  tips_.MaxTipWidth(MulDiv(kMaxTipWidth, dpi, 96));
  SetMargins(dpi);
}

void ControlTips::SetMargins(UINT dpi) {
  // A tip with a title keeps the control's own spacing.
  const int margin = tips_.Title().empty() ? MulDiv(kMargin, dpi, 96) : 0;
  tips_.MarginLeft(margin);
  tips_.MarginTop(margin);
  tips_.MarginRight(margin);
  tips_.MarginBottom(margin);
}

}  // namespace ordalis
