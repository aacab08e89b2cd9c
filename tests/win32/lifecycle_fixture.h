#pragma once
// The main window's life as the tests of start-up, closing, the icon and the
// reminders see it: a scratch registry and program folder, a clock that
// stands still, a sound player that only takes notes, and the window.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fixtures.h"
#include "mainwindow/main_window.h"
#include "storage/profile_file_win32.h"
#include "storage/settings_win32.h"
#include "support.h"
#include "win32/dpi.h"

namespace ordalis::test {

inline SettingValue Text(std::wstring text) {
  return SettingValue(std::move(text));
}
inline SettingValue Number(std::uint32_t number) {
  return SettingValue(number);
}

// Whether the shell holds an icon of this host and id: changing nothing of
// it succeeds only for an icon that is there.
inline bool IconInTray(HWND host, UINT id) {
  NOTIFYICONDATAW probe{sizeof probe};
  probe.hWnd = host;
  probe.uID = id;
  return Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
}

inline bool IsTopmost(HWND window) {
  return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

// What the tests share: a scratch registry and program folder, a clock that
// stands still, a sound player that only takes notes, and the window.
class LifecycleTest : public testing::Test {
 protected:
  // Most tests are not about the splash or the closing notice.
  void Quiet() {
    Set(L"Startup", Number(1));
    Set(L"HelpDirekt", Number(1));
  }
  void Set(std::wstring_view name, const SettingValue& value) {
    settings_.CreateKey(SettingsRoot::kCurrentUser, kMakerKey, L"1");
    settings_.CreateKey(SettingsRoot::kCurrentUser, kSettingsKey, L"1");
    ASSERT_TRUE(WriteSetting(settings_, name, value));
  }
  std::optional<SettingValue> Get(std::wstring_view name) { return ReadSetting(settings_, name); }

  void Open(bool automaticStart = false) { ASSERT_TRUE(Start(automaticStart)); }
  // Creates the window; false when the start-up ended the program.
  bool Start(bool automaticStart = false) {
    files_ = std::make_unique<Win32TaskFiles>(folder_);
    MainWindowServices services{*files_,  settings_,          clock_,         sound_,
                                folder_,  files_->DataPath(), automaticStart, [this] { ++ends_; },
                                monitors_};
    if (!realWaits_) services.wait = waits_.Wait();
    // The scratch folders lie in the system's temporary folder, which the
    // program would warn about.
    services.temporaryFolder = temporaryFolder_;
    services.attention = attention_;
    window_ = std::make_unique<MainWindow>(std::move(services));
    const bool created = window_->Create();
    hwnd_ = window_->Handle();
    RECT list{};
    GetClientRect(List(), &list);
    listTwips_ = win32::PixelsToTwips(list.right, Dpi());
    // The icon of a start the user made comes after the window's first
    // paint.
    if (created) test::PumpMessages(40);
    return created;
  }
  void Reopen(bool automaticStart = false) {
    window_.reset();
    sound_.played.clear();
    ends_ = 0;
    Open(automaticStart);
  }
  void WriteTasks(const Sections& sections) { WriteDataFile(folder_ + L"\\Vemra.dat", sections); }

  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
  HWND List() const { return Item(IDC_LDATEN); }
  UINT Dpi() const { return win32::WindowDpi(hwnd_); }
  RECT WindowRect() const {
    RECT rect{};
    GetWindowRect(hwnd_, &rect);
    return rect;
  }
  int SelectedRow() const { return ListView_GetNextItem(List(), -1, LVNI_SELECTED); }
  bool Checked(UINT menuItem) const {
    return (GetMenuState(window_->TrayMenu(), menuItem, MF_BYCOMMAND) & MF_CHECKED) != 0;
  }
  void Command(int id) { SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }
  void TrayMouse(UINT mouse) {
    SendMessageW(window_->TrayHost(), TrayIcon::kCallbackMessage, 1, mouse);
  }
  // Picks a reminder mode on the window and closes it into the tray.
  void CloseIntoTray(int mode) {
    SendMessageW(Item(IDC_OWECKER1 + mode - 1), BM_CLICK, 0, 0);
    window_->bBeenden_Click();
    ASSERT_FALSE(IsWindowVisible(hwnd_));
  }
  // The window in front, as the user sees it after a reminder.
  void ExpectShownInFront() const {
    EXPECT_TRUE(IsWindowVisible(hwnd_));
    EXPECT_FALSE(IsIconic(hwnd_));
    EXPECT_FALSE(IsTopmost(hwnd_));  // topmost only for a moment
  }

  ScratchRegistry registry_;
  RegistrySettings settings_;
  FixedClock clock_;
  RecordingPlayer sound_;
  TempFolder temp_;
  std::wstring folder_ = temp_.Path();
  std::wstring temporaryFolder_ = L"X:\\Temp";
  std::unique_ptr<Win32TaskFiles> files_;
  std::unique_ptr<MainWindow> window_;
  HWND hwnd_ = nullptr;
  int listTwips_ = 0;  // the list's inner width as the window was made
  int ends_ = 0;
  MonitorLayout* monitors_ = nullptr;   // the system's
  UserAttention* attention_ = nullptr;  // the system's
  NotedWaits waits_;
  bool realWaits_ = false;  // the program's pauses take their real time
};

}  // namespace ordalis::test
