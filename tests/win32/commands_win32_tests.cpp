// The task commands of the main window with the real editor and message
// boxes, driven as a user drives them; the data file is read back after
// each command.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/task_file_reads.h"
#include "dialog_script.h"
#include "editor/task_editor_dialog.h"
#include "fixtures.h"
#include "mainwindow/main_window.h"
#include "storage/task_order.h"
#include "storage/profile_file_win32.h"
#include "storage/scrambler.h"
#include "storage/task_file.h"
#include "support.h"

namespace ordalis {
namespace {

using test::Cp1252;
using test::DialogScript;
using test::Sections;
using test::StoredTask;
using test::WriteDataFile;

std::vector<StoredTask> Hundred(const char* date, const char* time) {
  std::vector<StoredTask> tasks;
  for (int i = 0; i < kMaxTasks; ++i) {
    tasks.push_back({KeyAt(i), {date, time, "Aufgabe " + std::to_string(i + 1)}});
  }
  return tasks;
}

class TaskCommandsTest : public test::MainWindowFixture {
 protected:
  std::string DataBytes() const { return test::ReadFileBytes(DataPath()); }

  // What the data file holds now, read as the program reads it.
  std::vector<TaskRow> StoredRows(Category category) const {
    Win32TaskFiles fresh(folder_.Path());
    return LoadCategory(fresh.Data(), category).rows;
  }
  // In date order: a change keeps every other task under its key.
  std::vector<Task> Stored(Category category) const {
    std::vector<TaskRow> rows = StoredRows(category);
    SortRows(rows, SortColumn::kDate);
    return test::TasksOf(rows);
  }
  std::string FlagOf(const std::string& description) const {
    Win32TaskFiles fresh(folder_.Path());
    for (const TaskRow& row : StoredRows(Category::Important)) {
      if (row.task.description == description) return StoredFlag(fresh.Data(), row.key);
    }
    return "(not stored)";
  }

  // The row of the task with this stored date, selected as a click selects it.
  void SelectRow(const std::wstring& date, const std::wstring& description) {
    const std::wstring shown = date.empty() ? date : test::UserDate(date);
    const int count = ListView_GetItemCount(List());
    for (int i = 0; i < count; ++i) {
      if (test::ListCell(List(), i, 0) == shown &&
          test::ListCell(List(), i, L"Beschreibung") == description) {
        SetFocus(List());
        ListView_SetItemState(List(), i, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
        return;
      }
    }
    ADD_FAILURE() << "no row " << testing::PrintToString(date) << " "
                  << testing::PrintToString(description);
  }
  void ClickButton(int id) { SendMessageW(Item(id), BM_CLICK, 0, 0); }
  // What the list tells its window on a double-click or a right-click.
  void ListNotifies(UINT code) {
    NMITEMACTIVATE notice{};
    notice.hdr = {List(), static_cast<UINT_PTR>(IDC_LDATEN), code};
    notice.iItem = ListView_GetNextItem(List(), -1, LVNI_SELECTED);
    SendMessageW(window_->Handle(), WM_NOTIFY, IDC_LDATEN, reinterpret_cast<LPARAM>(&notice));
  }
  // "Als erledigt ablegen" from the list's menu.
  void MoveToDone() { SendMessageW(window_->Handle(), WM_COMMAND, IDM_ERLEDIGT, 0); }
  bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
  // A key pressed in the list, its messages as the program's loop handles
  // them.
  void PressInList(UINT key, bool control = false) {
    SetFocus(List());
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = control ? 0x80 : 0;
    SetKeyboardState(keys);
    PostMessageW(List(), WM_KEYDOWN, key, 1);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (window_->Handle() && window_->PreTranslate(msg)) continue;
      if (window_->Handle() && IsDialogMessageW(window_->Handle(), &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
  }
};

const Task kBescherung{"12-24-2026", "18:00", "Bescherung"};
const Task kZahnarzt{"01-05-2027", "09:30", "Zahnarzt"};
const Task kSekt{"12-31-2026", "00:00", "Sekt kaufen"};
const Task kReifen{"12-01-2026", "10:00", "Reifen"};

const Sections kSample = {
    {"Important", {{"100", kBescherung}, {"101", kZahnarzt}}},
    {"Others", {{"100", kSekt}}},
    {"Done", {{"100", kReifen}}},
};

TEST_F(TaskCommandsTest, AddingFromAllSwitchesToImportantAndStoresThere) {
  WriteDataFile(DataPath(), kSample);
  ASSERT_NO_FATAL_FAILURE(Open());
  window_->SelectTab(Category::All);
  DialogScript script(kNewTaskCaption);
  script.Do([](HWND dialog) { EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, IDC_CSTUNDEN))); })
      .Type(L"Angebot an Müller")
      .Click(IDC_CREADY);
  ClickButton(IDC_BHINZUFUEGEN);
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(window_->SelectedCategory(), Category::Important);
  EXPECT_EQ(Stored(Category::Important),
            (std::vector<Task>{
                {"12-08-2026", "10:30", Cp1252(L"Angebot an Müller")}, kBescherung, kZahnarzt}));
  EXPECT_EQ(Stored(Category::Others), std::vector<Task>{kSekt});
  EXPECT_EQ(test::ListCell(List(), 0, L"Beschreibung"), L"Angebot an Müller");
}

TEST_F(TaskCommandsTest, AddingFromOthersStoresATaskWithoutTime) {
  WriteDataFile(DataPath(), kSample);
  ASSERT_NO_FATAL_FAILURE(Open());
  window_->SelectTab(Category::Others);
  DialogScript script(kNewTaskCaption);
  script.Do([](HWND dialog) { EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_CSTUNDEN))); })
      .Type(L"Blumen")
      .Click(IDC_CREADY);
  ClickButton(IDC_BHINZUFUEGEN);
  EXPECT_EQ(Stored(Category::Others),
            (std::vector<Task>{{"12-08-2026", "00:00", "Blumen"}, kSekt}));
  EXPECT_EQ(Stored(Category::Important), (std::vector<Task>{kBescherung, kZahnarzt}));
}

