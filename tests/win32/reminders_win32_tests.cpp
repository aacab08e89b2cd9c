// The reminders: the hourly and due timers, the sound, and the rule that a
// reminder never changes what the user is working on. While a dialog or a
// message box is open, ticks and presses on the icon wait; a reminder that
// came due is raised right after it closes.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/task_file_reads.h"
#include "dialog_script.h"
#include "dialogs/notice_dialog.h"
#include "editor/task_editor_dialog.h"
#include "lifecycle_fixture.h"
#include "mainwindow/monitors.h"
#include "win32/dpi.h"

namespace ordalis {
namespace {

using test::DialogScript;
using test::LifecycleTest;
using test::Number;
using test::Played;
using test::Text;

class ReminderTest : public LifecycleTest {
 protected:
  void SetUp() override { Quiet(); }
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
  EXPECT_FALSE(window_->CheckRuns(kTimerStunde));  // until the next close
  window_->TStunde_Timer();
  EXPECT_EQ(sound_.played.size(), 1u);

  // Closed again within the same hour: the next reminder comes with the next
  // hour, also when the timer's drift puts its first tick into minute 1.
  CloseIntoTray(1);
  EXPECT_TRUE(window_->CheckRuns(kTimerStunde));
  At(11, 1);
  window_->TStunde_Timer();
  EXPECT_EQ(sound_.played.size(), 1u);
  At(12, 1);
  window_->TStunde_Timer();
  EXPECT_EQ(sound_.played.size(), 2u);
}

TEST_F(ReminderTest, DueCheckRemindsEachImportantTaskOnceUnderItsOwnKey) {
  // The old task sorts first, so rows and keys do not line up: row 2 is
  // key "100", not "101".
  test::WriteDataFile(folder_ + L"\\Vemra.dat",
                      {{"Important",
                        {{"100", {"12-08-2026", "09:00", "Zahnarzt"}},
                         {"101", {"12-08-2026", "10:00", "Bank"}},
                         {"102", {"11-30-2026", "08:00", "Vor acht Tagen"}},
                         {"103", {"12-08-2026", "11:00", "Mittag"}}}},
                       {"Others", {{"100", {"12-31-2026", "00:00", "Sekt"}}}}},
                      {{"101", "A"}});
  ASSERT_NO_FATAL_FAILURE(Open());
  CloseIntoTray(2);
  ASSERT_TRUE(window_->CheckRuns(kTimerRelevantes));

  At(8, 59);  // nothing due yet: the tab before the check comes back
  window_->TRelevantes_Timer();
  EXPECT_TRUE(sound_.played.empty());
  EXPECT_EQ(window_->SelectedCategory(), Category::All);
  EXPECT_FALSE(IsWindowVisible(hwnd_));

  At(10, 30);  // two are due: one reminder for both, the first selected
  SendMessageW(hwnd_, WM_TIMER, kTimerRelevantes, 0);
  EXPECT_EQ(sound_.played, (std::vector<Played>{{L"KONTAKT", false, false, false}}));
  ExpectShownInFront();
  EXPECT_EQ(window_->SelectedCategory(), Category::Important);
  EXPECT_EQ(test::ListCell(List(), SelectedRow(), L"Beschreibung"), L"Zahnarzt");
  // The check goes on with the window open; the flags keep it quiet.
  EXPECT_TRUE(window_->CheckRuns(kTimerRelevantes));
  EXPECT_EQ(StoredFlag(files_->Data(), "100"), "R");
  EXPECT_EQ(StoredFlag(files_->Data(), "101"), "R");
  EXPECT_EQ(StoredFlag(files_->Data(), "102"), "");

  // Reminded tasks, those older than seven days and later ones are not due.
  CloseIntoTray(2);
  window_->TRelevantes_Timer();
  EXPECT_EQ(sound_.played.size(), 1u);
  EXPECT_FALSE(IsWindowVisible(hwnd_));
  EXPECT_EQ(window_->SelectedCategory(), Category::All);
  EXPECT_EQ(StoredFlag(files_->Data(), "102"), "");
  EXPECT_EQ(StoredFlag(files_->Data(), "103"), "");
}

// The font the list draws a cell in, as its custom draw chooses it.
LOGFONTW DrawnFont(HWND window, HWND list, size_t row, int column) {
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
  NMLVCUSTOMDRAW draw{};
  draw.nmcd.hdr = {list, static_cast<UINT_PTR>(GetDlgCtrlID(list)),
                   static_cast<UINT>(NM_CUSTOMDRAW)};
  draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
  draw.nmcd.hdc = dc;
  draw.nmcd.dwItemSpec = row;
  draw.iSubItem = column;
  SendMessageW(window, WM_NOTIFY, draw.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&draw));
  LOGFONTW font{};
  GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof font, &font);
  DeleteDC(dc);
  return font;
}

