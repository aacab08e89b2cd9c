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
#include "dialog_script.h"
#include "fixtures.h"
#include "mainwindow/main_window.h"
#include "mainwindow/startup_windows.h"
#include "storage/profile_file_win32.h"
#include "storage/settings_win32.h"
#include "support.h"
#include "win32/dpi.h"
#include "win32/wait.h"

#include "lifecycle_fixture.h"

namespace ordalis {
namespace {
using test::FixedClock;
using test::IconInTray;
using test::IsTopmost;
using test::LifecycleTest;
using test::MenuWatcher;
using test::MessageBoxAnswerer;
using test::Number;
using test::Played;
using test::RecordingPlayer;
using test::Sections;
using test::Text;
using test::WriteDataFile;

constexpr wchar_t kViewerName[] = L"Lotse32.exe";
constexpr wchar_t kViewerNote[] = L"viewer_command_line.txt";

// ---------------------------------------------------------------------------
// Start-up

using StartupTest = LifecycleTest;

TEST_F(StartupTest, FirstStartWithoutSettings) {
  // The splash stands while start-up waits its second.
  bool splashSeen = false;
  waits_.during = [&splashSeen] {
    HWND splash = FindWindowW(L"OrdalisSplash", L"Ordalis");
    splashSeen = splashSeen || (splash && IsWindowVisible(splash));
  };
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_TRUE(splashSeen);
  EXPECT_EQ(waits_.seconds, std::vector<double>{1.0});
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
  EXPECT_FALSE(window_->CheckRuns(kTimerStunde));
  EXPECT_FALSE(window_->CheckRuns(kTimerRelevantes));
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

TEST_F(StartupTest, StoredLookModeAndTab) {
  Quiet();
  Set(L"FontName", Text(L"Courier New"));
  Set(L"FontSize", Text(L"12"));
  Set(L"Tab_A", Text(L"3000"));  // wider than a date in the larger font
  Set(L"Tab_B", Text(L"6000"));
  Set(L"Reminder", Text(L"2"));
  Set(L"Register", Number(1));
  Set(L"TabStrip", Text(L"1"));
  ASSERT_NO_FATAL_FAILURE(Open());

  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(List(), WM_GETFONT, 0, 0)), sizeof font, &font);
  EXPECT_STREQ(font.lfFaceName, L"Courier New");
  EXPECT_EQ(std::abs(font.lfHeight), MulDiv(12, static_cast<int>(Dpi()), 72));
  // The date column keeps its stored width; the description takes the rest
  // of the list, whatever the time column needed more for the larger font.
  EXPECT_NEAR(win32::PixelsToTwips(ListView_GetColumnWidth(List(), 0), Dpi()), 3000,
              1440 / static_cast<int>(Dpi()) + 1);
  EXPECT_EQ(test::RoomRightOfColumns(List()), 0);
  // The mode is selected, and it reminds with the window open too.
  EXPECT_EQ(window_->ReminderMode(), 2);
  EXPECT_TRUE(Checked(IDM_ERINNERUNG2));
  EXPECT_FALSE(Checked(IDM_ERINNERUNG3));
  EXPECT_TRUE(window_->CheckRuns(kTimerRelevantes));
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
  for (const bool automaticStart : {false, true}) {
    SCOPED_TRACE(automaticStart ? "/a" : "plain start");
    // Afresh each time: the alert flags the task it showed.
    WriteTasks(
        {{"Important",
          {{"100", {"12-08-2026", "10:30", "Jetzt"}}, {"101", {"12-07-2026", "10:30", "Gestern"}}}},
         {"Others", {{"100", {"12-08-2026", "00:00", "Heute"}}}}});
    ASSERT_NO_FATAL_FAILURE(Reopen(automaticStart));
    // The sound plays to its end before the window comes up.
    EXPECT_EQ(sound_.played, (std::vector<Played>{{L"KONTAKT", false, true, false}}));
    ExpectShownInFront();
    EXPECT_EQ(window_->SelectedCategory(), Category::Important);
    EXPECT_EQ(SelectedRow(), 1);  // "Jetzt", after yesterday's task
    EXPECT_EQ(test::ListCell(List(), SelectedRow(), L"Beschreibung"), L"Jetzt");
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
  EXPECT_EQ(test::ListCell(List(), SelectedRow(), L"Beschreibung"), L"Heute");

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
  // description column took the rest of the list beside the stored date and
  // the view's time column.
  void ExpectStoredPlacement(bool timeColumn = true) {
    const int descriptionTwips = listTwips_ - 1800 - (timeColumn ? 1000 : 0);
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
    bool stunde, relevantes;
  };
  for (const Case c : {Case{1, true, false}, Case{2, false, true}}) {
    SCOPED_TRACE(c.mode);
    Set(L"Reminder", Text(std::to_wstring(c.mode)));
    ASSERT_NO_FATAL_FAILURE(Reopen());
    window_->SelectTab(Category::Others);
    SendMessageW(Item(IDC_BBEENDEN), BM_CLICK, 0, 0);

    ExpectStoredPlacement(false);  // "Sonstiges" has no time column
    ExpectStoredState(std::to_wstring(c.mode), L"3");
    EXPECT_EQ(window_->CheckRuns(kTimerStunde), c.stunde);
    EXPECT_EQ(window_->CheckRuns(kTimerRelevantes), c.relevantes);
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
  EXPECT_FALSE(window_->CheckRuns(kTimerStunde));
  EXPECT_FALSE(window_->CheckRuns(kTimerRelevantes));
  EXPECT_TRUE(window_->TrayIconShown());
  EXPECT_TRUE(IconInTray(window_->TrayHost(), 1));
}

TEST_F(CloseTest, ClosedFromTheTaskBarWhileMinimised) {
  ASSERT_NO_FATAL_FAILURE(Open());
  Command(IDM_ERINNERUNG1);
  ASSERT_TRUE(window_->CheckRuns(kTimerStunde));
  ShowWindow(hwnd_, SW_MINIMIZE);
  ClearStored();
  SendMessageW(hwnd_, WM_CLOSE, 0, 0);
  // The minimised place is no place to keep.
  EXPECT_EQ(Get(L"Left"), std::nullopt);
  EXPECT_EQ(Get(L"Tab_A"), std::nullopt);
  ExpectStoredState(L"1", L"2");
  EXPECT_TRUE(IsWindowVisible(hwnd_));
  EXPECT_TRUE(IsIconic(hwnd_));
  EXPECT_TRUE(window_->CheckRuns(kTimerStunde));
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
    EXPECT_TRUE(window_->CheckRuns(kTimerStunde));
    EXPECT_FALSE(window_->Ended());
    EXPECT_TRUE(IconInTray(window_->TrayHost(), 1));
  }
  // "Abbrechen" stored nothing, so it shows again; "OK" with the box
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

TEST_F(CloseTest, StartBalloonASecondAfterTheCloseIntoTheTray) {
  realWaits_ = true;  // the one test that takes the real pause
  Set(L"Reminder", Text(L"1"));
  ASSERT_NO_FATAL_FAILURE(Open());
  const ULONGLONG start = GetTickCount64();
  window_->bBeenden_Click();
  EXPECT_GE(GetTickCount64() - start, 1000u);
  EXPECT_EQ(window_->BalloonsShown(), 1);
}

TEST_F(CloseTest, StartBalloonOncePerCloseIntoTheTray) {
  Set(L"Reminder", Text(L"1"));
  ASSERT_NO_FATAL_FAILURE(Open());
  window_->bBeenden_Click();
  EXPECT_EQ(window_->BalloonsShown(), 1);
  EXPECT_EQ(waits_.seconds, std::vector<double>{1.0});
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

TEST_F(CloseTest, QuitMessageEndsUnlessTheUserIsAsked) {
  Set(L"HelpDirekt", Number(0));
  Set(L"Reminder", Text(L"1"));
  ASSERT_NO_FATAL_FAILURE(Open());
  const UINT quit = RegisterWindowMessageW(kQuitMessageName);
  // The closing notice waits for the user: the request is refused and the
  // close goes on as the user answers.
  LRESULT underNotice = -1;
  {
    test::DialogScript script(kNoticeCaption);
    script.Do([&](HWND) { underNotice = SendMessageW(hwnd_, quit, 0, 0); }).Click(IDC_BABBRECHEN);
    SendMessageW(Item(IDC_BBEENDEN), BM_CLICK, 0, 0);
  }
  EXPECT_EQ(underNotice, 0);
  EXPECT_FALSE(window_->Ended());
  EXPECT_TRUE(window_->TrayIconShown());

  // Hidden in the tray: the quit sequence stores the state and ends.
  ClearStored();
  const HWND host = window_->TrayHost();
  EXPECT_EQ(SendMessageW(hwnd_, quit, 0, 0), 1);
  ExpectStoredState(L"1", L"1");  // the hidden window shows "Alles"
  EXPECT_TRUE(window_->Ended());
  EXPECT_EQ(ends_, 1);
  EXPECT_FALSE(IconInTray(host, 1));
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

  // "OK" stores both boxes as numbers, the unticked one as 0.
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

// A folder that takes no file, and a temporary copy of a zip, are named
// before the window shows or the password is asked.
TEST_F(LifecycleTest, AFolderThatCannotKeepTasksIsNamedBeforeAnythingAsks) {
  Quiet();
  temporaryFolder_ = temp_.Path();
  const std::wstring zip = temp_.Path() + L"\\Temp1_Ordalis.zip";
  // Wine runs the tests as root here, and no folder of the prefix refuses
  // root a file; the process file system refuses everyone.
  for (const auto& [folder, words] :
       {std::pair{std::wstring(L"Z:\\proc"), L"schreibgesch\u00FCtzt"},
        std::pair{zip + L"\\Ordalis", L"ZIP-Archiv"}}) {
    folder_ = folder;
    CreateDirectoryW(zip.c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    test::DialogScript script(L"Ordalis");
    script.Do([](HWND) {
      HWND main = FindWindowW(L"OrdalisMain", nullptr);
      EXPECT_TRUE(main && !IsWindowVisible(main));
    });
    script.Answer(L"Ordalis", IDOK);
    Reopen();
    EXPECT_TRUE(script.Finished());
    ASSERT_EQ(script.Answers().size(), 1u);
    EXPECT_NE(script.Answers()[0].find(words), std::wstring::npos) << script.Answers()[0];
    EXPECT_TRUE(IsWindowVisible(hwnd_));
  }
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
