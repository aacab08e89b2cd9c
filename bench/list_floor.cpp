// The floor for any program that shows a list: one top-level window holding
// a tab control and a report-mode list view with four columns, with Vemra's
// manifest (common controls 6, per-monitor DPI) and linked the same way.
// Nothing else: what Vemra.exe takes beyond this is its own. With
// ORDALIS_TRACE it writes the same trace of its start as Vemra.exe.
//
// Built with ORDALIS_FLOOR_CONTROLS (controls_floor.exe) it also shows the
// other controls of Vemra's main window, in the message font: what a window
// that shows those controls costs, before any work of Vemra's own.
#include <windows.h>
#include <commctrl.h>

#include "win32/start_trace.h"

using ordalis::win32::TraceStart;

namespace {

#ifdef ORDALIS_FLOOR_CONTROLS
constexpr wchar_t kTitle[] = L"Ordalis Floor Controls";

// Vemra's buttons, frame and options under the list, at 96 dpi.
struct Control {
  const wchar_t* text;
  DWORD style;
  int x, y, width, height;
};
constexpr DWORD kButton = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr Control kControls[] = {
    {L"&Hinzufügen", kButton, 8, 236, 88, 24},
    {L"&Bearbeiten", kButton, 104, 236, 88, 24},
    {L"&Löschen", kButton, 200, 236, 88, 24},
    {L"Automatische Erinnerung", WS_VISIBLE | BS_GROUPBOX, 8, 264, 280, 88},
    {L"s&tündlich", WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 20, 282, 260, 18},
    {L"bei &relevanten Meldungen", WS_VISIBLE | BS_AUTORADIOBUTTON, 20, 304, 260, 18},
    {L"&nie erinnern", WS_VISIBLE | BS_AUTORADIOBUTTON, 20, 326, 260, 18},
    {L"E&instellungen…", WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON, 372, 292, 96, 24},
    {L"Schließen", kButton | WS_GROUP, 372, 328, 96, 24},
};

void CreateOtherControls(HWND window, HINSTANCE instance) {
  NONCLIENTMETRICSW metrics{sizeof metrics};
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);  // lives as long as the program
  int id = 100;
  for (const Control& control : kControls) {
    HWND made =
        CreateWindowExW(0, WC_BUTTONW, control.text, WS_CHILD | control.style, control.x, control.y,
                        control.width, control.height, window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)), instance, nullptr);
    SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  CheckRadioButton(window, 104, 106, 106);
}
#else
constexpr wchar_t kTitle[] = L"Ordalis Floor";
#endif

LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) {
    // As in Vemra.exe: a timer comes once nothing is left to paint.
    KillTimer(hwnd, wParam);
    TraceStart("painted");
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  TraceStart("wWinMain", true);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
  InitCommonControlsEx(&controls);
  TraceStart("common controls");
  WNDCLASSEXW windowClass{sizeof windowClass};
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = L"OrdalisListFloor";
  if (!RegisterClassExW(&windowClass)) return 1;
  HWND hwnd = CreateWindowExW(0, L"OrdalisListFloor", kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, 480, 380, nullptr, nullptr, instance, nullptr);
  if (!hwnd) return 1;
  TraceStart("main window created");
  HWND tabs = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 8, 8, 448,
                              320, hwnd, nullptr, instance, nullptr);
  const wchar_t* tabNames[] = {L"Alles", L"Wichtiges", L"Sonstiges", L"Erledigtes"};
  for (int i = 0; i < 4; ++i) {
    TCITEMW item{TCIF_TEXT};
    item.pszText = const_cast<wchar_t*>(tabNames[i]);
    SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT, 16, 40, 432, 280,
                              hwnd, nullptr, instance, nullptr);
  const wchar_t* columnNames[] = {L"Datum", L"Zeit", L"Beschreibung", L"Nr."};
  for (int i = 0; i < 4; ++i) {
    LVCOLUMNW column{LVCF_TEXT | LVCF_WIDTH};
    column.cx = i == 2 ? 240 : 64;
    column.pszText = const_cast<wchar_t*>(columnNames[i]);
    SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
#ifdef ORDALIS_FLOOR_CONTROLS
  CreateOtherControls(hwnd, instance);
#endif
  TraceStart("tab and list");
  SetTimer(hwnd, 1, USER_TIMER_MINIMUM, nullptr);
  ShowWindow(hwnd, SW_SHOWNORMAL);
  TraceStart("shown", true);
  UpdateWindow(hwnd);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