// The reminded task's description is drawn in the bold form of the list's
// font, also after the window moved to a screen of another scale.
TEST_F(ReminderTest, TheRemindedTaskIsBoldAfterAScaleChange) {
  WriteTasks({{"Important", {{"100", {"12-08-2026", "09:00", "Zahnarzt"}}}}});
  ASSERT_NO_FATAL_FAILURE(Open());
  CloseIntoTray(2);
  At(10, 30);
  SendMessageW(hwnd_, WM_TIMER, kTimerRelevantes, 0);
  ASSERT_EQ(sound_.played.size(), 1u);
  const UINT dpi = 2 * win32::WindowDpi(hwnd_);
  RECT rect{};
  GetWindowRect(hwnd_, &rect);
  SendMessageW(hwnd_, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&rect));
  const LOGFONTW date = DrawnFont(hwnd_, List(), 0, 0),
                 description = DrawnFont(hwnd_, List(), 0, 2);
  EXPECT_EQ(date.lfWeight, FW_NORMAL);
  EXPECT_EQ(description.lfWeight, FW_BOLD);
  EXPECT_EQ(description.lfHeight, date.lfHeight);
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
    Settings values(settings_);
    values.Read();
    PlayNotificationSound(values, sound_, L"KONTAKT", c.play);
    EXPECT_EQ(sound_.played, std::vector<Played>{c.expected})
        << testing::PrintToString(c.soundFile);
  }
}

// ---------------------------------------------------------------------------
// A reminder never changes what a command acts on

