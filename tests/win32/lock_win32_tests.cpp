// A stored password locks the task view on every path that would show it,
// and the options open as the window's state asks.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/task_file_reads.h"
#include "dialog_script.h"
#include "dialogs/password_dialog.h"
#include "lifecycle_fixture.h"
#include "options/options_dialog.h"
#include "win32/controls.h"

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
    ASSERT_EQ(StorePassword(files, "geheim"), SaveResult::kSaved);
  }
};

TEST_F(LockTest, ANormalStartAsksBeforeAnythingIsShown) {
  {
    DialogScript script(kPasswordCaption);
    script.Do([](HWND) { EXPECT_FALSE(TasksShown()); })
        .Type(L"falsch")
        .Click(IDOK)
        .Answer(L"Ordalis", IDOK)
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
  // "Abbrechen" ends the program, except in a reminder's prompt: that
  // leaves it waiting in the notification area, its task reminded unseen.
  struct Case {
    const char* what;
    std::function<void()> prepare;
    std::function<void()> act;
    bool ends = true;
    const char* flag = "";
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
       },
       false},
      {"due reminder", [this] { Set(L"Reminder", Text(L"2")); },
       [this] { SendMessageW(hwnd_, WM_TIMER, kTimerRelevantes, 0); }, false, "R"},
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
    EXPECT_EQ(window_->Ended(), c.ends);
    EXPECT_EQ(StoredFlag(files_->Data(), "100"), c.flag);
    WriteTasks({{"Important", {{"100", {"12-08-2026", "10:00", "Arzt"}}}},
                {"Others", {{"100", {"12-31-2026", "00:00", "Sekt"}}}}});
    Win32TaskFiles files(folder_);
    ASSERT_EQ(StorePassword(files, "geheim"), SaveResult::kSaved);
  }
}

// Looks at the window from inside whichever loop runs, the prompt's too, as
// another program on the desktop would: every 20 ms, whether the list holds
// a row and how many prompts are open. While a prompt is open it does the
// action again on its first and third look (a second request) and gives the
// password from the eighth on.
class LockWatcher {
 public:
  LockWatcher(HWND main, std::function<void()> act) : main_(main), act_(std::move(act)) {
    active_ = this;
    timer_ = SetTimer(nullptr, 0, 20, Tick);
  }
  ~LockWatcher() {
    KillTimer(nullptr, timer_);
    active_ = nullptr;
  }
  LockWatcher(const LockWatcher&) = delete;
  LockWatcher& operator=(const LockWatcher&) = delete;

  void Watch(HWND main) { main_ = main; }
  bool RowsSeen() const { return rowsSeen_; }
  int MostPrompts() const { return mostPrompts_; }
  bool Answered() const { return answered_; }

  static std::vector<HWND> Prompts() {
    std::vector<HWND> found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM list) {
          wchar_t caption[64] = {};
          GetWindowTextW(window, caption, 64);
          if (std::wstring_view(caption) == kPasswordCaption) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
  }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (active_) active_->Look();
  }
  void Look() {
    if (busy_) return;
    busy_ = true;
    const std::vector<HWND> prompts = Prompts();
    if (!answered_ && main_ && IsWindow(main_)) {
      rowsSeen_ |= ListView_GetItemCount(GetDlgItem(main_, IDC_LDATEN)) > 0;
    }
    mostPrompts_ = std::max(mostPrompts_, static_cast<int>(prompts.size()));
    if (!prompts.empty()) {
      ++looks_;
      if (looks_ == 1 || looks_ == 3) act_();
      if (looks_ >= 8) {
        answered_ = true;
        for (HWND prompt : prompts) {
          SetDlgItemTextW(prompt, IDC_PW_TEXT2, L"geheim");
          PostMessageW(GetDlgItem(prompt, IDOK), BM_CLICK, 0, 0);
        }
      }
    }
    busy_ = false;
  }

  static inline LockWatcher* active_ = nullptr;
  HWND main_;
  std::function<void()> act_;
  UINT_PTR timer_ = 0;
  int looks_ = 0;
  int mostPrompts_ = 0;
  bool rowsSeen_ = false;
  bool answered_ = false;
  bool busy_ = false;
};

