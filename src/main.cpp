// Ordalis: tasks and reminders that live in the notification area.
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <cwchar>

#include "mainwindow/main_window.h"
#include "mainwindow/startup_windows.h"
#include "reminders/clock_win32.h"
#include "reminders/sound_win32.h"
#include "storage/profile_file_win32.h"
#include "storage/settings_win32.h"
#include "win32/handles.h"
#include "win32/start_trace.h"
#include "win32/wait.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  ordalis::win32::TraceStart("wWinMain", true);
  INITCOMMONCONTROLSEX controls{sizeof controls,
                                ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  ordalis::win32::TraceStart("common controls");

  // One copy at a time, for each program folder: a named mutex, taken
  // before any window exists, so two starts at the same moment give one
  // program. The name holds a hash of the folder, as a name cannot hold "\\".
  const std::wstring folder = ordalis::ProgramFolder();
  std::wstring lower = folder;
  CharLowerBuffW(lower.data(), static_cast<DWORD>(lower.size()));
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (wchar_t c : lower) hash = (hash ^ static_cast<std::uint16_t>(c)) * 1099511628211ull;
  wchar_t name[64];
  swprintf(name, 64, L"Local\\Ordalis-%016llx", static_cast<unsigned long long>(hash));
  const ordalis::win32::UniqueHandle running(CreateMutexW(nullptr, FALSE, name));
  // Should no mutex be had at all, the program still starts.
  if (running && GetLastError() == ERROR_ALREADY_EXISTS) {
    ordalis::AlreadyRunningNotice notice;
    // Four seconds, or until its "OK" (Enter, Esc) closes it.
    const ULONGLONG until = GetTickCount64() + 4000;
    for (ULONGLONG now = GetTickCount64(); notice.Handle() && now < until; now = GetTickCount64()) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (notice.Handle() && IsDialogMessageW(notice.Handle(), &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(until - now), QS_ALLINPUT);
    }
    return 0;
  }

  ordalis::Win32TaskFiles files(folder);
  ordalis::RegistrySettings settings;
  ordalis::SystemClock clock;
  ordalis::Win32SoundPlayer sound;
  ordalis::MainWindow window({files, settings, clock, sound, folder, files.DataPath(),
                              commandLine && std::wstring_view(commandLine) == L"/a",
                              [] { PostQuitMessage(0); }});
  if (!window.Create()) return 0;
  ordalis::win32::TraceStart("start-up done, message loop");

  MSG msg;
  // Asleep until a message comes or a handle the program watches is set.
  while (ordalis::win32::NextMessage(msg)) {
    // A failed handler is skipped; the program goes on. The windows' own
    // procedures catch theirs; this guards the keys handled here.
    try {
      if (window.PreTranslate(msg)) continue;
      // The main window and every modeless dialog get the dialog manager's
      // keyboard handling (Tab, Esc, access keys) from the window they
      // belong to.
      HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
      if (root && IsDialogMessageW(root, &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    } catch (...) {
    }
  }
  return static_cast<int>(msg.wParam);
}
