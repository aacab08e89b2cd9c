// The main window's life: start-up, closing into the tray and ending, the
// icon and its menu, the reminder modes and timers, sounds, notices and help.
//
// ORDALIS_OWN_MAIN: a copy of this program named Lotse32.exe stands in for
// the help viewer and only notes the command line it was started with.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/help.h"
#include "dialogs/help_win32.h"
#include "dialogs/notice_dialog.h"
#include "fixtures.h"
#include "mainwindow/main_window.h"
#include "mainwindow/startup_windows.h"
#include "storage/profile_file_win32.h"
#include "storage/settings_win32.h"
#include "support.h"
#include "win32/dpi.h"
#include "win32/wait.h"

namespace ordalis {
namespace {

using test::FixedClock;
using test::MessageBoxAnswerer;
using test::Played;
using test::RecordingPlayer;
using test::Sections;
using test::WriteDataFile;

constexpr wchar_t kViewerName[] = L"Lotse32.exe";
constexpr wchar_t kViewerNote[] = L"viewer_command_line.txt";

SettingValue Text(std::wstring text) {
  return SettingValue(std::move(text));
}
SettingValue Number(std::uint32_t number) {
  return SettingValue(number);
}

// Whether the shell holds an icon of this host and id: changing nothing of
// it succeeds only for an icon that is there.
bool IconInTray(HWND host, UINT id) {
  NOTIFYICONDATAW probe{sizeof probe};
  probe.hWnd = host;
  probe.uID = id;
  return Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
}

bool IsTopmost(HWND window) {
  return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

// Watches for popup menus of this thread from inside the menu's modal loop,
// notes which menu it was, and closes it as Esc would.
class MenuWatcher {
 public:
  MenuWatcher() {
    active_ = this;
    timer_ = SetTimer(nullptr, 0, 50, Tick);
  }
  ~MenuWatcher() {
    KillTimer(nullptr, timer_);
    active_ = nullptr;
  }
  MenuWatcher(const MenuWatcher&) = delete;
  MenuWatcher& operator=(const MenuWatcher&) = delete;
  const std::vector<HMENU>& Seen() const { return seen_; }

 private:
  static BOOL CALLBACK FindMenu(HWND window, LPARAM found) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (IsWindowVisible(window) && std::wstring_view(name) == L"#32768") {
      *reinterpret_cast<HWND*>(found) = window;
      return FALSE;
    }
    return TRUE;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (!active_) return;
    HWND menu = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindMenu, reinterpret_cast<LPARAM>(&menu));
    if (!menu) return;
    active_->seen_.push_back(reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0)));
    EndMenu();
  }
  static inline MenuWatcher* active_ = nullptr;
  UINT_PTR timer_ = 0;
  std::vector<HMENU> seen_;
};

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

  void Open(bool automaticStart = false) {
    files_ = std::make_unique<Win32TaskFiles>(folder_);
    window_ = std::make_unique<MainWindow>(MainWindowServices{*files_, settings_, clock_, sound_,
                                                              folder_, files_->DataPath(),
                                                              automaticStart, [this] { ++ends_; }});
    ASSERT_TRUE(window_->Create());
    hwnd_ = window_->Handle();
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
  // The window in front, as the user sees it after a reminder.
  void ExpectShownInFront() const {
    EXPECT_TRUE(IsWindowVisible(hwnd_));
    EXPECT_FALSE(IsIconic(hwnd_));
    EXPECT_FALSE(IsTopmost(hwnd_));  // topmost only for a moment
  }

  test::ScratchRegistry registry_;
  RegistrySettings settings_;
  FixedClock clock_;
  RecordingPlayer sound_;
  test::TempFolder temp_;
  std::wstring folder_ = temp_.Path();
  std::unique_ptr<Win32TaskFiles> files_;
  std::unique_ptr<MainWindow> window_;
  HWND hwnd_ = nullptr;
  int ends_ = 0;
};

// ---------------------------------------------------------------------------
// Start-up

using StartupTest = LifecycleTest;

TEST_F(StartupTest, FirstStartWithoutSettings) {
  // The splash stands while start-up waits its second.
  static bool splashSeen = false;
  splashSeen = false;
  const UINT_PTR watch = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) {
    if (HWND splash = FindWindowW(L"OrdalisSplash", L"Ordalis")) {
      splashSeen = splashSeen || IsWindowVisible(splash);
    }
  });
  ASSERT_NO_FATAL_FAILURE(Open());
  KillTimer(nullptr, watch);
  EXPECT_TRUE(splashSeen);
  EXPECT_EQ(FindWindowW(L"OrdalisSplash", nullptr), nullptr);  // gone after start-up

  // Near the lower right corner: 600 and 1000 twips from the screen's edges.
  const RECT rect = WindowRect();
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  EXPECT_NEAR(rect.left, GetSystemMetrics(SM_CXSCREEN) - width - win32::TwipsToPixels(600, Dpi()),
              1);
  EXPECT_NEAR(rect.top, GetSystemMetrics(SM_CYSCREEN) - height - win32::TwipsToPixels(1000, Dpi()),
              1);
  EXPECT_TRUE(IsWindowVisible(hwnd_));
  EXPECT_FALSE(IsIconic(hwnd_));
  EXPECT_EQ(window_->ReminderMode(), 3);
  EXPECT_TRUE(Checked(IDM_ERINNERUNG3));
  EXPECT_FALSE(Checked(IDM_ERINNERUNG1));
  EXPECT_EQ(window_->SelectedCategory(), Category::Important);
  EXPECT_TRUE(window_->TrayIconShown());
  EXPECT_TRUE(IconInTray(window_->TrayHost(), 1));
  EXPECT_EQ(window_->TimerInterval(kTimerStunde), 0u);
  EXPECT_EQ(window_->TimerInterval(kTimerRelevantes), 0u);
  EXPECT_TRUE(sound_.played.empty());

  // The program registered itself; the folder is stored in lower case.
  EXPECT_TRUE(settings_.KeyExists(SettingsRoot::kCurrentUser, kSettingsKey));
  std::wstring lower = folder_;
  CharLowerBuffW(lower.data(), static_cast<DWORD>(lower.size()));
  EXPECT_EQ(Get(L"InstallDir"), Text(lower));
  SettingValue appPath;
  EXPECT_TRUE(settings_.GetValue(
      SettingsRoot::kLocalMachine,
      L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Vemra.exe", L"", appPath));
  EXPECT_EQ(appPath, Text(folder_ + L"\\Vemra.exe"));
}

TEST_F(StartupTest, StoredPlaceStaysOnTheScreen) {
  Quiet();
  const UINT dpi = win32::WindowDpi(nullptr);
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);

  Set(L"Left", Text(L"1500"));
  Set(L"Top", Text(L"1200"));
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_NEAR(WindowRect().left, win32::TwipsToPixels(1500, dpi), 1);
  EXPECT_NEAR(WindowRect().top, win32::TwipsToPixels(1200, dpi), 1);

  // A right or lower half off the screen moves to the middle; a negative
  // place (a monitor on the left) is left alone.
  const int width = WindowRect().right - WindowRect().left;
  const int halfOff = win32::PixelsToTwips(screenWidth - width / 2 + 2, dpi);
  Set(L"Left", Text(std::to_wstring(halfOff)));
  Set(L"Top", Text(std::to_wstring(win32::PixelsToTwips(screenHeight, dpi))));
  ASSERT_NO_FATAL_FAILURE(Reopen());
  EXPECT_NEAR(WindowRect().left, screenWidth / 2, 1);
  EXPECT_NEAR(WindowRect().top, screenHeight / 2, 1);

  Set(L"Left", Text(L"-300"));
  Set(L"Top", Text(L"0"));
  ASSERT_NO_FATAL_FAILURE(Reopen());
  EXPECT_NEAR(WindowRect().left, -win32::TwipsToPixels(300, dpi), 1);
  EXPECT_EQ(WindowRect().top, 0);
}