TEST_F(TaskCommandsTest, TheTrayMenuAddsToDoneWhereTheButtonIsOff) {
  WriteDataFile(DataPath(), kSample);
  ASSERT_NO_FATAL_FAILURE(Open());
  window_->SelectTab(Category::Done);
  EXPECT_FALSE(Enabled(IDC_BHINZUFUEGEN));
  DialogScript script(kNewTaskCaption);
  script.Type(L"Winterreifen").Click(IDC_CREADY);
  SendMessageW(window_->Handle(), WM_COMMAND, IDM_NEU, 0);
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(window_->SelectedCategory(), Category::Done);
  EXPECT_EQ(Stored(Category::Done),
            (std::vector<Task>{kReifen, {"12-08-2026", "10:30", "Winterreifen"}}));
}

TEST_F(TaskCommandsTest, CancellingTheEditorOnAddWritesNothing) {
  WriteDataFile(DataPath(), kSample);
  const std::string before = DataBytes();
  ASSERT_NO_FATAL_FAILURE(Open());
  DialogScript script(kNewTaskCaption);
  script.Type(L"doch nicht").Click(IDC_CABBRECHEN);
  ClickButton(IDC_BHINZUFUEGEN);
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(DataBytes(), before);
  EXPECT_FALSE(test::FileIsThere(folder_.File(L"Vemra.bak")));
  EXPECT_EQ(ListView_GetItemCount(List()), 2);
}

