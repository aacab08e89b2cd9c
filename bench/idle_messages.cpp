// How busy the idle program is: the main window is created as the program
// creates it and left alone, shown and then resident in the notification
// area in each reminder mode, with a task snoozed to half an hour ahead; the
// message loop counts what it takes from the queue (WM_TIMER by window
// class, WM_SYSTIMER, WM_PAINT, the rest) and the process's CPU time. At the
// end of each phase it names the window's timers that still wait for their
// moment (found by killing them: the next phase arms its own). Settings go
// to a scratch registry key.
//
// Usage: idle_messages [seconds per phase, default 60]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "mainwindow/main_window.h"
#include "reminders/clock_win32.h"
#include "reminders/sound_win32.h"
#include "storage/profile_file_win32.h"
#include "storage/profile_format.h"
#include "storage/task_codec.h"
#include "storage/settings_win32.h"
#include "support.h"

namespace {

using namespace ordalis;

ULONGLONG CpuHundredNs() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto value = [](const FILETIME& t) {
    return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return value(kernel) + value(user);
}

std::string ClassOf(HWND hwnd) {
  if (!hwnd) return "(thread)";
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  std::string narrow;
  for (const wchar_t* c = name; *c; ++c) narrow.push_back(*c < 128 ? static_cast<char>(*c) : '?');
  return narrow;
}

void Idle(MainWindow& window, const char* phase, DWORD seconds) {
  std::map<std::string, int> timers;
  int sysTimers = 0, paints = 0, others = 0;
  const ULONGLONG cpuBefore = CpuHundredNs();
  const ULONGLONG until = GetTickCount64() + seconds * 1000ull;
  for (ULONGLONG now = GetTickCount64(); now < until; now = GetTickCount64()) {
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(until - now), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_TIMER) {
        ++timers[ClassOf(msg.hwnd)];
      } else if (msg.message == 0x118) {  // WM_SYSTIMER: caret and the like
        ++sysTimers;
      } else if (msg.message == WM_PAINT) {
        ++paints;
      } else {
        ++others;
      }
      if (window.PreTranslate(msg) || IsDialogMessageW(window.Handle(), &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  const double cpuMs = static_cast<double>(CpuHundredNs() - cpuBefore) / 10000.0;
  int timerTotal = 0;
  for (const auto& entry : timers) timerTotal += entry.second;
  std::printf("%-40s %3lu s  WM_TIMER %3d", phase, seconds, timerTotal);
  for (const auto& [name, count] : timers) std::printf(" [%s %d]", name.c_str(), count);
  std::printf("  WM_SYSTIMER %d  WM_PAINT %d  other %d  CPU %.0f ms  waiting:", sysTimers, paints,
              others, cpuMs);
  const std::pair<UINT_PTR, const char*> names[] = {
      {kTimerStunde, "hour"},        {kTimerRelevantes, "due"},  {kTimerRetryRead, "retry"},
      {kTimerOutsideChange, "file"}, {kTimerOccupied, "screen"}, {kTimerStartIcon, "icon"},
      {kTimerStartWatch, "watch"},   {kTimerSnooze, "snooze"},   {kTimerTip, "tip"}};
  for (const auto& [timer, name] : names) {
    if (KillTimer(window.Handle(), timer)) std::printf(" %s", name);
  }
  std::printf("\n");
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const DWORD seconds = argc > 1 ? static_cast<DWORD>(std::strtoul(argv[1], nullptr, 10)) : 60;

  // A scratch registry and folder, so the benchmark neither reads nor
  // changes the real settings and tasks.
  const ordalis::test::ScratchRegistry registry;
  const ordalis::test::TempFolder scratch;
  const std::wstring& folder = scratch.Path();

  RegistrySettings settings;
  settings.CreateKey(SettingsRoot::kCurrentUser, kMakerKey, L"1");
  settings.CreateKey(SettingsRoot::kCurrentUser, kSettingsKey, L"1");
  WriteSetting(settings, L"Startup", SettingValue(std::uint32_t{1}));     // no splash
  WriteSetting(settings, L"HelpDirekt", SettingValue(std::uint32_t{1}));  // no closing notice
  WriteSetting(settings, L"Beenden", SettingValue(std::uint32_t{1}));     // "nie" stays in the tray
  SystemClock clock;
  {
    // A task of a minute ago, snoozed to half an hour ahead.
    const long long minute = MinuteNumber(clock.Now());
    const LocalTime task = TimeOfMinute(minute - 1);
    const std::string text =
        "[Important]\r\n100=" +
        ProtectProfileValue(*EncodeTask({FormatDate(task), FormatTime(task), "Zahnarzt"})) +
        "\r\n[Snooze]\r\n100=" + SnoozeValue(minute + 30) + "\r\n";
    HANDLE file = CreateFileW((folder + L"\\Vemra.dat").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
  }
  {
    Win32TaskFiles files(folder);
    Win32SoundPlayer sound;
    MainWindowServices services{files,  settings,         clock, sound,
                                folder, files.DataPath(), false, nullptr};
    services.temporaryFolder = L"X:\\Temp";  // the scratch folder lies in the real one
    MainWindow window(std::move(services));
    if (!window.Create()) return 1;
    Idle(window, "shown, \"nie erinnern\"", seconds);
    const struct {
      int button;
      const char* phase;
    } modes[] = {{IDC_OWECKER1, "in the tray, \"stuendlich\""},
                 {IDC_OWECKER2, "in the tray, \"bei relevanten Meldungen\""},
                 {IDC_OWECKER3, "in the tray, \"nie erinnern\""}};
    for (const auto& mode : modes) {
      window.mVisible_Click();
      SendMessageW(GetDlgItem(window.Handle(), mode.button), BM_CLICK, 0, 0);
      window.bBeenden_Click();
      Idle(window, mode.phase, seconds);
    }
  }

  return 0;
}