TEST_F(StartupTest, StoredLookModeAndTab) {
  Quiet();
  Set(L"FontName", Text(L"Courier New"));
  Set(L"FontSize", Text(L"12"));
  Set(L"Tab_A", Text(L"1800"));
  Set(L"Tab_B", Text(L"6000"));
  Set(L"Reminder", Text(L"2"));
  Set(L"Register", Number(1));
  Set(L"TabStrip", Text(L"1"));
  ASSERT_NO_FATAL_FAILURE(Open());

  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(List(), WM_GETFONT, 0, 0)), sizeof font, &font);
  EXPECT_STREQ(font.lfFaceName, L"Courier New");
  EXPECT_EQ(std::abs(font.lfHeight), MulDiv(12, static_cast<int>(Dpi()), 72));
  // The date column keeps its stored width; the description column gets the
  // width of the view that start-up selects.
  const int pixel = 1440 / static_cast<int>(Dpi()) + 1;
  EXPECT_NEAR(win32::PixelsToTwips(ListView_GetColumnWidth(List(), 0), Dpi()), 1800, pixel);
  EXPECT_NEAR(win32::PixelsToTwips(ListView_GetColumnWidth(List(), 2), Dpi()), 3910, pixel);
  // The mode is selected, but its timer waits for the first close.
  EXPECT_EQ(window_->ReminderMode(), 2);
  EXPECT_TRUE(Checked(IDM_ERINNERUNG2));
  EXPECT_FALSE(Checked(IDM_ERINNERUNG3));
  EXPECT_EQ(window_->TimerInterval(kTimerRelevantes), 0u);
  EXPECT_EQ(window_->SelectedCategory(), Category::All);

  // "4" is no tab to return to: the tab of the due checks stays ("Sonstiges").
  Set(L"TabStrip", Text(L"4"));
  ASSERT_NO_FATAL_FAILURE(Reopen());
  EXPECT_EQ(window_->SelectedCategory(), Category::Others);

  // Without Register the stored tab is not used.
  Set(L"Register", Number(0));
  Set(L"TabStrip", Text(L"1"));
  ASSERT_NO_FATAL_FAILURE(Reopen());
  EXPECT_EQ(window_->SelectedCategory(), Category::Important);
}

TEST_F(StartupTest, ImportantTaskDueThisMinuteComesFirstAndWaitsForTheSound) {
  Quiet();
  WriteTasks(
      {{"Important",
        {{"100", {"12-08-2026", "10:30", "Jetzt"}}, {"101", {"12-07-2026", "10:30", "Gestern"}}}},
       {"Others", {{"100", {"12-08-2026", "00:00", "Heute"}}}}});
  for (const bool automaticStart : {false, true}) {
    SCOPED_TRACE(automaticStart ? "/a" : "plain start");
    ASSERT_NO_FATAL_FAILURE(Reopen(automaticStart));
    // The sound plays to its end before the window comes up.
    EXPECT_EQ(sound_.played, (std::vector<Played>{{L"KONTAKT", false, true, false}}));
    ExpectShownInFront();
    EXPECT_EQ(window_->SelectedCategory(), Category::Important);
    EXPECT_EQ(SelectedRow(), 1);  // "Jetzt", after yesterday's task
    EXPECT_EQ(test::ListCell(List(), SelectedRow(), 2), L"Jetzt");
  }
}

TEST_F(StartupTest, OtherTaskOfTodayAlertsWithoutWaiting) {
  Quiet();
  WriteTasks(
      {{"Important", {{"100", {"12-08-2026", "10:29", "Eben"}}}},
       {"Others",
        {{"100", {"12-09-2026", "00:00", "Morgen"}}, {"101", {"12-08-2026", "00:00", "Heute"}}}}});
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_EQ(sound_.played, (std::vector<Played>{{L"KONTAKT", false, false, false}}));
  ExpectShownInFront();
  EXPECT_EQ(window_->SelectedCategory(), Category::Others);
  EXPECT_EQ(test::ListCell(List(), SelectedRow(), 2), L"Heute");

  // The user's own sound file plays instead, always to its end.
  const std::wstring file = temp_.File(L"gong.wav");
  ASSERT_TRUE(test::WriteFileBytes(file, "RIFF"));
  Set(L"Notification", Number(1));
  Set(L"Sounddatei", Text(file));
  ASSERT_NO_FATAL_FAILURE(Reopen());
  EXPECT_EQ(sound_.played, (std::vector<Played>{{file, true, true, false}}));
}