TEST_F(TaskCommandsTest, EditingChangesTheTaskAndArmsTheFlagUnderItsOwnKey) {
  // Key order and date order differ: the edited row is the second shown but
  // is stored under the first key.
  WriteDataFile(DataPath(),
                {{"Important", {{"100", kZahnarzt}, {"101", {"12-09-2026", "14:15", "Angebot"}}}}},
                {{"100", "R"}, {"101", "R"}});
  ASSERT_NO_FATAL_FAILURE(Open());
  SelectRow(L"01-05-2027", L"Zahnarzt");
  ASSERT_TRUE(Enabled(IDC_BBEARBEITEN));
  DialogScript script(kEditTaskCaption);
  script
      .Do([](HWND dialog) {
        wchar_t year[16] = {}, hour[8] = {}, minute[8] = {}, description[64] = {};
        GetDlgItemTextW(dialog, IDC_CJAHRE, year, 16);
        GetDlgItemTextW(dialog, IDC_CSTUNDEN, hour, 8);
        GetDlgItemTextW(dialog, IDC_CMINUTEN, minute, 8);
        GetDlgItemTextW(dialog, IDC_CBEZEICHNUNG, description, 64);
        EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_CMONATE, CB_GETCURSEL, 0, 0), 0);
        EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_CTAGE, CB_GETCURSEL, 0, 0), 4);
        EXPECT_EQ(std::wstring(year), L"2027");
        EXPECT_EQ(std::wstring(hour), L"09");
        EXPECT_EQ(std::wstring(minute), L"30");
        EXPECT_EQ(std::wstring(description), L"Zahnarzt");
      })
      .Type(L"Zahnarzt Kontrolle")
      .Focus(IDC_CSTUNDEN)
      .Type(L"11")
      .Click(IDC_CREADY);
  ClickButton(IDC_BBEARBEITEN);
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(Stored(Category::Important),
            (std::vector<Task>{{"12-09-2026", "14:15", "Angebot"},
                               {"01-05-2027", "11:30", "Zahnarzt Kontrolle"}}));
  EXPECT_EQ(FlagOf("Zahnarzt Kontrolle"), "A");
  EXPECT_EQ(FlagOf("Angebot"), "R");  // the other task's flag is its own

  // Cancelled, the task and its flag stay as they are.
  SelectRow(L"12-09-2026", L"Angebot");
  DialogScript cancel(kEditTaskCaption);
  cancel.Type(L"weg damit").Click(IDC_CABBRECHEN);
  ClickButton(IDC_BBEARBEITEN);
  EXPECT_TRUE(cancel.Finished());
  EXPECT_EQ(Stored(Category::Important).front(), (Task{"12-09-2026", "14:15", "Angebot"}));
  EXPECT_EQ(FlagOf("Angebot"), "R");
}

TEST_F(TaskCommandsTest, DeletingAsksFirstAndRemovesOnYesOnly) {
  WriteDataFile(DataPath(), kSample);
  const std::string before = DataBytes();
  ASSERT_NO_FATAL_FAILURE(Open());
  SelectRow(L"01-05-2027", L"Zahnarzt");
  {
    DialogScript script(kMainWindowCaption);
    script.Answer(kMainWindowCaption, IDNO);
    ClickButton(IDC_BLOESCHEN);
    ASSERT_EQ(script.Answers().size(), 1u);
    EXPECT_EQ(script.Answers()[0], L"Möchten Sie die Aufgabe „Zahnarzt“ löschen?");
  }
  EXPECT_EQ(DataBytes(), before);
  EXPECT_EQ(ListView_GetItemCount(List()), 2);

  SelectRow(L"01-05-2027", L"Zahnarzt");
  {
    DialogScript script(kMainWindowCaption);
    script.Answer(kMainWindowCaption, IDYES);
    ClickButton(IDC_BLOESCHEN);
    EXPECT_TRUE(script.Finished());
  }
  EXPECT_EQ(Stored(Category::Important), std::vector<Task>{kBescherung});
  EXPECT_EQ(Stored(Category::Done), std::vector<Task>{kReifen});
  EXPECT_EQ(GetFocus(), List());
}

