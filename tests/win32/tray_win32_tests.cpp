// The icon in the notification area: presses on it, its menu, the one icon
// the shell holds, and an icon the shell refused at first.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "common/task_file_reads.h"
#include "dialog_script.h"
#include "dialogs/password_dialog.h"
#include "editor/task_editor_dialog.h"
#include "options/options_dialog.h"
#include "lifecycle_fixture.h"

namespace ordalis {
namespace {

using test::DialogScript;
using test::IconInTray;
using test::IsTopmost;
using test::LifecycleTest;
using test::MenuWatcher;
using test::MessageBoxAnswerer;
using test::Number;
using test::Text;

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

  // Closed on "Erledigtes", TabStrip "4" names no tab to come back to: the
  // tab stays as the close left it.
  window_->SelectTab(Category::Done);
  window_->bBeenden_Click();
  ASSERT_EQ(Get(L"TabStrip"), SettingValue(std::wstring(L"4")));
  TrayMouse(WM_LBUTTONDOWN);
  EXPECT_TRUE(IsWindowVisible(hwnd_));
  EXPECT_EQ(window_->SelectedCategory(), Category::All);
}

TEST_F(TrayTest, AfterAnAutomaticStartTheFirstRightClickAsksForThePassword) {
  {
    Win32TaskFiles files(folder_);
    ASSERT_EQ(StorePassword(files, "geheim"), SaveResult::kSaved);
  }
  ASSERT_NO_FATAL_FAILURE(Open(true));
  ASSERT_TRUE(window_->AuthenticationPending());
  MenuWatcher menus;
  {
    test::DialogScript script(kPasswordCaption);
    script.Type(L"geheim").Click(IDOK);
    TrayMouse(WM_RBUTTONDOWN);
    EXPECT_TRUE(script.Finished());
  }
  EXPECT_TRUE(menus.Seen().empty());
  EXPECT_FALSE(window_->AuthenticationPending());
  TrayMouse(WM_RBUTTONDOWN);
  EXPECT_EQ(menus.Seen().size(), 1u);
}

// The window shows the file as it is when it comes back: another program
// changed it while it was hidden.
TEST_F(TrayTest, TheWindowShownFromTheIconListsWhatWasAddedMeanwhile) {
  WriteTasks({{"Important", {{"100", {"12-31-2026", "10:00", "Sekt"}}}}});
  ASSERT_NO_FATAL_FAILURE(Open());
  window_->SelectTab(Category::Important);
  CloseIntoTray(1);
  ASSERT_FALSE(IsWindowVisible(hwnd_));
  WriteTasks(
      {{"Important",
        {{"100", {"12-31-2026", "10:00", "Sekt"}}, {"101", {"12-30-2026", "09:00", "Neu"}}}}});
  TrayMouse(WM_LBUTTONDOWN);
  test::PumpMessages(100);
  ASSERT_TRUE(IsWindowVisible(hwnd_));
  EXPECT_EQ(ListView_GetItemCount(List()), 2);
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

// A shell that refuses adds as long as it is told to, as at log-on before
// the task bar is there.
struct RefusingShell {
  static inline int adds = 0;
  static inline int refusals = 0;
  static BOOL WINAPI Notify(DWORD message, PNOTIFYICONDATAW) {
    if (message != NIM_ADD) return TRUE;
    ++adds;
    return refusals-- > 0 ? FALSE : TRUE;
  }
};

TEST(TrayIconShell, ARefusedAddIsTriedAgainAndEveryNewTaskBarGetsTheWantedIcon) {
  TrayIcon tray;
  tray.Setup(LoadIconW(nullptr, IDI_APPLICATION), nullptr);
  ASSERT_TRUE(tray.Host());
  tray.SetShell(RefusingShell::Notify);
  const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  const auto retry = [&] { SendMessageW(tray.Host(), WM_TIMER, TrayIcon::kRetryTimer, 0); };

  RefusingShell::refusals = 2;
  EXPECT_FALSE(tray.Add(L"Ordalis "));
  EXPECT_FALSE(tray.Shown());
  EXPECT_TRUE(tray.Wanted());
  retry();  // refused again
  EXPECT_FALSE(tray.Shown());
  retry();
  EXPECT_TRUE(tray.Shown());
  EXPECT_EQ(RefusingShell::adds, 3);
  retry();  // nothing left to try
  EXPECT_EQ(RefusingShell::adds, 3);

  // Refused at the first add, the icon comes with the task bar.
  tray.Remove();
  RefusingShell::refusals = 1;
  EXPECT_FALSE(tray.Add(L"Ordalis "));
  SendMessageW(tray.Host(), taskbarCreated, 0, 0);
  EXPECT_TRUE(tray.Shown());
  SendMessageW(tray.Host(), taskbarCreated, 0, 0);  // a second new task bar
  EXPECT_TRUE(tray.Shown());
  EXPECT_EQ(RefusingShell::adds, 6);

  // Removed, it is not wanted: a new task bar stays without it.
  tray.Remove();
  SendMessageW(tray.Host(), taskbarCreated, 0, 0);
  retry();
  EXPECT_FALSE(tray.Shown());
  EXPECT_EQ(RefusingShell::adds, 6);
}

// A shell that takes everything and notes what it was told.
struct NotingShell {
  static inline std::vector<DWORD> messages;
  static inline UINT version = 0;
  static BOOL WINAPI Notify(DWORD message, PNOTIFYICONDATAW record) {
    messages.push_back(message);
    if (message == NIM_SETVERSION) version = record->uVersion;
    return TRUE;
  }
};

// Version 4: the keyboard reaches the icon. Enter and the space bar press
// it as the left button; the context-menu key and Shift+F10 as the right
// one, but the menu key after a right press of the mouse is that press's.
TEST(TrayIconShell, Version4AndTheKeyboard) {
  struct Press {
    UINT message;
    bool keyboard;
    bool operator==(const Press&) const = default;
  };
  TrayIcon tray;
  std::vector<Press> presses;
  tray.Setup(LoadIconW(nullptr, IDI_APPLICATION), [&](UINT message) {
    presses.push_back({message, tray.FromKeyboard()});
  });
  tray.SetShell(NotingShell::Notify);
  NotingShell::messages.clear();
  ASSERT_TRUE(tray.Add(L"Ordalis "));
  EXPECT_EQ(NotingShell::messages, (std::vector<DWORD>{NIM_ADD, NIM_SETVERSION}));
  EXPECT_EQ(NotingShell::version, static_cast<UINT>(NOTIFYICON_VERSION_4));

  struct Case {
    std::vector<UINT> events;
    std::vector<Press> expected;
  };
  const Case cases[] = {
      {{NIN_KEYSELECT}, {{WM_LBUTTONDOWN, true}}},
      {{WM_CONTEXTMENU}, {{WM_RBUTTONDOWN, true}}},
      {{WM_RBUTTONDOWN, WM_RBUTTONUP, WM_CONTEXTMENU},
       {{WM_RBUTTONDOWN, false}, {WM_RBUTTONUP, false}}},
      {{WM_LBUTTONDOWN, WM_LBUTTONUP, NIN_SELECT},
       {{WM_LBUTTONDOWN, false}, {WM_LBUTTONUP, false}, {NIN_SELECT, false}}},
  };
  for (const Case& c : cases) {
    presses.clear();
    for (const UINT event : c.events) {
      SendMessageW(tray.Host(), TrayIcon::kCallbackMessage, MAKEWPARAM(40, 30),
                   MAKELPARAM(event, 1));
    }
    EXPECT_EQ(presses.size(), c.expected.size()) << c.events.front();
    for (size_t i = 0; i < std::min(presses.size(), c.expected.size()); ++i) {
      EXPECT_TRUE(presses[i] == c.expected[i]) << c.events.front() << " press " << i;
    }
  }
  EXPECT_FALSE(tray.FromKeyboard());  // only while the press is handled
}

// From the keyboard: Enter shows the window; the menu key opens the menu,
// and the keyboard goes back to the icon when it closes without a choice.
TEST_F(TrayTest, KeyboardOnTheIcon) {
  Set(L"Reminder", Text(L"1"));
  ASSERT_NO_FATAL_FAILURE(Open());
  window_->bBeenden_Click();
  ASSERT_FALSE(IsWindowVisible(hwnd_));
  window_->Tray().SetShell(NotingShell::Notify);
  NotingShell::messages.clear();
  {
    MenuWatcher menus;  // closes the menu as Esc would
    TrayMouse(WM_CONTEXTMENU);
    EXPECT_EQ(menus.Seen(), std::vector<HMENU>{window_->TrayMenu()});
  }
  EXPECT_EQ(NotingShell::messages, std::vector<DWORD>{NIM_SETFOCUS});
  EXPECT_FALSE(IsWindowVisible(hwnd_));
  TrayMouse(NIN_KEYSELECT);
  ExpectShownInFront();
}

TEST_F(TrayTest, ModeChangeFromTheMenu) {
  ASSERT_NO_FATAL_FAILURE(Open());
  // The window's option of the mode is the one marked, and the only one of
  // its group that Tab stops at; 0 for none, -1 for more than one.
  const auto markedOption = [&] {
    int marked = 0;
    for (int mode = 1; mode <= 3; ++mode) {
      HWND option = Item(IDC_OWECKER1 + mode - 1);
      const bool checked = SendMessageW(option, BM_GETCHECK, 0, 0) == BST_CHECKED;
      EXPECT_EQ((GetWindowLongW(option, GWL_STYLE) & WS_TABSTOP) != 0, checked) << mode;
      if (checked) marked = marked ? -1 : mode;
    }
    return marked;
  };
  EXPECT_EQ(markedOption(), 3);
  Command(IDM_ERINNERUNG1);
  EXPECT_EQ(window_->ReminderMode(), 1);
  EXPECT_EQ(markedOption(), 1);
  EXPECT_TRUE(Checked(IDM_ERINNERUNG1));
  EXPECT_TRUE(window_->CheckRuns(kTimerStunde));
  EXPECT_FALSE(window_->CheckRuns(kTimerRelevantes));
  Command(IDM_ERINNERUNG2);
  EXPECT_EQ(window_->ReminderMode(), 2);
  EXPECT_EQ(markedOption(), 2);
  EXPECT_TRUE(Checked(IDM_ERINNERUNG2));
  EXPECT_FALSE(Checked(IDM_ERINNERUNG1));
  EXPECT_FALSE(window_->CheckRuns(kTimerStunde));
  EXPECT_TRUE(window_->CheckRuns(kTimerRelevantes));

  // "Nie erinnern" asks; No goes back to the mode before, with its timer.
  {
    MessageBoxAnswerer answer(kMainWindowCaption, IDNO);
    Command(IDM_ERINNERUNG3);
    EXPECT_EQ(answer.Texts(),
              std::vector<std::wstring>{
                  L"Mit dieser Option beenden Sie Ordalis.\nMöchten Sie wirklich fortfahren?"});
  }
  EXPECT_EQ(window_->ReminderMode(), 2);
  EXPECT_EQ(markedOption(), 2);
  EXPECT_TRUE(Checked(IDM_ERINNERUNG2));
  EXPECT_FALSE(Checked(IDM_ERINNERUNG3));
  EXPECT_TRUE(window_->CheckRuns(kTimerRelevantes));
  EXPECT_FALSE(window_->Ended());

  // When it was "nie erinnern" already, No keeps it and asks only once.
  SendMessageW(Item(IDC_OWECKER3), BM_CLICK, 0, 0);
  ASSERT_EQ(window_->ReminderMode(), 3);
  EXPECT_EQ(markedOption(), 3);  // a click marks the option itself
  {
    MessageBoxAnswerer answer(kMainWindowCaption, IDNO);
    Command(IDM_ERINNERUNG3);
    EXPECT_EQ(answer.Texts().size(), 1u);
  }
  EXPECT_EQ(window_->ReminderMode(), 3);
  EXPECT_FALSE(window_->CheckRuns(kTimerStunde));
  EXPECT_FALSE(window_->CheckRuns(kTimerRelevantes));

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
  EXPECT_FALSE(window_->CheckRuns(kTimerStunde));
  EXPECT_FALSE(window_->Ended());
}

// The quick add: the key opens the editor while another program's window
// has the keyboard, the main window stays hidden, "OK" stores the task and
// the keyboard goes back; a key another program holds is said in the
// options and left out of the icon's menu.
TEST_F(TrayTest, QuickAddFromAnotherProgram) {
  const unsigned key = VK_F9 | ((1u | 2u | 4u) << 8);  // Strg+Alt+Umschalt+F9
  Set(L"Reminder", Text(L"1"));
  Set(L"QuickAdd", Number(key));
  ASSERT_NO_FATAL_FAILURE(Open());
  window_->bBeenden_Click();
  ASSERT_TRUE(window_->RegisterQuickAdd());
  wchar_t item[64] = {};
  GetMenuStringW(window_->TrayMenu(), IDM_NEU, item, 64, MF_BYCOMMAND);
  EXPECT_EQ(std::wstring(item), L"Aufgabe &hinzufügen…\tStrg+Alt+Umschalt+F9");

  HWND other = CreateWindowExW(0, L"STATIC", L"Anderes Programm", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               0, 0, 300, 100, nullptr, nullptr, nullptr, nullptr);
  SetForegroundWindow(other);
  ASSERT_EQ(GetForegroundWindow(), other);
  {
    DialogScript script(kNewTaskCaption);
    script
        .Do([&](HWND editor) {
          EXPECT_EQ(GetForegroundWindow(), editor);
          EXPECT_FALSE(IsWindowVisible(hwnd_));
        })
        .Type(L"Brötchen holen")
        .Click(IDC_CREADY);
    SendMessageW(hwnd_, WM_HOTKEY, kQuickAddHotKey, 0);
    EXPECT_TRUE(script.Finished());
  }
  EXPECT_EQ(GetForegroundWindow(), other);
  EXPECT_FALSE(IsWindowVisible(hwnd_));
  const std::vector<TaskRow> important = LoadCategory(files_->Data(), Category::Important).rows;
  EXPECT_TRUE(std::any_of(important.begin(), important.end(), [](const TaskRow& row) {
    return row.task.description == "Br\xF6tchen holen";
  }));

  // Another program takes the key: the options say so, the menu names none.
  UnregisterHotKey(hwnd_, kQuickAddHotKey);
  ASSERT_TRUE(RegisterHotKey(other, 7, MOD_ALT | MOD_CONTROL | MOD_SHIFT, VK_F9));
  EXPECT_FALSE(window_->RegisterQuickAdd());
  GetMenuStringW(window_->TrayMenu(), IDM_NEU, item, 64, MF_BYCOMMAND);
  EXPECT_EQ(std::wstring(item), L"Aufgabe &hinzufügen…");
  {
    DialogScript script(L" Einstellungen");
    script
        .Do([](HWND options) {
          EXPECT_TRUE(IsWindowVisible(GetDlgItem(options, IDC_OPT_LQUICKTAKEN)));
        })
        .Click(IDC_OPT_BABBRECHEN);
    Command(IDM_OPTIONEN);
    EXPECT_TRUE(script.Finished());
  }
  UnregisterHotKey(other, 7);
  DestroyWindow(other);
}

}  // namespace
}  // namespace ordalis