TEST_F(StartupTest, AutomaticStart) {
  Quiet();
  // With the icon: the program waits hidden in the notification area.
  ASSERT_NO_FATAL_FAILURE(Open(true));
  EXPECT_FALSE(IsWindowVisible(hwnd_));
  EXPECT_TRUE(window_->TrayIconShown());
  EXPECT_EQ(window_->SelectedCategory(), Category::Important);

  // Without it (Symbol 0) it cannot hide: minimised on the task bar, and only
  // "nie erinnern" can be chosen.
  Set(L"Symbol", Number(0));
  Set(L"Reminder", Text(L"1"));
  ASSERT_NO_FATAL_FAILURE(Reopen(true));
  EXPECT_TRUE(IsWindowVisible(hwnd_));
  EXPECT_TRUE(IsIconic(hwnd_));
  EXPECT_EQ(window_->ReminderMode(), 3);
  EXPECT_TRUE(Checked(IDM_ERINNERUNG3));
  EXPECT_FALSE(IsWindowEnabled(Item(IDC_OWECKER1)));
  EXPECT_FALSE(IsWindowEnabled(Item(IDC_OWECKER2)));
  EXPECT_TRUE(window_->TrayIconShown());  // the icon of the start stays

  // A stored password is asked for at the first click on the icon, not now.
  WriteTasks({{"Others", {{"200", {"x", "", ""}}}}});
  ASSERT_NO_FATAL_FAILURE(Reopen(true));
  EXPECT_TRUE(window_->AuthenticationPending());
}

// ---------------------------------------------------------------------------
// Closing, quitting, the close request and the end of the session

class CloseTest : public LifecycleTest {
 protected:
  void SetUp() override {
    Quiet();
    Set(L"Left", Text(L"1500"));
    Set(L"Top", Text(L"1200"));
    Set(L"Tab_A", Text(L"1800"));
    WriteTasks({{"Important", {{"100", {"12-24-2026", "18:00", "Bescherung"}}}}});
  }
  void ExpectStoredState(std::wstring_view reminder, std::wstring_view tab) {
    EXPECT_EQ(Get(L"Reminder"), Text(std::wstring(reminder)));
    EXPECT_EQ(Get(L"TabStrip"), Text(std::wstring(tab)));
  }
  // Every value is stored as text; the place and widths in twips. The
  // description column is as wide as the view shown at the close made it.
  void ExpectStoredPlacement(int descriptionTwips = 3910) {
    EXPECT_EQ(Get(L"Left"), Text(L"1500"));
    EXPECT_EQ(Get(L"Top"), Text(L"1200"));
    EXPECT_EQ(Get(L"Tab_A"), Text(L"1800"));
    const auto descriptionWidth = Get(L"Tab_B");
    ASSERT_TRUE(descriptionWidth && std::holds_alternative<std::wstring>(*descriptionWidth));
    EXPECT_NEAR(static_cast<double>(NumericValue(*descriptionWidth).value_or(0)), descriptionTwips,
                15);
  }
  void ClearStored() {
    for (const wchar_t* name : {L"Left", L"Top", L"Tab_A", L"Tab_B", L"Reminder", L"TabStrip"}) {
      settings_.DeleteValue(SettingsRoot::kCurrentUser, kSettingsKey, name);
    }
  }
};

TEST_F(CloseTest, ModesOneAndTwoCloseIntoTheTray) {
  struct Case {
    int mode;
    UINT stunde, relevantes;
  };
  for (const Case c : {Case{1, 60000, 0}, Case{2, 0, 30000}}) {
    SCOPED_TRACE(c.mode);
    Set(L"Reminder", Text(std::to_wstring(c.mode)));
    ASSERT_NO_FATAL_FAILURE(Reopen());
    window_->SelectTab(Category::Others);
    SendMessageW(Item(IDC_BBEENDEN), BM_CLICK, 0, 0);

    ExpectStoredPlacement(4910);  // "Sonstiges" has no time column
    ExpectStoredState(std::to_wstring(c.mode), L"3");
    EXPECT_EQ(window_->TimerInterval(kTimerStunde), c.stunde);
    EXPECT_EQ(window_->TimerInterval(kTimerRelevantes), c.relevantes);
    EXPECT_FALSE(IsWindowVisible(hwnd_));
    EXPECT_EQ(window_->SelectedCategory(), Category::All);
    EXPECT_FALSE(window_->Ended());
    EXPECT_EQ(ends_, 0);
    EXPECT_TRUE(window_->TrayIconShown());
    EXPECT_TRUE(IconInTray(window_->TrayHost(), 1));
  }
}

TEST_F(CloseTest, NieErinnernEndsUnlessBeenden) {
  ASSERT_NO_FATAL_FAILURE(Open());
  window_->bBeenden_Click();
  ExpectStoredPlacement();
  ExpectStoredState(L"3", L"2");
  EXPECT_TRUE(window_->Ended());
  EXPECT_EQ(ends_, 1);
  EXPECT_FALSE(IsWindow(hwnd_));
  EXPECT_FALSE(window_->TrayIconShown());

  // "Nie erinnern bedeutet nicht beenden": resident, without a timer, and
  // with the icon to come back by.
  Set(L"Beenden", Number(1));
  ASSERT_NO_FATAL_FAILURE(Reopen());
  window_->bBeenden_Click();
  EXPECT_FALSE(window_->Ended());
  EXPECT_FALSE(IsWindowVisible(hwnd_));
  EXPECT_EQ(window_->TimerInterval(kTimerStunde), 0u);
  EXPECT_EQ(window_->TimerInterval(kTimerRelevantes), 0u);
  EXPECT_TRUE(window_->TrayIconShown());
  EXPECT_TRUE(IconInTray(window_->TrayHost(), 1));
}