TEST_F(TaskCommandsTest, DeletingTheLastOtherTaskKeepsThePassword) {
  WriteDataFile(DataPath(), kSample);
  ASSERT_NO_FATAL_FAILURE(Open());
  ASSERT_EQ(StorePassword(*files_, "geheim"), SaveResult::kSaved);
  window_->SelectTab(Category::Others);
  SelectRow(L"12-31-2026", L"Sekt kaufen");
  DialogScript script(kMainWindowCaption);
  script.Answer(kMainWindowCaption, IDYES);
  ClickButton(IDC_BLOESCHEN);
  EXPECT_TRUE(script.Finished());
  EXPECT_TRUE(Stored(Category::Others).empty());
  Win32ProfileFile data(DataPath());
  EXPECT_EQ(data.KeyNames("Others"), std::vector<std::string>{"200"});
  EXPECT_EQ(PasswordIn(data), *ScrambleText("geheim"));
  // Nothing left to edit or delete.
  EXPECT_FALSE(Enabled(IDC_BBEARBEITEN));
  EXPECT_FALSE(Enabled(IDC_BLOESCHEN));
}

TEST_F(TaskCommandsTest, ADoubleClickInAllEditsThatTaskInItsOwnCategory) {
  // Two important tasks with one description and time; the later one is
  // meant.
  WriteDataFile(DataPath(), {{"Important",
                              {{"100", {"12-24-2026", "18:00", "Kontrolle"}},
                               {"101", {"12-10-2026", "18:00", "Kontrolle"}}}},
                             {"Others", {{"100", kSekt}}}});
  ASSERT_NO_FATAL_FAILURE(Open());
  window_->SelectTab(Category::All);
  SelectRow(L"12-24-2026", L"Kontrolle");
  EXPECT_TRUE(Enabled(IDC_BBEARBEITEN));  // also from "Alles"
  EXPECT_TRUE(Enabled(IDC_BLOESCHEN));
  DialogScript script(kEditTaskCaption);
  script
      .Do([](HWND dialog) {
        EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_CTAGE, CB_GETCURSEL, 0, 0), 23);
        wchar_t hour[8] = {};
        GetDlgItemTextW(dialog, IDC_CSTUNDEN, hour, 8);
        EXPECT_EQ(std::wstring(hour), L"18");
      })
      .Type(L"Kontrolle Auto")
      .Click(IDC_CREADY);
  ListNotifies(NM_DBLCLK);
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(window_->SelectedCategory(), Category::Important);
  EXPECT_EQ(Stored(Category::Important),
            (std::vector<Task>{{"12-10-2026", "18:00", "Kontrolle"},
                               {"12-24-2026", "18:00", "Kontrolle Auto"}}));

  // A task without time opens in "Sonstiges", where the editor has no time.
  window_->SelectTab(Category::All);
  SelectRow(L"12-31-2026", L"Sekt kaufen");
  DialogScript other(kEditTaskCaption);
  other.Do([](HWND dialog) { EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_CSTUNDEN))); })
      .Type(L"Sekt und Blumen")
      .Click(IDC_CREADY);
  ListNotifies(NM_DBLCLK);
  EXPECT_EQ(window_->SelectedCategory(), Category::Others);
  EXPECT_EQ(Stored(Category::Others),
            (std::vector<Task>{{"12-31-2026", "00:00", "Sekt und Blumen"}}));
}

TEST_F(TaskCommandsTest, MovingToDoneFromImportantAsksAndMovesTheTask) {
  WriteDataFile(DataPath(), kSample);
  const std::string before = DataBytes();
  ASSERT_NO_FATAL_FAILURE(Open());
  SelectRow(L"01-05-2027", L"Zahnarzt");
  {
    DialogScript script(L" Als erledigt ablegen");
    script.Answer(L" Als erledigt ablegen", IDNO);
    MoveToDone();
    ASSERT_EQ(script.Answers().size(), 1u);
    EXPECT_EQ(script.Answers()[0], L"Möchten Sie die Aufgabe „Zahnarzt“ als erledigt ablegen?");
  }
  EXPECT_EQ(DataBytes(), before);
  EXPECT_EQ(window_->SelectedCategory(), Category::Important);

  SelectRow(L"01-05-2027", L"Zahnarzt");
  DialogScript script(L" Als erledigt ablegen");
  script.Answer(L" Als erledigt ablegen", IDYES);
  MoveToDone();
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(window_->SelectedCategory(), Category::Done);
  EXPECT_EQ(Stored(Category::Important), std::vector<Task>{kBescherung});
  EXPECT_EQ(Stored(Category::Done), (std::vector<Task>{kReifen, kZahnarzt}));
}

