// Ordalis: tasks and reminders that live in the notification area.
#include <windows.h>
#include <commctrl.h>

#include "mainwindow/main_window.h"
#include "storage/profile_file_win32.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
  INITCOMMONCONTROLSEX controls{sizeof controls,
                                ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  ordalis::Win32TaskFiles files(ordalis::ProgramFolder());
  ordalis::MainWindow window(files, files.DataPath());
  if (!window.Create()) return 1;
  ShowWindow(window.Handle(), show);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (window.PreTranslate(msg) || IsDialogMessageW(window.Handle(), &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