class WaitingReminderTest : public ReminderTest {
 protected:
  // Mode 2 with the window back from the tray: the due check keeps ticking.
  void OpenResident() {
    ASSERT_NO_FATAL_FAILURE(Open());
    CloseIntoTray(2);
    TrayMouse(WM_LBUTTONDOWN);
    ASSERT_TRUE(IsWindowVisible(hwnd_));
    ASSERT_TRUE(window_->CheckRuns(kTimerRelevantes));
  }
  void SelectRow(const std::wstring& description) {
    for (int i = 0; i < ListView_GetItemCount(List()); ++i) {
      if (test::ListCell(List(), i, L"Beschreibung") == description) {
        SetFocus(List());
        ListView_SetItemState(List(), i, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
        return;
      }
    }
    ADD_FAILURE() << "no row " << testing::PrintToString(description);
  }
  std::vector<std::string> Stored(Category category) {
    std::vector<std::string> descriptions;
    for (const TaskRow& row : LoadCategory(files_->Data(), category).rows) {
      descriptions.push_back(row.task.description);
    }
    return descriptions;
  }
  void Tick() { SendMessageW(hwnd_, WM_TIMER, kTimerRelevantes, 0); }
};

TEST_F(WaitingReminderTest, ATickKeepsTheOrderAndTheSelectionUnderTheQuestion) {
  WriteTasks(
      {{"Important", {{"100", {"12-24-2026", "18:00", "Bescherung"}}}},
       {"Others",
        {{"100", {"01-05-2027", "00:00", "Zucker"}}, {"101", {"02-01-2027", "00:00", "Apfel"}}}}});
  ASSERT_NO_FATAL_FAILURE(OpenResident());
  window_->SelectTab(Category::Others);
  window_->List().SortBy(SortColumn::kDescription);
  SelectRow(L"Apfel");

  Tick();  // nothing is due: nothing on screen changes
  EXPECT_EQ(window_->SelectedCategory(), Category::Others);
  EXPECT_EQ(test::ListCell(List(), SelectedRow(), L"Beschreibung"), L"Apfel");
  EXPECT_TRUE(IsWindowEnabled(Item(IDC_BLOESCHEN)));

  DialogScript script(L"Ordalis ");
  script.Do([this](HWND) { Tick(); }).Click(IDYES);
  SendMessageW(Item(IDC_BLOESCHEN), BM_CLICK, 0, 0);
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(Stored(Category::Others), std::vector<std::string>{"Zucker"});
}

TEST_F(WaitingReminderTest, ATaskDueUnderADialogIsRemindedWhenItCloses) {
  // "Zahnarzt heute" is due at 10:00; the clock says 10:30.
  const test::Sections tasks = {{"Important", {{"100", {"12-08-2026", "10:00", "Zahnarzt heute"}}}},
                                {"Others", {{"100", {"12-31-2026", "00:00", "Milch kaufen"}}}}};
  struct Case {
    const char* what;
    int button;
    std::wstring caption;
    std::function<void(DialogScript&)> answer;
    std::vector<std::string> others;
  };
  const Case cases[] = {
      {"delete", IDC_BLOESCHEN, L"Ordalis ", [](DialogScript& s) { s.Click(IDYES); }, {}},
      {"edit",
       IDC_BBEARBEITEN,
       kEditTaskCaption,
       [](DialogScript& s) { s.Focus(IDC_CBEZEICHNUNG).Type(L"Milch und Brot").Click(IDC_CREADY); },
       {"Milch und Brot"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteTasks(tasks);
    // In "bei relevanten Meldungen" the start itself would remind the task.
    Set(L"Reminder", Text(L"3"));
    ASSERT_NO_FATAL_FAILURE(Reopen());
    CloseIntoTray(2);
    TrayMouse(WM_LBUTTONDOWN);
    window_->SelectTab(Category::Others);
    SelectRow(L"Milch kaufen");
    {
      DialogScript script(c.caption);
      script.Do([this](HWND) {
        Tick();
        EXPECT_TRUE(sound_.played.empty()) << "reminded under the dialog";
        EXPECT_EQ(StoredFlag(files_->Data(), "100"), "");
      });
      c.answer(script);
      SendMessageW(Item(c.button), BM_CLICK, 0, 0);
      EXPECT_TRUE(script.Finished());
    }
    EXPECT_EQ(Stored(Category::Others), c.others);
    EXPECT_EQ(Stored(Category::Important), std::vector<std::string>{"Zahnarzt heute"});

    test::PumpMessages(100);  // the reminder follows the dialog
    EXPECT_EQ(sound_.played.size(), 1u);
    EXPECT_EQ(window_->SelectedCategory(), Category::Important);
    EXPECT_EQ(test::ListCell(List(), SelectedRow(), L"Beschreibung"), L"Zahnarzt heute");
    EXPECT_EQ(StoredFlag(files_->Data(), "100"), "R");
  }
}

TEST_F(WaitingReminderTest, APressOnTheIconBringsTheQuestionToTheFrontAndChangesNothing) {
  WriteTasks({{"Important", {{"100", {"12-09-2026", "09:00", "Arzt morgen"}}}},
              {"Others", {{"100", {"12-31-2026", "00:00", "Brot holen"}}}}});
  Set(L"Register", Number(1));
  Set(L"TabStrip", Text(L"2"));
  ASSERT_NO_FATAL_FAILURE(Open());
  window_->SelectTab(Category::Others);
  SelectRow(L"Brot holen");
  std::vector<HMENU> menus;
  {
    test::MenuWatcher watcher;
    DialogScript script(L"Ordalis ");
    script
        .Do([this](HWND question) {
          TrayMouse(WM_LBUTTONDOWN);
          TrayMouse(WM_RBUTTONDOWN);
          EXPECT_EQ(window_->SelectedCategory(), Category::Others);
          EXPECT_EQ(GetForegroundWindow(), question);
        })
        .Click(IDYES);
    SendMessageW(Item(IDC_BLOESCHEN), BM_CLICK, 0, 0);
    EXPECT_TRUE(script.Finished());
    menus = watcher.Seen();
  }
  EXPECT_TRUE(menus.empty()) << "a menu opened over the question";
  EXPECT_TRUE(Stored(Category::Others).empty());
  EXPECT_EQ(Stored(Category::Important), std::vector<std::string>{"Arzt morgen"});
}

TEST_F(WaitingReminderTest, AReminderDuringTheClosingNoticeFollowsTheClose) {
  WriteTasks({{"Important", {{"100", {"12-08-2026", "10:29", "Anruf"}}}}});
  settings_.DeleteValue(SettingsRoot::kCurrentUser, kSettingsKey, L"HelpDirekt");
  ASSERT_NO_FATAL_FAILURE(Open());
  window_->mErinnerung_Click(2);
  DialogScript script(kNoticeCaption);
  script
      .Do([this](HWND) {
        Tick();
        EXPECT_EQ(StoredFlag(files_->Data(), "100"), "");
      })
      .Click(IDOK);
  window_->bBeenden_Click();
  EXPECT_TRUE(script.Finished());
  test::PumpMessages(100);
  ExpectShownInFront();
  EXPECT_EQ(test::ListCell(List(), SelectedRow(), L"Beschreibung"), L"Anruf");
  EXPECT_EQ(StoredFlag(files_->Data(), "100"), "R");
}

// ---------------------------------------------------------------------------
// An automatic start reminds

TEST_F(ReminderTest, AnAutomaticStartIntoTheTrayArmsTheModesTimer) {
  WriteTasks({{"Important", {{"100", {"12-08-2026", "11:00", "Zahnarzt"}}}}});
  struct Case {
    int mode;
    bool stunde, relevantes;
    Category tab;
  };
  for (const Case& c : {Case{1, true, false, Category::All}, Case{2, false, true, Category::All},
                        Case{3, false, false, Category::Important}}) {
    SCOPED_TRACE(c.mode);
    Set(L"Reminder", Text(std::to_wstring(c.mode)));
    ASSERT_NO_FATAL_FAILURE(Reopen(true));
    EXPECT_FALSE(IsWindowVisible(hwnd_));
    EXPECT_EQ(window_->CheckRuns(kTimerStunde), c.stunde);
    EXPECT_EQ(window_->CheckRuns(kTimerRelevantes), c.relevantes);
    EXPECT_EQ(window_->SelectedCategory(), c.tab);
  }
  // Mode 2: the task due at 11:00 is reminded at the first tick after it.
  Set(L"Reminder", Text(L"2"));
  ASSERT_NO_FATAL_FAILURE(Reopen(true));
  At(11, 0);
  SendMessageW(hwnd_, WM_TIMER, kTimerRelevantes, 0);
  ExpectShownInFront();
  EXPECT_EQ(StoredFlag(files_->Data(), "100"), "R");
}

// ---------------------------------------------------------------------------
// Start-up keeps a due task in view

TEST_F(ReminderTest, TheStartUpAlertKeepsItsTaskSelectedOverTheLastTab) {
  Set(L"Register", Number(1));
  Set(L"TabStrip", Text(L"3"));
  struct Case {
    test::Sections tasks;
    Category tab;
  };
  const Case cases[] = {
      {{{"Important", {{"100", {"12-08-2026", "10:30", "Jetzt"}}}},
        {"Others", {{"100", {"12-31-2026", "00:00", "Sekt"}}}}},
       Category::Important},
      {{{"Others",
         {{"100", {"12-31-2026", "00:00", "Sekt"}}, {"101", {"12-08-2026", "", "Jetzt"}}}}},
       Category::Others},
  };
  for (const Case& c : cases) {
    WriteTasks(c.tasks);
    ASSERT_NO_FATAL_FAILURE(Reopen());
    EXPECT_EQ(window_->SelectedCategory(), c.tab);
    EXPECT_EQ(test::ListCell(List(), SelectedRow(), L"Beschreibung"), L"Jetzt");
  }
}

// Presses a key in the next popup menu of this thread, from inside the
// menu's modal loop, as the user would.
class MenuKey {
 public:
  explicit MenuKey(WPARAM key) {
    key_ = key;
    timer_ = SetTimer(nullptr, 0, 50, Tick);
  }
  ~MenuKey() { KillTimer(nullptr, timer_); }
  MenuKey(const MenuKey&) = delete;
  MenuKey& operator=(const MenuKey&) = delete;

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    HWND menu = FindWindowW(L"#32768", nullptr);
    if (!menu || !IsWindowVisible(menu) || !key_) return;
    PostMessageW(menu, WM_KEYDOWN, key_, 1);
    key_ = 0;
  }
  static inline WPARAM key_ = 0;
  UINT_PTR timer_ = 0;
};

// The reminder bar: "Später erinnern" from the keyboard stores a snooze and
// leaves the task as it was; the snooze's own timer brings the reminder
// back; "Erledigt" finishes the task the bar named, not the one selected.
class SnoozeTest : public ReminderTest {
 protected:
  // An access key of the main window, through the dialog manager.
  void AltKey(wchar_t key) {
    PostMessageW(List(), WM_SYSCHAR, key, 1 << 29);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (window_->PreTranslate(msg) || IsDialogMessageW(hwnd_, &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  std::vector<std::string> Descriptions(Category category) {
    std::vector<std::string> texts;
    for (const TaskRow& row : LoadCategory(files_->Data(), category).rows) {
      texts.push_back(row.task.description);
    }
    return texts;
  }
};

TEST_F(SnoozeTest, LaterFromTheKeyboardComesAgainAndDoneTakesTheTaskTheBarNamed) {
  WriteTasks(
      {{"Important",
        {{"100", {"12-08-2026", "09:00", "Zahnarzt"}}, {"101", {"12-08-2026", "10:00", "Bank"}}}}});
  ASSERT_NO_FATAL_FAILURE(Open());
  CloseIntoTray(2);
  At(9, 0);
  SendMessageW(hwnd_, WM_TIMER, kTimerRelevantes, 0);
  ASSERT_EQ(sound_.played.size(), 1u);
  ASSERT_TRUE(window_->BarShown());
  EXPECT_NE(GetWindowTextLengthW(Item(IDC_BAR_TEXT)), 0);
  // Made when it first shows, the bar stands between the tabs and the list
  // in the order the Tab key follows.
  EXPECT_EQ(GetWindow(Item(IDC_TABSTRIP), GW_HWNDNEXT), Item(IDC_BAR_TEXT));
  EXPECT_EQ(GetWindow(Item(IDC_BAR_CLOSE), GW_HWNDNEXT), List());
  EXPECT_EQ(window_->Tray().Tip(), L"Ordalis – heute 2 Aufgaben, nächste 09:00 Zahnarzt");

  // Alt+P and "5": the task's line stays, the snooze is stored.
  const std::string before = FileText(files_->Data());
  {
    MenuKey five('5');
    AltKey(L'p');
  }
  EXPECT_FALSE(window_->BarShown());
  const std::string after = FileText(files_->Data());
  const Snoozes snoozes = SnoozesOf(after);
  ASSERT_EQ(snoozes.size(), 1u);
  EXPECT_EQ(snoozes.count("100"), 1u);
  EXPECT_EQ(LoadCategory(files_->Data(), Category::Important).rows,
            LoadCategoryText(before, Category::Important).rows);

  // The snooze's timer: not a minute early, then the reminder once more.
  At(9, 4);
  SendMessageW(hwnd_, WM_TIMER, kTimerSnooze, 0);
  EXPECT_EQ(sound_.played.size(), 1u);
  At(9, 5);
  SendMessageW(hwnd_, WM_TIMER, kTimerSnooze, 0);
  EXPECT_EQ(sound_.played.size(), 2u);
  EXPECT_TRUE(SnoozesOf(FileText(files_->Data())).empty());
  ASSERT_TRUE(window_->BarShown());

  // The user selects the other task; "Erledigt" takes the one reminded.
  ListView_SetItemState(List(), -1, 0, LVIS_SELECTED);
  for (int row = 0; row < ListView_GetItemCount(List()); ++row) {
    if (test::ListCell(List(), row, L"Beschreibung") == L"Bank") {
      ListView_SetItemState(List(), row, LVIS_SELECTED | LVIS_FOCUSED,
                            LVIS_SELECTED | LVIS_FOCUSED);
    }
  }
  AltKey(L'd');
  EXPECT_FALSE(window_->BarShown());
  EXPECT_EQ(Descriptions(Category::Important), std::vector<std::string>{"Bank"});
  EXPECT_EQ(Descriptions(Category::Done), std::vector<std::string>{"Zahnarzt"});
}

}  // namespace
}  // namespace ordalis