TEST_F(CloseTest, ClosedFromTheTaskBarWhileMinimised) {
  ASSERT_NO_FATAL_FAILURE(Open());
  Command(IDM_ERINNERUNG1);
  ASSERT_EQ(window_->TimerInterval(kTimerStunde), 60000u);
  ShowWindow(hwnd_, SW_MINIMIZE);
  ClearStored();
  SendMessageW(hwnd_, WM_CLOSE, 0, 0);
  // The minimised place is no place to keep.
  EXPECT_EQ(Get(L"Left"), std::nullopt);
  EXPECT_EQ(Get(L"Tab_A"), std::nullopt);
  ExpectStoredState(L"1", L"2");
  EXPECT_TRUE(IsWindowVisible(hwnd_));
  EXPECT_TRUE(IsIconic(hwnd_));
  EXPECT_EQ(window_->TimerInterval(kTimerStunde), 60000u);
  EXPECT_TRUE(window_->TrayIconShown());
  EXPECT_TRUE(IconInTray(window_->TrayHost(), 1));
}

TEST_F(CloseTest, QuitStoresAndEndsInEveryMode) {
  Set(L"HelpDirekt", Number(0));  // the quit never shows the closing notice
  for (const int mode : {1, 2, 3}) {
    SCOPED_TRACE(mode);
    ClearStored();
    Set(L"Left", Text(L"1500"));
    Set(L"Top", Text(L"1200"));
    Set(L"Tab_A", Text(L"1800"));
    Set(L"Beenden", Number(1));
    Set(L"Reminder", Text(std::to_wstring(mode)));
    ASSERT_NO_FATAL_FAILURE(Reopen());
    MessageBoxAnswerer notice(kNoticeCaption, IDOK);
    Command(IDM_BEENDEN);
    EXPECT_TRUE(notice.Texts().empty());
    ExpectStoredPlacement();
    ExpectStoredState(std::to_wstring(mode), L"2");
    EXPECT_TRUE(window_->Ended());
    EXPECT_EQ(ends_, 1);
    EXPECT_FALSE(window_->TrayIconShown());
  }
}

TEST_F(CloseTest, CloseRequestWhileHiddenEnds) {
  Set(L"Reminder", Text(L"1"));
  ASSERT_NO_FATAL_FAILURE(Open());
  window_->bBeenden_Click();
  ASSERT_FALSE(IsWindowVisible(hwnd_));
  const HWND host = window_->TrayHost();
  SendMessageW(hwnd_, WM_CLOSE, 0, 0);
  EXPECT_TRUE(window_->Ended());
  EXPECT_EQ(ends_, 1);
  EXPECT_FALSE(window_->TrayIconShown());
  EXPECT_FALSE(IconInTray(host, 1));
}

TEST_F(CloseTest, ClosingNoticeOncePerCloseRequest) {
  Set(L"HelpDirekt", Number(0));
  Set(L"Reminder", Text(L"1"));
  for (const bool closeBox : {false, true}) {
    SCOPED_TRACE(closeBox ? "close box" : "Schließen");
    ASSERT_NO_FATAL_FAILURE(Reopen());
    MessageBoxAnswerer notice(kNoticeCaption, IDC_BABBRECHEN, {}, IDC_RTEXT);
    if (closeBox) {
      SendMessageW(hwnd_, WM_CLOSE, 0, 0);
    } else {
      SendMessageW(Item(IDC_BBEENDEN), BM_CLICK, 0, 0);
    }
    ASSERT_EQ(notice.Texts(), std::vector<std::wstring>{kClosingNoticeText});
    EXPECT_FALSE(IsWindowVisible(hwnd_));
    EXPECT_EQ(window_->TimerInterval(kTimerStunde), 60000u);
    EXPECT_FALSE(window_->Ended());
    EXPECT_TRUE(IconInTray(window_->TrayHost(), 1));
  }
  // "Abbrechen" stored nothing, so it shows again; "&Ok" with the box
  // ticked switches it off for good.
  EXPECT_EQ(Get(L"100"), std::nullopt);
  ASSERT_NO_FATAL_FAILURE(Reopen());
  {
    MessageBoxAnswerer notice(kNoticeCaption, IDC_BREADY, {IDC_BHELPSHOW});
    window_->bBeenden_Click();
    EXPECT_EQ(notice.Texts().size(), 1u);
  }
  EXPECT_EQ(Get(L"100"), Number(1));
  EXPECT_EQ(Get(L"HelpDirekt"), Number(0));
  ASSERT_NO_FATAL_FAILURE(Reopen());
  MessageBoxAnswerer notice(kNoticeCaption, IDC_BREADY);
  window_->bBeenden_Click();
  EXPECT_TRUE(notice.Texts().empty());
}

TEST_F(CloseTest, StartBalloonOncePerCloseIntoTheTray) {
  Set(L"Reminder", Text(L"1"));
  ASSERT_NO_FATAL_FAILURE(Open());
  window_->bBeenden_Click();
  EXPECT_EQ(window_->BalloonsShown(), 1);
  // Closed again while hidden, and from the task bar while minimised: no
  // new closes into the tray, so no balloon.
  window_->bBeenden_Click();
  EXPECT_EQ(window_->BalloonsShown(), 1);
  window_->mVisible_Click();
  ShowWindow(hwnd_, SW_MINIMIZE);
  SendMessageW(hwnd_, WM_CLOSE, 0, 0);
  EXPECT_EQ(window_->BalloonsShown(), 1);
  // A close that shows the notice (which hides the window first) is a close
  // into the tray all the same.
  ShowWindow(hwnd_, SW_RESTORE);
  Set(L"HelpDirekt", Number(0));
  MessageBoxAnswerer notice(kNoticeCaption, IDC_BABBRECHEN);
  SendMessageW(Item(IDC_BBEENDEN), BM_CLICK, 0, 0);
  EXPECT_EQ(notice.Texts().size(), 1u);
  EXPECT_EQ(window_->BalloonsShown(), 2);
}

