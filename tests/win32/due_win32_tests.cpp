// Reminders that reach the user after sleep, overnight and across clock
// changes: what was missed is reminded at a start, and a resume, a clock
// change or an unlock checks at once rather than at the next tick.
#include <windows.h>
#include <wtsapi32.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/task_file_reads.h"
#include "dialog_script.h"
#include "lifecycle_fixture.h"

namespace ordalis {
namespace {

using test::DialogScript;
using test::LifecycleTest;
using test::Played;
using test::Text;

class DueTest : public LifecycleTest {
 protected:
  void SetUp() override { Quiet(); }
  std::string FlagOf(std::string_view key) { return StoredFlag(files_->Data(), key); }
  // Pumps messages until a sound was played, at most two seconds.
  bool SoundWithinTwoSeconds() {
    const DWORD start = GetTickCount();
    while (sound_.played.empty() && GetTickCount() - start < 2000) test::PumpMessages(20);
    return !sound_.played.empty();
  }
};

// "bei relevanten Meldungen" reminds with the window open, whether the mode
// was stored or chosen with its option button.
TEST_F(DueTest, ModeTwoRemindsWithTheWindowOpen) {
  clock_.now = {2026, 12, 9, 8, 0, 10, 0};
  WriteTasks(
      {{"Important",
        {{"100", {"12-09-2026", "09:00", "Zahnarzt"}}, {"101", {"12-09-2026", "10:00", "Bank"}}}}});
  for (const wchar_t* stored : {L"2", L"3"}) {
    SCOPED_TRACE(*win32::Narrow(stored));
    Set(L"Reminder", Text(stored));
    ASSERT_NO_FATAL_FAILURE(Reopen());
    ASSERT_TRUE(IsWindowVisible(hwnd_));
    if (stored[0] == L'3') {
      SendDlgItemMessageW(hwnd_, IDC_OWECKER2, BM_CLICK, 0, 0);
      ASSERT_EQ(window_->ReminderMode(), 2);
    }
    EXPECT_TRUE(window_->CheckRuns(kTimerRelevantes));
    clock_.now.hour = 9;
    SendMessageW(hwnd_, WM_TIMER, kTimerRelevantes, 0);
    EXPECT_EQ(sound_.played.size(), 1u);
    EXPECT_EQ(FlagOf("100"), "R");
    // The check goes on with the window open: the next task rings too.
    clock_.now.hour = 10;
    SendMessageW(hwnd_, WM_TIMER, kTimerRelevantes, 0);
    EXPECT_EQ(sound_.played.size(), 2u);
    EXPECT_EQ(FlagOf("101"), "R");
    clock_.now.hour = 8;
    WriteTasks({{"Important",
                 {{"100", {"12-09-2026", "09:00", "Zahnarzt"}},
                  {"101", {"12-09-2026", "10:00", "Bank"}}}}});
  }
}

TEST_F(DueTest, AStartInModeTwoRemindsWhatWasMissedOvernightOnceAndFlagsIt) {
  clock_.now = {2026, 12, 9, 8, 0, 10, 0};
  Set(L"Reminder", Text(L"2"));
  for (const bool automaticStart : {false, true}) {
    SCOPED_TRACE(automaticStart ? "/a" : "plain start");
    WriteTasks({{"Important",
                 {{"100", {"12-09-2026", "07:30", "Zug"}},
                  {"101", {"12-08-2026", "23:50", "Gestern abend"}},
                  {"102", {"12-01-2026", "07:00", "Vor acht Tagen"}},
                  {"103", {"12-09-2026", "09:00", "Später"}}}}});
    ASSERT_NO_FATAL_FAILURE(Reopen(automaticStart));
    EXPECT_EQ(sound_.played, (std::vector<Played>{{L"KONTAKT", false, true, false}}));
    ExpectShownInFront();
    EXPECT_EQ(window_->SelectedCategory(), Category::Important);
    EXPECT_EQ(test::ListCell(List(), SelectedRow(), L"Beschreibung"), L"Gestern abend");
    EXPECT_EQ(FlagOf("100"), "R");
    EXPECT_EQ(FlagOf("101"), "R");
    EXPECT_EQ(FlagOf("102"), "");
    EXPECT_EQ(FlagOf("103"), "");

    // Started again, and closed into the tray: nothing is reminded twice.
    ASSERT_NO_FATAL_FAILURE(Reopen(automaticStart));
    EXPECT_TRUE(sound_.played.empty());
    if (IsWindowVisible(hwnd_)) CloseIntoTray(2);
    SendMessageW(hwnd_, WM_TIMER, kTimerRelevantes, 0);
    EXPECT_TRUE(sound_.played.empty());
  }
}

struct Wakeup {
  const char* name;
  UINT message;
  WPARAM wParam;
};
const Wakeup kWakeups[] = {
    {"resume from sleep, nobody there", WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC},
    {"resume from sleep by the user", WM_POWERBROADCAST, PBT_APMRESUMESUSPEND},
    {"clock changed", WM_TIMECHANGE, 0},
    {"session unlocked", WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK},
};

TEST_F(DueTest, AResumeAClockChangeAndAnUnlockCheckTheDueTasksAtOnce) {
  for (const Wakeup& wakeup : kWakeups) {
    SCOPED_TRACE(wakeup.name);
    clock_.now = {2026, 12, 8, 23, 45, 0, 0};
    WriteTasks({{"Important", {{"100", {"12-08-2026", "23:50", "Spielfilm"}}}}});
    ASSERT_NO_FATAL_FAILURE(Reopen());
    CloseIntoTray(2);
    clock_.now = {2026, 12, 9, 7, 55, 0, 0};  // the PC slept through the night
    // Another event does not check: only the 30-second tick would.
    PostMessageW(hwnd_, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    test::PumpMessages(100);
    EXPECT_TRUE(sound_.played.empty());
    PostMessageW(hwnd_, wakeup.message, wakeup.wParam, 0);
    ASSERT_TRUE(SoundWithinTwoSeconds());
    ExpectShownInFront();
    EXPECT_EQ(test::ListCell(List(), SelectedRow(), L"Beschreibung"), L"Spielfilm");
    EXPECT_EQ(FlagOf("100"), "R");
  }
}

TEST_F(DueTest, AResumeRemindsTheHourMissedInSleepOnce) {
  WriteTasks({{"Others", {{"100", {"12-31-2026", "00:00", "Sekt"}}}}});
  ASSERT_NO_FATAL_FAILURE(Open());
  CloseIntoTray(1);
  clock_.now.hour = 14;
  clock_.now.minute = 20;
  PostMessageW(hwnd_, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
  ASSERT_TRUE(SoundWithinTwoSeconds());
  ExpectShownInFront();
  CloseIntoTray(1);
  PostMessageW(hwnd_, WM_TIMECHANGE, 0, 0);
  test::PumpMessages(200);
  EXPECT_EQ(sound_.played.size(), 1u);
}

TEST_F(DueTest, AResumeUnderADialogWaitsForItToClose) {
  WriteTasks({{"Important", {{"100", {"12-08-2026", "10:00", "Zahnarzt"}}}},
              {"Others", {{"100", {"12-31-2026", "00:00", "Milch kaufen"}}}}});
  ASSERT_NO_FATAL_FAILURE(Open());
  CloseIntoTray(2);
  TrayMouse(WM_LBUTTONDOWN);
  ASSERT_TRUE(IsWindowVisible(hwnd_));
  window_->SelectTab(Category::Others);
  ListView_SetItemState(List(), 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  DialogScript script(L"Ordalis ");
  script
      .Do([this](HWND) {
        SendMessageW(hwnd_, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
        // Logging off is never held up by a question that waits.
        EXPECT_EQ(SendMessageW(hwnd_, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
        EXPECT_TRUE(sound_.played.empty()) << "reminded under the question";
      })
      .Click(IDNO);
  SendMessageW(Item(IDC_BLOESCHEN), BM_CLICK, 0, 0);
  EXPECT_TRUE(script.Finished());
  test::PumpMessages(100);
  EXPECT_EQ(sound_.played.size(), 1u);
  EXPECT_EQ(window_->SelectedCategory(), Category::Important);
  EXPECT_EQ(FlagOf("100"), "R");
}

TEST_F(DueTest, WindowsBringsTheProgramBackAfterAnUpdateRestart) {
  ASSERT_NO_FATAL_FAILURE(Open());
  wchar_t command[64] = {};
  DWORD size = 64;
  DWORD flags = 0;
  // Wine takes the registration but does not give it back.
  if (GetApplicationRestartSettings(GetCurrentProcess(), command, &size, &flags) != S_OK) {
    GTEST_SKIP() << "the restart settings cannot be read here";
  }
  EXPECT_STREQ(command, L"/a");
  EXPECT_EQ(flags, static_cast<DWORD>(RESTART_NO_CRASH | RESTART_NO_HANG));
}

}  // namespace
}  // namespace ordalis