TEST_F(LockTest, WhatAnotherProgramDoesToTheWindowShowsNoTaskAndOnePrompt) {
  struct Case {
    const char* what;
    std::function<void(HWND)> act;
  };
  const Case cases[] = {
      {"ShowWindow SW_SHOW", [](HWND w) { ShowWindow(w, SW_SHOW); }},
      {"ShowWindow SW_RESTORE", [](HWND w) { ShowWindow(w, SW_RESTORE); }},
      {"SwitchToThisWindow", [](HWND w) { SwitchToThisWindow(w, TRUE); }},
      {"posted SC_MAXIMIZE", [](HWND w) { PostMessageW(w, WM_SYSCOMMAND, SC_MAXIMIZE, 0); }},
      {"posted SC_RESTORE", [](HWND w) { PostMessageW(w, WM_SYSCOMMAND, SC_RESTORE, 0); }},
      {"WM_ACTIVATE", [](HWND w) { SendMessageW(w, WM_ACTIVATE, WA_ACTIVE, 0); }},
  };
  for (const Case& c : cases) {
    for (const bool automatic : {true, false}) {
      SCOPED_TRACE(std::string(c.what) + (automatic ? " after /a" : " under the start's prompt"));
      window_.reset();
      std::unique_ptr<LockWatcher> watcher;
      if (automatic) {
        ASSERT_NO_FATAL_FAILURE(Open(true));
        watcher = std::make_unique<LockWatcher>(hwnd_, [&] { c.act(hwnd_); });
        c.act(hwnd_);
      } else {
        // The window does not exist before the start; the prompt's first
        // look finds it.
        watcher = std::make_unique<LockWatcher>(nullptr, [&] {
          HWND main = test::ThisTestsMainWindow();
          watcher->Watch(main);
          c.act(main);
        });
        ASSERT_TRUE(Start());
      }
      test::PumpMessages(400);
      EXPECT_FALSE(watcher->RowsSeen());
      EXPECT_LE(watcher->MostPrompts(), 1);
      EXPECT_TRUE(LockWatcher::Prompts().empty());
      if (watcher->Answered()) {
        EXPECT_FALSE(window_->AuthenticationPending());
        EXPECT_GT(ListView_GetItemCount(List()), 0);  // filled once the password is given
      } else {
        // No prompt came: the window stayed off screen, still locked.
        EXPECT_TRUE(window_->AuthenticationPending());
        EXPECT_FALSE(TasksShown());
        EXPECT_EQ(ListView_GetItemCount(List()), 0);
      }
    }
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
  EXPECT_EQ(StoredFlag(files_->Data(), "100"), "R");
  EXPECT_FALSE(window_->AuthenticationPending());
}

// "Abbrechen" in the prompt a reminder brought up leaves the program
// waiting in the notification area with its timers; the task rings once and
// shows when the user opens the window.
TEST_F(LockTest, TheStartUpAlertsPromptCancelledKeepsTheProgramInTheTray) {
  WriteTasks({{"Important", {{"100", {"12-08-2026", "10:30", "Jetzt"}}}}});
  {
    Win32TaskFiles files(folder_);
    ASSERT_EQ(StorePassword(files, "geheim"), SaveResult::kSaved);
  }
  Set(L"Reminder", Text(L"2"));
  DialogScript script(kPasswordCaption);
  script
      .Do([this](HWND dialog) {
        EXPECT_EQ(sound_.played.size(), 1u);
        EXPECT_FALSE(TasksShown());
        EXPECT_NE(win32::WindowText(GetDlgItem(dialog, IDC_PW_NOTE)).find(L"Infobereich"),
                  std::wstring::npos);
      })
      .Click(IDCANCEL);
  ASSERT_TRUE(Start(true));
  EXPECT_TRUE(script.Finished());
  EXPECT_FALSE(window_->Ended());
  EXPECT_FALSE(IsWindowVisible(hwnd_));
  EXPECT_TRUE(window_->TrayIconShown());
  EXPECT_TRUE(window_->CheckRuns(kTimerRelevantes));
  SendMessageW(hwnd_, WM_TIMER, kTimerRelevantes, 0);
  EXPECT_EQ(sound_.played.size(), 1u);

  DialogScript again(kPasswordCaption);
  again.Type(L"geheim").Click(IDOK);
  TrayMouse(WM_LBUTTONDOWN);
  EXPECT_TRUE(again.Finished());
  ExpectShownInFront();
  EXPECT_EQ(test::ListCell(List(), SelectedRow(), L"Beschreibung"), L"Jetzt");
}

TEST_F(LockTest, OptionsAreModalFromTheMenuAndModelessFromTheHiddenWindowsButton) {
  Win32TaskFiles files(folder_);
  ASSERT_EQ(StorePassword(files, ""), SaveResult::kSaved);
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