TEST_F(TaskCommandsTest, ARowWithoutDateOrDescriptionCanBeEditedMovedAndDeleted) {
  const Task noDate{"", "10:00", "Ohne Datum"}, noText{"12-31-2026", "00:00", ""};
  WriteDataFile(DataPath(), {{"Others", {{"100", noDate}, {"101", noText}}}});
  {
    // The task without a date is told of once, when the tab shows it.
    DialogScript told(kMainWindowCaption);
    told.Answer(kMainWindowCaption, IDOK);
    ASSERT_NO_FATAL_FAILURE(Open());
    window_->SelectTab(Category::Others);
    window_->SelectTab(Category::Others);
    ASSERT_EQ(told.Answers().size(), 1u);
    EXPECT_NE(told.Answers()[0].find(L"Ohne Datum"), std::wstring::npos);
  }
  for (const wchar_t* date : {L"", L"12-31-2026"}) {
    SelectRow(date, date[0] ? L"" : L"Ohne Datum");
    EXPECT_TRUE(Enabled(IDC_BBEARBEITEN)) << testing::PrintToString(date);
    EXPECT_TRUE(Enabled(IDC_BLOESCHEN)) << testing::PrintToString(date);
  }
  {  // the question names the row by what it has
    DialogScript script(L"Ordalis ");
    script.Answer(L"Ordalis ", IDYES);
    ClickButton(IDC_BLOESCHEN);
    ASSERT_EQ(script.Answers().size(), 1u);
    EXPECT_EQ(script.Answers()[0],
              L"Möchten Sie die Aufgabe „" + test::UserDate(L"12-31-2026") + L" 00:00“ löschen?");
  }
  EXPECT_EQ(Stored(Category::Others), std::vector<Task>{noDate});

  SelectRow(L"", L"Ohne Datum");
  DialogScript script(L" Als erledigt ablegen");
  script.Answer(L" Als erledigt ablegen", IDYES);
  MoveToDone();
  EXPECT_TRUE(script.Finished());
  EXPECT_TRUE(Stored(Category::Others).empty());
  EXPECT_EQ(Stored(Category::Done), std::vector<Task>{noDate});
}

TEST_F(TaskCommandsTest, MovingToDoneFromAllTakesTheTaskOutOfItsCategory) {
  WriteDataFile(DataPath(), kSample);
  ASSERT_NO_FATAL_FAILURE(Open());
  window_->SelectTab(Category::All);
  SelectRow(L"12-31-2026", L"Sekt kaufen");
  {
    DialogScript script(L" Als erledigt ablegen");
    script.Answer(L" Als erledigt ablegen", IDYES);
    MoveToDone();
    EXPECT_TRUE(script.Finished());
  }
  EXPECT_EQ(window_->SelectedCategory(), Category::Done);
  EXPECT_TRUE(Stored(Category::Others).empty());
  // The task arrives as it was stored, though "Alles" shows it without a time.
  EXPECT_EQ(Stored(Category::Done), (std::vector<Task>{kReifen, kSekt}));

  window_->SelectTab(Category::All);
  SelectRow(L"12-24-2026", L"Bescherung");
  {
    DialogScript script(L" Als erledigt ablegen");
    script.Answer(L" Als erledigt ablegen", IDYES);
    MoveToDone();
    EXPECT_TRUE(script.Finished());
  }
  EXPECT_EQ(Stored(Category::Important), std::vector<Task>{kZahnarzt});
  EXPECT_EQ(Stored(Category::Done), (std::vector<Task>{kReifen, kBescherung, kSekt}));
}

