// Reminders that reach the user without getting in the way: the keyboard
// stays with the program the user types into, a full-screen program holds
// the reminder back, each reminder puts a notification on the icon, and a
// start with Windows never waits for an answer.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "common/task_file_reads.h"
#include "dialog_script.h"
#include "dialogs/password_dialog.h"
#include "lifecycle_fixture.h"

namespace ordalis {
namespace {

using test::DialogScript;
using test::LifecycleTest;
using test::Text;

// Another program's window with the keyboard: an edit field on a thread of
// its own, as a window of another process is to the program.
class OtherProgram {
 public:
  OtherProgram() {
    thread_ = std::thread([this] {
      window_ = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 500, 300,
                                200, nullptr, nullptr, nullptr, nullptr);
      SetForegroundWindow(window_);
      SetFocus(window_);
      threadId_ = GetCurrentThreadId();
      ready_ = true;
      MSG msg;
      while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      DestroyWindow(window_);
    });
    while (!ready_) Sleep(10);
  }
  ~OtherProgram() {
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    thread_.join();
  }
  HWND Window() const { return window_; }
  std::wstring Typed() const {
    wchar_t text[64] = {};
    GetWindowTextW(window_, text, 64);
    return text;
  }

 private:
  std::thread thread_;
  HWND window_ = nullptr;
  DWORD threadId_ = 0;
  std::atomic<bool> ready_ = false;
};

// Keys typed as the keyboard types them: to whichever window has it.
void TypeKeys(const char* keys) {
  for (const char* key = keys; *key; ++key) {
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = static_cast<WORD>(*key);
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
  }
  test::PumpMessages(200);
}

struct FakeAttention : UserAttention {
  bool occupied = false;
  int asked = 0;
  bool Occupied() override {
    ++asked;
    return occupied;
  }
};

// Every balloon the program asks the shell for.
struct NoticeShell {
  static inline std::wstring text;
  static inline DWORD flags = 0;
  static inline HICON icon = nullptr;
  static BOOL WINAPI Notify(DWORD message, PNOTIFYICONDATAW record) {
    if (message == NIM_MODIFY && (record->uFlags & NIF_INFO)) {
      text = record->szInfo;
      flags = record->dwInfoFlags;
      icon = record->hBalloonIcon;
    }
    return TRUE;
  }
};

class AttentionTest : public LifecycleTest {
 protected:
  void SetUp() override {
    Quiet();
    Set(L"Reminder", Text(L"2"));
  }
  // Started with Windows before "Zahnarzt" is due; `locked` with a password.
  void StartBeforeTheTask(bool locked) {
    WriteTasks({{"Important", {{"100", {"12-08-2026", "10:00", "Zahnarzt"}}}},
                {"Others", {{"100", {"12-31-2026", "00:00", "Sekt"}}}}});
    Win32TaskFiles files(folder_);
    if (locked) {
      ASSERT_EQ(StorePassword(files, "geheim"), SaveResult::kSaved);
    }
    clock_.now = {2026, 12, 8, 9, 59, 0, 0};
    ASSERT_NO_FATAL_FAILURE(Reopen(true));
    clock_.now.hour = 10;
    clock_.now.minute = 30;
  }
  void Tick() { SendMessageW(hwnd_, WM_TIMER, kTimerRelevantes, 0); }
  std::wstring SelectedDescription() const { return test::ListCell(List(), SelectedRow(), 2); }
};

TEST_F(AttentionTest, AReminderLeavesTheKeyboardWithTheProgramThatHasIt) {
  for (const bool locked : {false, true}) {
    SCOPED_TRACE(locked ? "password pending" : "no password");
    ASSERT_NO_FATAL_FAILURE(StartBeforeTheTask(locked));
    OtherProgram other;
    ASSERT_EQ(GetForegroundWindow(), other.Window());
    DialogScript script(kPasswordCaption);
    if (locked) {
      script
          .Do([&](HWND prompt) {
            EXPECT_EQ(GetForegroundWindow(), other.Window()) << "the prompt took the keyboard";
            EXPECT_TRUE(IsWindowVisible(prompt));
            // The user clicks it: the password field has the keyboard.
            SetForegroundWindow(prompt);
          })
          .Do([](HWND prompt) { EXPECT_EQ(GetFocus(), GetDlgItem(prompt, IDC_PW_TEXT2)); })
          .Type(L"geheim")
          .Click(IDOK);
    }
    Tick();
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(sound_.played.size(), 1u);
    EXPECT_TRUE(IsWindowVisible(hwnd_));
    EXPECT_EQ(SelectedDescription(), L"Zahnarzt");
    if (locked) continue;  // the click on the prompt gave the keyboard to the program
    EXPECT_EQ(GetForegroundWindow(), other.Window());
    TypeKeys("AB");
    EXPECT_EQ(other.Typed(), L"ab");
    // A click on the window takes the keyboard as ever, into the list.
    SetForegroundWindow(hwnd_);
    test::PumpMessages(50);
    EXPECT_EQ(GetFocus(), List());
  }
}

// The user who starts the program wants it: a task due at the start comes
// with the keyboard, while a start with Windows leaves it where it is.
TEST_F(AttentionTest, AStartTheUserMadeTakesTheKeyboardAStartWithWindowsDoesNot) {
  for (const bool automaticStart : {false, true}) {
    SCOPED_TRACE(automaticStart ? "/a" : "started by the user");
    WriteTasks({{"Important", {{"100", {"12-08-2026", "10:00", "Zahnarzt"}}}}});
    clock_.now = {2026, 12, 8, 10, 30, 0, 0};
    OtherProgram other;
    ASSERT_NO_FATAL_FAILURE(Reopen(automaticStart));
    EXPECT_EQ(sound_.played.size(), 1u);
    EXPECT_EQ(SelectedDescription(), L"Zahnarzt");
    EXPECT_EQ(GetForegroundWindow(), automaticStart ? other.Window() : hwnd_);
  }
}

TEST_F(AttentionTest, AFullScreenProgramHoldsTheReminderUntilItEnds) {
  FakeAttention attention;
  attention_ = &attention;
  ASSERT_NO_FATAL_FAILURE(StartBeforeTheTask(false));
  // Nothing due yet: Windows is not asked at every tick.
  clock_.now.hour = 9;
  Tick();
  EXPECT_EQ(attention.asked, 0);
  clock_.now.hour = 10;
  attention.occupied = true;
  Tick();
  test::PumpMessages(100);
  EXPECT_TRUE(sound_.played.empty());
  EXPECT_FALSE(IsWindowVisible(hwnd_));
  attention.occupied = false;
  // Comes within seconds of the end, before the next tick would.
  const DWORD start = GetTickCount();
  while (sound_.played.empty() && GetTickCount() - start < 8000) test::PumpMessages(50);
  EXPECT_EQ(sound_.played.size(), 1u);
  EXPECT_TRUE(IsWindowVisible(hwnd_));
  EXPECT_EQ(StoredFlag(files_->Data(), "100"), "R");
}

TEST_F(AttentionTest, EachReminderPutsANotificationOnTheIconWhoseClickShowsTheTask) {
  for (const bool locked : {false, true}) {
    SCOPED_TRACE(locked ? "password pending" : "no password");
    ASSERT_NO_FATAL_FAILURE(StartBeforeTheTask(locked));
    window_->Tray().SetShell(NoticeShell::Notify);
    NoticeShell::text.clear();
    DialogScript script(kPasswordCaption);
    // The user clicks the prompt, whichever window had the keyboard.
    if (locked)
      script.Do([](HWND prompt) { SetForegroundWindow(prompt); }).Type(L"geheim").Click(IDOK);
    Tick();
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(NoticeShell::text, locked ? L"Eine Aufgabe ist fällig."
                                        : test::UserDate(L"12-08-2026") + L" 10:00 Zahnarzt");
    EXPECT_EQ(NoticeShell::flags, static_cast<DWORD>(NIIF_USER | NIIF_RESPECT_QUIET_TIME));
    EXPECT_EQ(NoticeShell::icon, window_->Tray().Icon());
  }
  // Looked at another tab meanwhile and closed: the click shows the task.
  window_->SelectTab(Category::Others);
  window_->bBeenden_Click();
  ASSERT_FALSE(IsWindowVisible(hwnd_));
  TrayMouse(NIN_BALLOONUSERCLICK);
  ExpectShownInFront();
  EXPECT_EQ(window_->SelectedCategory(), Category::Important);
  EXPECT_EQ(SelectedDescription(), L"Zahnarzt");
}

TEST_F(AttentionTest, AStartWithWindowsTellsOfAHandWrittenLineOnlyWhenTheWindowIsOpened) {
  test::WriteDataFile(folder_ + L"\\Vemra.dat",
                      {{"Important", {{"100", {"12-09-2026", "10:00", "Morgen"}}}}}, {},
                      "[Others]\r\nMilch holen\r\n");
  DialogScript script(kMainWindowCaption);
  script.Do([this](HWND box) {
    EXPECT_TRUE(IsWindowVisible(hwnd_)) << "told while the program waits hidden";
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  ASSERT_NO_FATAL_FAILURE(Reopen(true));
  EXPECT_FALSE(IsWindowVisible(hwnd_));
  EXPECT_TRUE(window_->CheckRuns(kTimerRelevantes));
  test::PumpMessages(200);
  EXPECT_FALSE(script.Finished());
  TrayMouse(WM_LBUTTONDOWN);
  test::PumpMessages(200);
  EXPECT_TRUE(script.Finished());
}

}  // namespace
}  // namespace ordalis