TEST_F(CloseTest, SessionEndIsNeverRefusedAndKeepsTheState) {
  Set(L"Reminder", Text(L"2"));
  ASSERT_NO_FATAL_FAILURE(Open());
  window_->SelectTab(Category::Done);
  ClearStored();
  EXPECT_EQ(SendMessageW(hwnd_, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  SendMessageW(hwnd_, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);  // someone else refused
  EXPECT_FALSE(window_->Ended());
  EXPECT_EQ(Get(L"Reminder"), std::nullopt);

  const HWND host = window_->TrayHost();
  SendMessageW(hwnd_, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  ExpectStoredPlacement();
  ExpectStoredState(L"2", L"4");
  EXPECT_TRUE(window_->Ended());
  EXPECT_EQ(ends_, 1);
  EXPECT_FALSE(IconInTray(host, 1));

  // Minimised: the place is not kept.
  ASSERT_NO_FATAL_FAILURE(Reopen());
  ShowWindow(hwnd_, SW_MINIMIZE);
  ClearStored();
  SendMessageW(hwnd_, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  EXPECT_EQ(Get(L"Left"), std::nullopt);
  ExpectStoredState(L"2", L"2");
  EXPECT_TRUE(window_->Ended());
}

// ---------------------------------------------------------------------------
// The icon, its mouse messages and its menu

class TrayTest : public LifecycleTest {
 protected:
  void SetUp() override {
    Quiet();
    WriteTasks({{"Important", {{"100", {"12-24-2026", "18:00", "Bescherung"}}}},
                {"Others", {{"100", {"12-31-2026", "00:00", "Sekt"}}}}});
  }
};

TEST_F(TrayTest, MouseOnTheIcon) {
  Set(L"Reminder", Text(L"1"));
  Set(L"Register", Number(1));
  ASSERT_NO_FATAL_FAILURE(Open());
  window_->SelectTab(Category::Others);
  window_->bBeenden_Click();  // stores TabStrip "3", shows "Alles"
  ASSERT_FALSE(IsWindowVisible(hwnd_));
  ASSERT_EQ(window_->SelectedCategory(), Category::All);

  // Moves, releases and the double-click message do nothing.
  for (const UINT mouse : {WM_MOUSEMOVE, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONUP}) {
    TrayMouse(mouse);
    EXPECT_FALSE(IsWindowVisible(hwnd_)) << mouse;
  }
  // The right button opens the menu, and nothing else.
  {
    MenuWatcher menus;
    TrayMouse(WM_RBUTTONDOWN);
    EXPECT_EQ(menus.Seen(), std::vector<HMENU>{window_->TrayMenu()});
  }
  EXPECT_FALSE(IsWindowVisible(hwnd_));
  // The left button brings the window back with the stored tab.
  TrayMouse(WM_LBUTTONDOWN);
  ExpectShownInFront();
  EXPECT_EQ(window_->SelectedCategory(), Category::Others);

  // TabStrip "4" leaves the tab as it is.
  Set(L"TabStrip", Text(L"4"));
  ShowWindow(hwnd_, SW_HIDE);
  window_->SelectTab(Category::Important);
  TrayMouse(WM_LBUTTONDOWN);
  EXPECT_TRUE(IsWindowVisible(hwnd_));
  EXPECT_EQ(window_->SelectedCategory(), Category::Important);
}

TEST_F(TrayTest, AfterAnAutomaticStartTheFirstRightClickAsksForThePassword) {
  WriteTasks({{"Others", {{"200", {"x", "", ""}}}}});
  ASSERT_NO_FATAL_FAILURE(Open(true));
  ASSERT_TRUE(window_->AuthenticationPending());
  MenuWatcher menus;
  TrayMouse(WM_RBUTTONDOWN);
  EXPECT_TRUE(menus.Seen().empty());
  EXPECT_FALSE(window_->AuthenticationPending());
  TrayMouse(WM_RBUTTONDOWN);
  EXPECT_EQ(menus.Seen().size(), 1u);
}

TEST_F(TrayTest, OneIconThatIsThereWhenItSaysSo) {
  Set(L"Reminder", Text(L"2"));
  ASSERT_NO_FATAL_FAILURE(Open());
  const HWND host = window_->TrayHost();
  // Closing twice into the tray still leaves one icon, under the one id.
  window_->bBeenden_Click();
  TrayMouse(WM_LBUTTONDOWN);
  window_->bBeenden_Click();
  EXPECT_TRUE(window_->TrayIconShown());
  EXPECT_TRUE(IconInTray(host, 1));
  EXPECT_FALSE(IconInTray(host, 2));

  // The options dialog's switch: on while on adds no second icon; off and
  // on again.
  window_->CSymbol_Click();
  EXPECT_TRUE(IconInTray(host, 1));
  EXPECT_FALSE(IconInTray(host, 2));
  window_->BSymbol_Click();
  EXPECT_FALSE(window_->TrayIconShown());
  EXPECT_FALSE(IconInTray(host, 1));
  window_->CSymbol_Click();
  EXPECT_TRUE(window_->TrayIconShown());
  EXPECT_TRUE(IconInTray(host, 1));

  // Explorer restarted and lost the icon: "TaskbarCreated" puts it back.
  NOTIFYICONDATAW record{sizeof record};
  record.hWnd = host;
  record.uID = 1;
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &record));
  SendMessageW(host, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_TRUE(IconInTray(host, 1));
  EXPECT_TRUE(window_->TrayIconShown());

  // Ending removes it.
  Command(IDM_BEENDEN);
  EXPECT_FALSE(IconInTray(host, 1));
}

TEST_F(TrayTest, ModeChangeFromTheMenu) {
  ASSERT_NO_FATAL_FAILURE(Open());
  Command(IDM_ERINNERUNG1);
  EXPECT_EQ(window_->ReminderMode(), 1);
  EXPECT_TRUE(Checked(IDM_ERINNERUNG1));
  EXPECT_EQ(window_->TimerInterval(kTimerStunde), 60000u);
  EXPECT_EQ(window_->TimerInterval(kTimerRelevantes), 0u);
  Command(IDM_ERINNERUNG2);
  EXPECT_EQ(window_->ReminderMode(), 2);
  EXPECT_TRUE(Checked(IDM_ERINNERUNG2));
  EXPECT_FALSE(Checked(IDM_ERINNERUNG1));
  EXPECT_EQ(window_->TimerInterval(kTimerStunde), 0u);
  EXPECT_EQ(window_->TimerInterval(kTimerRelevantes), 60000u);

  // "Nie erinnern" asks; No goes back to the mode before, with its timer.
  {
    MessageBoxAnswerer answer(kMainWindowCaption, IDNO);
    Command(IDM_ERINNERUNG3);
    EXPECT_EQ(answer.Texts(),
              std::vector<std::wstring>{
                  L"Mit dieser Option verlassen Sie das Programm. \nMöchten Sie wirklich "
                  L"fortfahren ?"});
  }
  EXPECT_EQ(window_->ReminderMode(), 2);
  EXPECT_TRUE(Checked(IDM_ERINNERUNG2));
  EXPECT_FALSE(Checked(IDM_ERINNERUNG3));
  EXPECT_EQ(window_->TimerInterval(kTimerRelevantes), 60000u);
  EXPECT_FALSE(window_->Ended());

  // When it was "nie erinnern" already, No keeps it and asks only once.
  SendMessageW(Item(IDC_OWECKER3), BM_CLICK, 0, 0);
  ASSERT_EQ(window_->ReminderMode(), 3);
  {
    MessageBoxAnswerer answer(kMainWindowCaption, IDNO);
    Command(IDM_ERINNERUNG3);
    EXPECT_EQ(answer.Texts().size(), 1u);
  }
  EXPECT_EQ(window_->ReminderMode(), 3);
  EXPECT_EQ(window_->TimerInterval(kTimerStunde), 0u);
  EXPECT_EQ(window_->TimerInterval(kTimerRelevantes), 0u);

  // Yes ends at once, and stores nothing.
  {
    MessageBoxAnswerer answer(kMainWindowCaption, IDYES);
    const HWND host = window_->TrayHost();
    Command(IDM_ERINNERUNG3);
    EXPECT_EQ(answer.Texts().size(), 1u);
    EXPECT_TRUE(window_->Ended());
    EXPECT_FALSE(IconInTray(host, 1));
  }
  EXPECT_EQ(Get(L"Reminder"), std::nullopt);

  // With Beenden 1 nothing is asked: the timers just stop.
  Set(L"Beenden", Number(1));
  ASSERT_NO_FATAL_FAILURE(Reopen());
  Command(IDM_ERINNERUNG1);
  MessageBoxAnswerer answer(kMainWindowCaption, IDYES);
  Command(IDM_ERINNERUNG3);
  test::PumpMessages(200);
  EXPECT_TRUE(answer.Texts().empty());
  EXPECT_EQ(window_->ReminderMode(), 3);
  EXPECT_EQ(window_->TimerInterval(kTimerStunde), 0u);
  EXPECT_FALSE(window_->Ended());
}

// ---------------------------------------------------------------------------
// The reminder timers and the sound

class ReminderTest : public LifecycleTest {
 protected:
  void SetUp() override { Quiet(); }
  void CloseIntoTray(int mode) {
    SendMessageW(Item(IDC_OWECKER1 + mode - 1), BM_CLICK, 0, 0);
    window_->bBeenden_Click();
    ASSERT_FALSE(IsWindowVisible(hwnd_));
  }
  void At(int hour, int minute) {
    clock_.now.hour = hour;
    clock_.now.minute = minute;
  }
};

TEST_F(ReminderTest, HourlyReminderOnceAnHour) {
  WriteTasks({{"Others", {{"100", {"12-31-2026", "00:00", "Sekt"}}}}});
  ASSERT_NO_FATAL_FAILURE(Open());
  CloseIntoTray(1);
  At(10, 59);
  SendMessageW(hwnd_, WM_TIMER, kTimerStunde, 0);
  EXPECT_TRUE(sound_.played.empty());
  EXPECT_FALSE(IsWindowVisible(hwnd_));

  At(11, 0);
  SendMessageW(hwnd_, WM_TIMER, kTimerStunde, 0);
  EXPECT_EQ(sound_.played, (std::vector<Played>{{L"KONTAKT", false, false, false}}));
  ExpectShownInFront();
  EXPECT_EQ(window_->TimerInterval(kTimerStunde), 0u);  // until the next close
  window_->TStunde_Timer();
  EXPECT_EQ(sound_.played.size(), 1u);

  // Closed again within the same hour: the next reminder comes with the next
  // hour, also when the timer's drift puts its first tick into minute 1.
  CloseIntoTray(1);
  EXPECT_EQ(window_->TimerInterval(kTimerStunde), 60000u);
  At(11, 1);
  window_->TStunde_Timer();
  EXPECT_EQ(sound_.played.size(), 1u);
  At(12, 1);
  window_->TStunde_Timer();
  EXPECT_EQ(sound_.played.size(), 2u);
}

TEST_F(ReminderTest, HourlyReminderNeedsTasks) {
  ASSERT_NO_FATAL_FAILURE(Open());
  CloseIntoTray(1);
  At(11, 0);
  window_->TStunde_Timer();
  EXPECT_TRUE(sound_.played.empty());
  EXPECT_FALSE(IsWindowVisible(hwnd_));
  EXPECT_EQ(window_->TimerInterval(kTimerStunde), 60000u);
}

TEST_F(ReminderTest, DueCheckRemindsEachImportantTaskOnceUnderItsOwnKey) {
  // Yesterday's task sorts first, so rows and keys do not line up: row 2 is
  // key "100", not "101".
  WriteTasks({{"Important",
               {{"100", {"12-08-2026", "09:00", "Zahnarzt"}},
                {"101", {"12-08-2026", "10:00", "Bank"}},
                {"102", {"12-07-2026", "08:00", "Gestern"}},
                {"103", {"12-08-2026", "11:00", "Mittag"}}}},
              {"Others", {{"100", {"12-31-2026", "00:00", "Sekt"}}}}});
  ASSERT_NO_FATAL_FAILURE(Open());
  ASSERT_EQ(WriteReminderFlag(*files_, "101", 'A'), SaveResult::kSaved);
  CloseIntoTray(2);
  ASSERT_EQ(window_->TimerInterval(kTimerRelevantes), 30000u);

  At(8, 59);  // nothing due yet: the tab before the check comes back
  window_->TRelevantes_Timer();
  EXPECT_TRUE(sound_.played.empty());
  EXPECT_EQ(window_->SelectedCategory(), Category::All);
  EXPECT_FALSE(IsWindowVisible(hwnd_));

  At(10, 30);  // two are due: one reminder per tick, in list order
  SendMessageW(hwnd_, WM_TIMER, kTimerRelevantes, 0);
  EXPECT_EQ(sound_.played, (std::vector<Played>{{L"KONTAKT", false, false, false}}));
  ExpectShownInFront();
  EXPECT_EQ(window_->SelectedCategory(), Category::Important);
  EXPECT_EQ(test::ListCell(List(), SelectedRow(), 2), L"Zahnarzt");
  EXPECT_EQ(window_->TimerInterval(kTimerRelevantes), 0u);
  EXPECT_EQ(ReadReminderFlag(files_->Data(), "100"), "R");
  EXPECT_EQ(ReadReminderFlag(files_->Data(), "101"), "A");
  EXPECT_EQ(ReadReminderFlag(files_->Data(), "102"), "");

  CloseIntoTray(2);
  window_->TRelevantes_Timer();
  EXPECT_EQ(sound_.played.size(), 2u);
  EXPECT_EQ(test::ListCell(List(), SelectedRow(), 2), L"Bank");
  EXPECT_EQ(ReadReminderFlag(files_->Data(), "101"), "R");

  // Reminded tasks, yesterday's and later ones are not due.
  CloseIntoTray(2);
  window_->TRelevantes_Timer();
  EXPECT_EQ(sound_.played.size(), 2u);
  EXPECT_FALSE(IsWindowVisible(hwnd_));
  EXPECT_EQ(window_->SelectedCategory(), Category::All);
  EXPECT_EQ(ReadReminderFlag(files_->Data(), "102"), "");
  EXPECT_EQ(ReadReminderFlag(files_->Data(), "103"), "");
}

TEST_F(ReminderTest, SoundChoice) {
  const std::wstring file = temp_.File(L"gong.wav");
  ASSERT_TRUE(test::WriteFileBytes(file, "RIFF"));
  struct Case {
    std::optional<SettingValue> notification;
    std::wstring soundFile;
    Play play;
    Played expected;
  };
  const Case cases[] = {
      {std::nullopt, file, Play::kAsync, {L"KONTAKT", false, false}},
      {Number(0), file, Play::kWait, {L"KONTAKT", false, true}},
      {Number(1), file, Play::kAsync, {file, true, true}},  // a file always to its end
      {Text(L"1"), file, Play::kWait, {file, true, true}},
      {Number(1), temp_.File(L"deleted.wav"), Play::kAsync, {L"KONTAKT", false, false}},
      {Number(1), L"", Play::kWait, {L"KONTAKT", false, true}},
  };
  for (const Case& c : cases) {
    settings_.DeleteValue(SettingsRoot::kCurrentUser, kSettingsKey, L"Notification");
    if (c.notification) Set(L"Notification", *c.notification);
    Set(L"Sounddatei", Text(c.soundFile));
    sound_.played.clear();
    PlayNotificationSound(settings_, sound_, L"KONTAKT", c.play);
    EXPECT_EQ(sound_.played, std::vector<Played>{c.expected})
        << testing::PrintToString(c.soundFile);
  }
}

// ---------------------------------------------------------------------------
// Notices, help and the timed wait

class HelpTest : public LifecycleTest {
 protected:
  // A folder with a blank in its name, as "C:\Program Files" has.
  HelpTest() {
    folder_ = temp_.File(L"Mein Ordner");
    CreateDirectoryW(folder_.c_str(), nullptr);
  }
  void SetUp() override { Quiet(); }
  void InstallViewer() {
    // Started by its command line alone, the unquoted path would run this
    // file ("<temp>\Mein" + ".exe") instead of the viewer.
    ASSERT_TRUE(test::WriteFileBytes(temp_.File(L"Mein.exe"), "not a program"));
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    ASSERT_TRUE(CopyFileW(self, (folder_ + L"\\" + kViewerName).c_str(), FALSE));
    ASSERT_TRUE(test::WriteFileBytes(folder_ + L"\\Vemra.lhf", "help"));
  }
  // The viewer's note of its command line; waits for the viewer to write it.
  std::wstring ViewerCommandLine() {
    const std::wstring note = folder_ + L"\\" + kViewerNote;
    for (int i = 0; i < 300 && !test::FileIsThere(note); ++i) test::PumpMessages(50);
    const std::string bytes = test::ReadFileBytes(note);
    DeleteFileW(note.c_str());
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
  }
};

TEST_F(HelpTest, DirektHilfenAndTheNoticeChoices) {
  EXPECT_FALSE(DirektHilfen(settings_, L"100"));  // Quiet() switched all off
  Set(L"HelpDirekt", Number(0));
  EXPECT_TRUE(DirektHilfen(settings_, L"100"));
  Set(L"100", Text(L"1"));
  EXPECT_FALSE(DirektHilfen(settings_, L"100"));
  EXPECT_TRUE(DirektHilfen(settings_, L"101"));  // each notice has its own switch
  Set(L"100", Number(0));
  EXPECT_TRUE(DirektHilfen(settings_, L"100"));

  // "&Abbrechen" stores nothing.
  settings_.DeleteValue(SettingsRoot::kCurrentUser, kSettingsKey, L"100");
  settings_.DeleteValue(SettingsRoot::kCurrentUser, kSettingsKey, L"HelpDirekt");
  {
    MessageBoxAnswerer answer(kNoticeCaption, IDC_BABBRECHEN, {IDC_BHELPSHOW, IDC_BHELPDISABLED},
                              IDC_RPROBLEM);
    EXPECT_TRUE(ShowNotice(nullptr, settings_, L"100", kClosingNoticeHeading, kClosingNoticeText));
    EXPECT_EQ(answer.Texts(), std::vector<std::wstring>{kClosingNoticeHeading});
  }
  EXPECT_EQ(Get(L"100"), std::nullopt);
  EXPECT_EQ(Get(L"HelpDirekt"), std::nullopt);

  // "&Ok" stores both boxes as numbers, the unticked one as 0.
  {
    MessageBoxAnswerer answer(kNoticeCaption, IDC_BREADY, {IDC_BHELPDISABLED});
    EXPECT_TRUE(ShowNotice(nullptr, settings_, L"100", kClosingNoticeHeading, kClosingNoticeText));
  }
  EXPECT_EQ(Get(L"100"), Number(0));
  EXPECT_EQ(Get(L"HelpDirekt"), Number(1));
  EXPECT_FALSE(ShowNotice(nullptr, settings_, L"100", kClosingNoticeHeading, kClosingNoticeText));
}

TEST_F(HelpTest, CommandLineNamesViewerFileAndTopic) {
  EXPECT_EQ(HelpCommandLine(L"C:\\Tools", 12), L"C:\\Tools\\Lotse32.exe C:\\Tools\\Vemra.lhf,12");
  const std::wstring first = HelpCommandLine(folder_, 0);
  EXPECT_EQ(first, folder_ + L"\\Lotse32.exe " + folder_ + L"\\Vemra.lhf,1");
}

TEST_F(HelpTest, WithoutTheViewerHelpIsToldMissing) {
  // The help file alone is not enough.
  ASSERT_TRUE(test::WriteFileBytes(folder_ + L"\\Vemra.lhf", "help"));
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_FALSE(window_->HelpAvailable());
  EXPECT_TRUE(GetMenuState(window_->TrayMenu(), IDM_HILFE, MF_BYCOMMAND) & MF_GRAYED);
  MessageBoxAnswerer answer(kMainWindowCaption, IDOK);
  window_->CallHilfe(3);
  Command(IDM_HILFE);
  EXPECT_EQ(answer.Texts(), (std::vector<std::wstring>{kHelpMissingText, kHelpMissingText}));
}

TEST_F(HelpTest, TheViewerIsStartedWithTheTopic) {
  ASSERT_NO_FATAL_FAILURE(InstallViewer());
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_TRUE(window_->HelpAvailable());
  MessageBoxAnswerer noMessage(kMainWindowCaption, IDOK);
  const std::wstring viewer = folder_ + L"\\Lotse32.exe ";
  window_->CallHilfe(0);
  EXPECT_EQ(ViewerCommandLine(), viewer + folder_ + L"\\Vemra.lhf,1");
  // F1 on the "Erledigtes" list opens the topic of "Alles".
  window_->SelectTab(Category::Done);
  MSG f1{List(), WM_KEYDOWN, VK_F1, 0};
  EXPECT_TRUE(window_->PreTranslate(f1));
  EXPECT_EQ(ViewerCommandLine(), viewer + folder_ + L"\\Vemra.lhf,2");
  Command(IDM_HILFE);
  EXPECT_EQ(ViewerCommandLine(), viewer + folder_ + L"\\Vemra.lhf,1");
  EXPECT_TRUE(noMessage.Texts().empty());
}

TEST(WaitSeconds, WaitsAtLeastTheTimeWithoutSpinningAndRunsTimers) {
  static int ticks = 0;
  ticks = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) { ++ticks; });
  FILETIME created, exited, kernelBefore, userBefore, kernelAfter, userAfter;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernelBefore, &userBefore);
  const ULONGLONG start = GetTickCount64();
  win32::WaitSeconds(0.5);
  const ULONGLONG waited = GetTickCount64() - start;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernelAfter, &userAfter);
  KillTimer(nullptr, timer);

  EXPECT_GE(waited, 500u);
  EXPECT_GT(ticks, 0);
  // A spinning wait keeps this thread busy (under Wine about a third of the
  // time, the rest goes to the server); a sleeping one needs next to nothing.
  const auto hundredNs = [](const FILETIME& t) {
    return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  const ULONGLONG busy = hundredNs(kernelAfter) - hundredNs(kernelBefore) + hundredNs(userAfter) -
                         hundredNs(userBefore);
  EXPECT_LT(busy, 500'000u);  // a tenth of the wait
}

}  // namespace
}  // namespace ordalis

int main(int argc, char** argv) {
  wchar_t self[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::wstring path(self, length);
  const std::wstring viewer = std::wstring(L"\\") + ordalis::kViewerName;
  if (path.size() > viewer.size() &&
      CompareStringOrdinal(path.c_str() + path.size() - viewer.size(), -1, viewer.c_str(), -1,
                           TRUE) == CSTR_EQUAL) {
    // Started as the help viewer: note the command line beside this copy.
    const std::wstring folder = path.substr(0, path.size() - viewer.size());
    const std::wstring commandLine = GetCommandLineW();
    const std::wstring partial = folder + L"\\viewer.tmp";
    ordalis::test::WriteFileBytes(
        partial, std::string_view(reinterpret_cast<const char*>(commandLine.data()),
                                  commandLine.size() * sizeof(wchar_t)));
    MoveFileW(partial.c_str(), (folder + L"\\" + ordalis::kViewerNote).c_str());
    return 0;
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
