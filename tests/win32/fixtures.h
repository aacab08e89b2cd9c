#pragma once
// Shared by the Windows tests of the task file, the main window, its
// commands and its life, and the editor: tasks in failure messages, a clock
// that stands still, a sound player that only takes notes, data files
// written by hand, and the main window on a scratch registry and folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "mainwindow/main_window.h"
#include "session/clock.h"
#include "reminders/sound.h"
#include "storage/profile_file_win32.h"
#include "storage/profile_format.h"
#include "storage/scrambler.h"
#include "storage/settings_win32.h"
#include "storage/task.h"
#include "storage/task_codec.h"
#include "storage/task_file.h"
#include "support.h"
#include "win32/text.h"
#include "win32/wait.h"

namespace ordalis {

// Failures show tasks as text.
inline void PrintTo(const Task& task, std::ostream* out) {
  *out << "{" << testing::PrintToString(task.date) << ", " << testing::PrintToString(task.time)
       << ", " << testing::PrintToString(task.description) << "}";
}

namespace test {

inline std::vector<Task> TasksOf(const std::vector<TaskRow>& rows) {
  std::vector<Task> tasks;
  for (const TaskRow& row : rows) tasks.push_back(row.task);
  return tasks;
}

inline std::vector<std::string> KeysOf(const std::vector<TaskRow>& rows) {
  std::vector<std::string> keys;
  for (const TaskRow& row : rows) keys.push_back(row.key);
  return keys;
}

class FixedClock : public Clock {
 public:
  LocalTime now{2026, 12, 8, 10, 30, 0, 0};
  LocalTime Now() override { return now; }
};

struct Played {
  std::wstring sound;  // resource name or file path
  bool file = false;
  bool wait = false;
  bool windowVisible = false;  // the main window when the sound started
  bool operator==(const Played&) const = default;
};

inline void PrintTo(const Played& p, std::ostream* out) {
  *out << (p.file ? "file " : "resource ") << testing::PrintToString(p.sound)
       << (p.wait ? " waiting" : " async") << (p.windowVisible ? " (window shown)" : "");
}

// This test's main window: a running Vemra.exe elsewhere on the desktop has
// the same window class, so only this thread's windows are looked at.
inline HWND ThisTestsMainWindow() {
  HWND main = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM found) {
        wchar_t name[32] = {};
        GetClassNameW(window, name, 32);
        if (std::wstring_view(name) != L"OrdalisMain") return TRUE;
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&main));
  return main;
}

// Plays nothing and notes every sound; tests that do not listen ignore it.
class RecordingPlayer : public SoundPlayer {
 public:
  std::vector<Played> played;
  void PlayResource(std::wstring_view name, bool wait) override {
    played.push_back({std::wstring(name), false, wait, MainWindowVisible()});
  }
  void PlayFile(const std::wstring& path) override {
    played.push_back({path, true, true, MainWindowVisible()});
  }

 private:
  static bool MainWindowVisible() {
    HWND main = ThisTestsMainWindow();
    return main && IsWindowVisible(main);
  }
};

// Tests write their texts as UTF-16; the file holds Windows-1252.
inline std::string Cp1252(std::wstring_view text) {
  return *win32::Narrow(text);
}

struct StoredTask {
  std::string key;
  Task task;
};
// Tasks by section name.
using Sections = std::map<std::string, std::vector<StoredTask>>;

// A data file as any program that follows the format writes it: the
// sections, the reminder flags when there are any, then `extra` as it is.
inline void WriteDataFile(const std::wstring& path, const Sections& sections,
                          const ReminderFlags& flags = {}, std::string_view extra = {}) {
  std::string bytes;
  for (const auto& [section, tasks] : sections) {
    bytes += "[" + section + "]\r\n";
    for (const StoredTask& stored : tasks) {
      bytes += stored.key + "=" + ProtectProfileValue(*EncodeTask(stored.task)) + "\r\n";
    }
  }
  if (!flags.empty()) {
    bytes += "[Reminder]\r\n";
    for (const auto& [key, flag] : flags) {
      bytes += key + "=" + ProtectProfileValue(*ScrambleText(flag)) + "\r\n";
    }
  }
  bytes += extra;
  ASSERT_TRUE(WriteFileBytes(path, bytes));
}

// The program's pauses, noted and passed over at once; the messages that
// arrived meanwhile are handled as the real wait would.
struct NotedWaits {
  std::vector<double> seconds;
  std::function<void()> during;  // looks at the windows while the program pauses
  std::function<void(double)> Wait() {
    return [this](double pause) {
      seconds.push_back(pause);
      win32::ProcessPendingMessages();
      if (during) during();
    };
  }
};

// The main window on a scratch registry and program folder, without the
// splash wait; Open() creates it on the data file as it is then.
class MainWindowFixture : public testing::Test {
 protected:
  void SetUp() override {
    settings_.CreateKey(SettingsRoot::kCurrentUser, kMakerKey, L"1");
    settings_.CreateKey(SettingsRoot::kCurrentUser, kSettingsKey, L"1");
    WriteSetting(settings_, L"Startup", SettingValue(std::uint32_t{1}));  // no splash wait
  }
  void Open() {
    files_ = std::make_unique<Win32TaskFiles>(folder_.Path());
    MainWindowServices services{*files_,        settings_,          clock_, sound_,
                                folder_.Path(), files_->DataPath(), false,  nullptr};
    services.wait = waits_.Wait();
    services.temporaryFolder = L"X:\\Temp";  // not the scratch folder's
    window_ = std::make_unique<MainWindow>(std::move(services));
    ASSERT_TRUE(window_->Create());
  }
  std::wstring DataPath() const { return folder_.File(L"Vemra.dat"); }
  HWND Item(int id) const { return GetDlgItem(window_->Handle(), id); }
  HWND List() const { return Item(IDC_LDATEN); }

  ScratchRegistry registry_;
  RegistrySettings settings_;
  FixedClock clock_;
  RecordingPlayer sound_;
  TempFolder folder_;
  NotedWaits waits_;
  std::unique_ptr<Win32TaskFiles> files_;
  std::unique_ptr<MainWindow> window_;
};

}  // namespace test
}  // namespace ordalis