TEST_F(TaskCommandsTest, AFullCategoryRefusesMoreAndLosesNothing) {
  {
    SCOPED_TRACE("move to a full Done");
    WriteDataFile(DataPath(),
                  {{"Important", {{"100", kZahnarzt}}}, {"Done", Hundred("11-01-2026", "08:00")}});
    const std::string before = DataBytes();
    ASSERT_NO_FATAL_FAILURE(Open());
    SelectRow(L"01-05-2027", L"Zahnarzt");
    DialogScript script(L" Als erledigt ablegen");
    script.Answer(L" Als erledigt ablegen", IDYES).Answer(kMainWindowCaption, IDOK);
    MoveToDone();
    ASSERT_EQ(script.Answers().size(), 2u);
    EXPECT_NE(script.Answers()[1].find(L"100 Aufgaben"), std::wstring::npos);
    EXPECT_EQ(DataBytes(), before);
    EXPECT_EQ(window_->SelectedCategory(), Category::Important);
    EXPECT_EQ(ListView_GetItemCount(List()), 1);
    window_.reset();
  }
  {
    SCOPED_TRACE("add to a full Important");
    WriteDataFile(DataPath(), {{"Important", Hundred("11-01-2026", "08:00")}});
    const std::string before = DataBytes();
    ASSERT_NO_FATAL_FAILURE(Open());
    window_->SelectTab(Category::All);
    // The message comes instead of the editor.
    DialogScript script(kMainWindowCaption);
    script.Answer(kMainWindowCaption, IDOK);
    ClickButton(IDC_BHINZUFUEGEN);
    ASSERT_EQ(script.Answers().size(), 1u);
    EXPECT_NE(script.Answers()[0].find(L"Wichtiges"), std::wstring::npos);
    EXPECT_EQ(DataBytes(), before);
  }
}

TEST_F(TaskCommandsTest, EveryActionOnATaskByKeyAndFromTheListsMenu) {
  WriteDataFile(DataPath(), kSample);
  ASSERT_NO_FATAL_FAILURE(Open());
  // Nothing selected: Enter neither opens nor closes anything.
  PressInList(VK_RETURN);
  EXPECT_FALSE(window_->Ended());
  SelectRow(L"01-05-2027", L"Zahnarzt");
  {
    DialogScript script(kEditTaskCaption);
    script.Click(IDC_CABBRECHEN);
    PressInList(VK_RETURN);
    EXPECT_TRUE(script.Finished());
  }
  {
    DialogScript script(kMainWindowCaption);
    script.Answer(kMainWindowCaption, IDNO);
    PressInList(VK_DELETE);
    ASSERT_EQ(script.Answers().size(), 1u);
    EXPECT_NE(script.Answers()[0].find(L"Zahnarzt"), std::wstring::npos);
  }
  {
    DialogScript script(L" Als erledigt ablegen");
    script.Answer(L" Als erledigt ablegen", IDYES);
    PressInList('E', true);
    EXPECT_TRUE(script.Finished());
  }
  EXPECT_EQ(Stored(Category::Done), (std::vector<Task>{kReifen, kZahnarzt}));
  // The menu, from the menu key, offers what the view allows.
  const auto menuTexts = [this] {
    test::MenuWatcher watcher;
    SendMessageW(window_->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List()), -1);
    return watcher.Texts();
  };
  ASSERT_EQ(window_->SelectedCategory(), Category::Done);
  EXPECT_EQ(menuTexts(), (std::vector<std::wstring>{L"&Bearbeiten…\tEingabe", L"&Löschen\tEntf"}));
  PressInList('E', true);  // nothing to put away in "Erledigtes"
  EXPECT_EQ(Stored(Category::Done).size(), 2u);
  window_->SelectTab(Category::All);
  SelectRow(L"12-31-2026", L"Sekt kaufen");
  EXPECT_EQ(menuTexts(),
            (std::vector<std::wstring>{L"&Bearbeiten…\tEingabe", L"Als &erledigt ablegen\tStrg+E",
                                       L"&Löschen\tEntf"}));
  // In "Alles" the buttons act on the task in its own category.
  EXPECT_TRUE(Enabled(IDC_BBEARBEITEN) && Enabled(IDC_BLOESCHEN));
  DialogScript script(kMainWindowCaption);
  script.Answer(kMainWindowCaption, IDYES);
  ClickButton(IDC_BLOESCHEN);
  EXPECT_TRUE(script.Finished());
  EXPECT_TRUE(Stored(Category::Others).empty());
}

}  // namespace
}  // namespace ordalis
