// A stored password locks the task view on every path that would show it,
// and the options open as the window's state asks.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "dialog_script.h"
#include "dialogs/password_dialog.h"
#include "lifecycle_fixture.h"
#include "options/options_dialog.h"

namespace ordalis {
namespace {

using test::DialogScript;
using test::LifecycleTest;
using test::Number;
using test::Text;

// Whether this test's main window shows its tasks: visible and not minimised.
bool TasksShown() {
  HWND main = test::ThisTestsMainWindow();
  return main && IsWindowVisible(main) && !IsIconic(main);
}

class LockTest : public LifecycleTest {
 protected:
  void SetUp() override {
    Quiet();
    // "Arzt" is due since 10:00; the clock says 10:30.
    WriteTasks({{"Important", {{"100", {"12-08-2026", "10:00", "Arzt"}}}},
                {"Others", {{"100", {"12-31-2026", "00:00", "Sekt"}}}}});
    Win32TaskFiles files(folder_);
    ASSERT_EQ(WritePassword(files, "geheim"), SaveResult::kSaved);
  }
};

TEST_F(LockTest, ANormalStartAsksBeforeAnythingIsShown) {
  {
    DialogScript script(kPasswordCaption);
    script.Do([](HWND) { EXPECT_FALSE(TasksShown()); })
        .Type(L"falsch")
        .Click(IDOK)
        .Type(L"geheim")
        .Click(IDOK);
    ASSERT_TRUE(Start());
    EXPECT_TRUE(script.Finished());
  }
  EXPECT_TRUE(TasksShown());
  EXPECT_FALSE(window_->AuthenticationPending());

  // "&Abbrechen" ends the program, and its icon goes with i
  window_.reset();
  DialogScript script(kPasswordCaption);
  script.Click(IDCANCEL);
  EXPECT_FALSE(Start());
  EXPECT_TRUE(window_->Ended());
  EXPECT_FALSE(window_->TrayIconShown());
}

TEST_F(LockTest, AfterAnAutomaticStartEveryWayToTheTasksAsksFirst) {
  struct Case {
    const char* what;
    std::function<void()> prepare;
    std::function<void()> act;
  };
  const auto nothing = [] {};
  const Case cases[] = {
      {"left press", nothing, [this] { TrayMouse(WM_LBUTTONDOWN); }},
      {"right press", nothing, [this] { TrayMouse(WM_RBUTTONDOWN); }},
      {"Aufgaben anzeigen", nothing, [this] { Command(IDM_VISIBLE); }},
      {"Einträge hinzufügen", nothing, [this] { Command(IDM_NEU); }},
      {"Einstellungen", nothing, [this] { Command(IDM_OPTIONEN); }},
      {"hourly reminder", [this] { Set(L"Reminder", Text(L"1")); },
       [this] {
         clock_.now.hour = 11;
         clock_.now.minute = 0;
         SendMessageW(hwnd_, WM_TIMER, kTimerStunde, 0);
       }},
      {"due reminder", [this] { Set(L"Reminder", Text(L"2")); },
       [this] { SendMessageW(hwnd_, WM_TIMER, kTimerRelevantes, 0); }},
      {"task-bar button", [this] { Set(L"Symbol", Number(0)); },
       [this] { SendMessageW(hwnd_, WM_SYSCOMMAND, SC_RESTORE, 0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    settings_.DeleteValue(SettingsRoot::kCurrentUser, kSettingsKey, L"Reminder");
    settings_.DeleteValue(SettingsRoot::kCurrentUser, kSettingsKey, L"Symbol");
    c.prepare();
    ASSERT_NO_FATAL_FAILURE(Reopen(true));
    ASSERT_TRUE(window_->AuthenticationPending());
    DialogScript script(kPasswordCaption);
    script.Do([](HWND) { EXPECT_FALSE(TasksShown()); }).Click(IDCANCEL);
    c.act();
    EXPECT_TRUE(script.Finished());
    EXPECT_FALSE(TasksShown());
    EXPECT_TRUE(window_->Ended());
    EXPECT_EQ(ReadReminderFlag(files_->Data(), "100"), "");  // never reminded unseen
  }
}

TEST_F(LockTest, AReminderSoundsFirstAndShowsItsTaskOnceThePasswordIsGiven) {
  Set(L"Reminder", Text(L"2"));
  ASSERT_NO_FATAL_FAILURE(Open(true));
  DialogScript script(kPasswordCaption);
  script
      .Do([this](HWND) {
        EXPECT_EQ(sound_.played.size(), 1u);
        EXPECT_FALSE(TasksShown());
      })
      .Type(L"geheim")
      .Click(IDOK);
  SendMessageW(hwnd_, WM_TIMER, kTimerRelevantes, 0);
  EXPECT_TRUE(script.Finished());
  ExpectShownInFront();
  EXPECT_EQ(ReadReminderFlag(files_->Data(), "100"), "R");
  EXPECT_FALSE(window_->AuthenticationPending());
}

TEST_F(LockTest, TheStartUpAlertSoundsAndWaitsForThePassword) {
  WriteTasks({{"Important", {{"100", {"12-08-2026", "10:30", "Jetzt"}}}}});
  {
    Win32TaskFiles files(folder_);
    ASSERT_EQ(WritePassword(files, "geheim"), SaveResult::kSaved);
  }
  DialogScript script(kPasswordCaption);
  script
      .Do([this](HWND) {
        EXPECT_EQ(sound_.played.size(), 1u);
        EXPECT_FALSE(TasksShown());
      })
      .Click(IDCANCEL);
  EXPECT_FALSE(Start(true));
  EXPECT_TRUE(script.Finished());
  EXPECT_TRUE(window_->Ended());
}

TEST_F(LockTest, OptionsAreModalFromTheMenuAndModelessFromTheHiddenWindowsButton) {
  Win32TaskFiles files(folder_);
  ASSERT_EQ(WritePassword(files, ""), SaveResult::kSaved);
  ASSERT_NO_FATAL_FAILURE(Open());
  {
    DialogScript script(kOptionsCaption);
    script.Do([this](HWND) { EXPECT_TRUE(window_->Busy()); }).Click(IDCANCEL);
    Command(IDM_OPTIONEN);  // returns when the dialog is closed
    EXPECT_TRUE(script.Finished());
  }
  ShowWindow(hwnd_, SW_HIDE);
  Command(IDC_BOPTIONEN);  // returns at once
  HWND options = FindWindowW(L"#32770", kOptionsCaption);
  ASSERT_NE(options, nullptr);
  EXPECT_FALSE(window_->Busy());
  Command(IDC_BOPTIONEN);  // one at a time
  EXPECT_EQ(FindWindowW(L"#32770", kOptionsCaption), options);
  SendMessageW(options, WM_COMMAND, IDCANCEL, 0);
  test::PumpMessages(50);
  EXPECT_FALSE(IsWindow(options));
}

}  // namespace
}  // namespace ordalis
