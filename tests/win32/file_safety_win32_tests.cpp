// The main window and the data file under other programs: a file that is
// away or held for a moment, lines another program adds, the backups, and
// the restore.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "common/task_file_reads.h"
#include "dialog_script.h"
#include "editor/task_editor_dialog.h"
#include "fixtures.h"
#include "mainwindow/main_window.h"
#include "mainwindow/restore_dialog.h"
#include "storage/task_order.h"
#include "options/options_dialog.h"
#include "storage/profile_file_win32.h"
#include "storage/backup_history.h"
#include "support.h"
#include "win32/handles.h"
#include "win32/text.h"

namespace ordalis {
namespace {

using test::DialogScript;
using test::MessageBoxAnswerer;
using test::Sections;
using test::WriteDataFile;

const Task kArzt{"12-09-2026", "09:30", "Arzt"};
const Task kBahn{"12-10-2026", "07:00", "Bahn"};
const Task kBrief{"12-11-2026", "11:00", "Brief"};
const Task kNeu{"12-08-2026", "10:30", "Neu"};
const Sections kThree = {{"Important", {{"100", kArzt}, {"101", kBahn}, {"102", kBrief}}}};

class FileSafetyTest : public test::MainWindowFixture {
 protected:
  // The important tasks the file holds, in date order.
  std::vector<Task> Stored() const {
    Win32TaskFiles fresh(folder_.Path());
    std::vector<TaskRow> rows = LoadCategory(fresh.Data(), Category::Important).rows;
    SortRows(rows, SortColumn::kDate);
    return test::TasksOf(rows);
  }
  int ListRows() const { return ListView_GetItemCount(List()); }
  // The window on screen over a file of three important tasks.
  void OpenOnThree() {
    WriteDataFile(DataPath(), kThree);
    ASSERT_NO_FATAL_FAILURE(Open());
    ShowWindow(window_->Handle(), SW_SHOW);
  }
  // Adds "Neu" through the editor, as a user does.
  void AddNeu() {
    DialogScript script(kNewTaskCaption);
    script.Type(L"Neu").Click(IDC_CREADY);
    SendMessageW(Item(IDC_BHINZUFUEGEN), BM_CLICK, 0, 0);
    EXPECT_TRUE(script.Finished());
  }
};

TEST_F(FileSafetyTest, AFileAwayWhileATabLoadsIsNeverTakenForAnEmptyOne) {
  ASSERT_NO_FATAL_FAILURE(OpenOnThree());
  const std::wstring away = folder_.File(L"Vemra.weg");
  ASSERT_TRUE(MoveFileW(DataPath().c_str(), away.c_str()));
  {
    MessageBoxAnswerer answer(kMainWindowCaption, IDOK);
    window_->SelectTab(Category::Others);
    window_->SelectTab(Category::Important);
    ASSERT_EQ(answer.Texts().size(), 1u);
    EXPECT_NE(answer.Texts()[0].find(L"nicht gelesen werden"), std::wstring::npos);
  }
  EXPECT_EQ(ListRows(), 0);
  EXPECT_FALSE(IsWindowEnabled(Item(IDC_BHINZUFUEGEN)));
  // The file comes back; a task added now joins the three.
  ASSERT_TRUE(MoveFileW(away.c_str(), DataPath().c_str()));
  test::PumpMessages(2500);
  EXPECT_EQ(ListRows(), 3);
  AddNeu();
  EXPECT_EQ(Stored(), (std::vector<Task>{kNeu, kArzt, kBahn, kBrief}));
}

TEST_F(FileSafetyTest, AnotherProgramsLinesShowAndStayThroughOurChanges) {
  ASSERT_NO_FATAL_FAILURE(OpenOnThree());
  window_->SelectTab(Category::Important);
  test::PumpMessages(200);  // the watch on the folder has started
  // Another program adds a task and removes one while Ordalis shows them.
  const Task synced{"12-24-2026", "18:00", "vom anderen PC"};
  WriteDataFile(DataPath(), {{"Important", {{"100", kArzt}, {"102", kBrief}, {"105", synced}}}});
  const DWORD start = GetTickCount();
  while (test::ListCell(List(), 2, L"Beschreibung") != L"vom anderen PC" &&
         GetTickCount() - start < 2000) {
    test::PumpMessages(50);
  }
  EXPECT_EQ(test::ListCell(List(), 2, L"Beschreibung"), L"vom anderen PC");
  AddNeu();
  EXPECT_EQ(Stored(), (std::vector<Task>{kNeu, kArzt, kBrief, synced}));
}

TEST_F(FileSafetyTest, AChangeBeforeTheWatchStartsShowsToo) {
  // The watch on the folder starts after the first paint; what another
  // program wrote between the start's read and then is not lost.
  ASSERT_NO_FATAL_FAILURE(OpenOnThree());
  WriteDataFile(DataPath(), {{"Important", {{"100", kArzt}}}});
  test::PumpMessages(200);
  EXPECT_EQ(ListRows(), 1);
}

TEST_F(FileSafetyTest, CancelWritesNothingAndAHeldFileOnlyDelaysTheSave) {
  ASSERT_NO_FATAL_FAILURE(OpenOnThree());
  window_->SelectTab(Category::Important);
  AddNeu();  // a first change, so that there is a backup to keep
  const std::string data = test::ReadFileBytes(DataPath());
  const std::string backup = test::ReadFileBytes(folder_.File(L"Vemra.bak"));
  ListView_SetItemState(List(), 1, LVIS_SELECTED, LVIS_SELECTED);
  {
    DialogScript script(kEditTaskCaption);
    script.Type(L"anders").Click(IDC_CABBRECHEN);
    SendMessageW(Item(IDC_BBEARBEITEN), BM_CLICK, 0, 0);
    EXPECT_TRUE(script.Finished());
  }
  EXPECT_EQ(test::ReadFileBytes(DataPath()), data);
  EXPECT_EQ(test::ReadFileBytes(folder_.File(L"Vemra.bak")), backup);

  // A virus scanner holds the file without sharing for 300 ms.
  HANDLE held =
      CreateFileW(DataPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  std::thread release([held] {
    Sleep(300);
    CloseHandle(held);
  });
  MessageBoxAnswerer failure(L" Datenbankfehler", IDOK);
  {
    DialogScript script(kEditTaskCaption);
    script.Type(L"Bahn, später").Click(IDC_CREADY);
    SendMessageW(Item(IDC_BBEARBEITEN), BM_CLICK, 0, 0);
  }
  release.join();
  EXPECT_TRUE(failure.Texts().empty());
  EXPECT_EQ(Stored()[1].description, "Bahn, sp\xE4ter");
  // The selection stays on the task the user changed.
  EXPECT_EQ(
      test::ListCell(List(), ListView_GetNextItem(List(), -1, LVNI_SELECTED), L"Beschreibung"),
      L"Bahn, später");
}

// An empty data file, or none at all, with a backup that holds tasks leads
// to the restore question.
TEST_F(FileSafetyTest, AnEmptyOrMissingFileWithABackupLeadsToTheRestoreQuestion) {
  struct Case {
    bool missing;
    std::wstring said;
    size_t backupsAfter;  // the empty file goes to the history first
  };
  // Missing first: its restore leaves the history as it found it. The
  // backup's day is named as the user reads dates.
  for (const Case& c :
       {Case{true, L"fehlt", 1},
        Case{false, test::UserDate(L"12-07-2026") + L" 18:30:00 enthält 3 Aufgaben", 2}}) {
    SCOPED_TRACE(c.missing ? "missing" : "empty");
    window_.reset();
    WriteDataFile(DataPath(), kThree);
    const std::wstring history = folder_.File(L"Sicherungen");
    CreateDirectoryW(history.c_str(), nullptr);
    ASSERT_TRUE(
        CopyFileW(DataPath().c_str(), (history + L"\\Vemra-20261207-183000.dat").c_str(), FALSE));
    ASSERT_TRUE(c.missing ? DeleteFileW(DataPath().c_str()) != FALSE
                          : test::WriteFileBytes(DataPath(), ""));
    MessageBoxAnswerer yes(kMainWindowCaption, IDYES);
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_EQ(yes.Texts().size(), 1u);
    EXPECT_NE(yes.Texts()[0].find(c.said), std::wstring::npos);
    window_->SelectTab(Category::Important);
    EXPECT_EQ(ListRows(), 3);
    // The restore can be undone.
    const std::vector<std::string> names = files_->BackupNames();
    ASSERT_EQ(names.size(), c.backupsAfter);
    if (!c.missing) {
      EXPECT_EQ(files_->ReadBackup(names.front()), "");
    }
  }
}

TEST_F(FileSafetyTest, FilesAnEditorSavedWithAByteOrderMarkAreWrittenBackInOurForm) {
  for (const std::string bom : {"\xEF\xBB\xBF", "\xFF\xFE"}) {
    SCOPED_TRACE(bom.size());
    WriteDataFile(DataPath(), kThree);
    // What an editor makes of the file when it saves it as Unicode.
    const std::wstring wide = win32::FromAnsi(test::ReadFileBytes(DataPath()));
    std::string text;
    if (bom.size() == 2) {
      text.assign(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
    } else {
      text.resize(wide.size() * 3);
      text.resize(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                      text.data(), static_cast<int>(text.size()), nullptr,
                                      nullptr));
    }
    ASSERT_TRUE(test::WriteFileBytes(DataPath(), bom + text));
    ASSERT_NO_FATAL_FAILURE(Open());
    window_->SelectTab(Category::Important);
    EXPECT_EQ(ListRows(), 3);
    MessageBoxAnswerer failure(L" Datenbankfehler", IDOK);
    AddNeu();
    EXPECT_TRUE(failure.Texts().empty());
    EXPECT_EQ(Stored(), (std::vector<Task>{kNeu, kArzt, kBahn, kBrief}));
    EXPECT_FALSE(test::ReadFileBytes(DataPath()).starts_with(bom));
    window_.reset();
  }
}

TEST_F(FileSafetyTest, RestoreDialogListsTheBackupsNewestFirst) {
  ASSERT_NO_FATAL_FAILURE(OpenOnThree());
  window_->SelectTab(Category::Important);
  AddNeu();
  AddNeu();
  DialogScript script(kRestoreCaption);
  script
      .Do([](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_RS_LIST);
        ASSERT_EQ(ListView_GetItemCount(list), 2);
        // Open and done tasks apart.
        EXPECT_EQ(test::ListCell(list, 0, 1), L"4");
        EXPECT_EQ(test::ListCell(list, 0, 2), L"0");
        EXPECT_EQ(test::ListCell(list, 1, 1), L"3");
        ListView_SetItemState(list, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
      })
      .Click(IDOK);
  MessageBoxAnswerer yes(kMainWindowCaption, IDYES);
  SendMessageW(window_->Handle(), WM_COMMAND, IDM_SICHERUNG, 0);
  EXPECT_TRUE(script.Finished());
  ASSERT_EQ(yes.Texts().size(), 1u);
  EXPECT_NE(yes.Texts()[0].find(L"mit 3 offenen Aufgaben"), std::wstring::npos);
  EXPECT_EQ(Stored(), (std::vector<Task>{kArzt, kBahn, kBrief}));
  EXPECT_EQ(ListRows(), 3);
}

TEST_F(FileSafetyTest, TheOptionsOpenTheBackupsToo) {
  ASSERT_NO_FATAL_FAILURE(OpenOnThree());
  window_->SelectTab(Category::Important);
  AddNeu();
  DialogScript script(kOptionsCaption);
  script.Click(IDC_OPT_BSICHERUNG)
      .In(kRestoreCaption)
      .Do([](HWND dialog) {
        EXPECT_EQ(GetParent(dialog), FindWindowW(nullptr, kOptionsCaption));
        EXPECT_EQ(ListView_GetItemCount(GetDlgItem(dialog, IDC_RS_LIST)), 1);
      })
      .Click(IDCANCEL)
      .In(kOptionsCaption)
      .Click(IDC_OPT_BABBRECHEN);
  SendMessageW(window_->Handle(), WM_COMMAND, IDM_OPTIONEN, 0);
  EXPECT_TRUE(script.Finished());
}

TEST(BackupHistoryWin32, TheNewestTwentyStayAlsoWithinOneSecond) {
  test::TempFolder folder;
  WriteDataFile(folder.File(L"Vemra.dat"), kThree);
  Win32TaskFiles files(folder.Path());
  TaskStore store(files);
  ASSERT_TRUE(store.Load(Category::All));
  for (int i = 0; i < 22; ++i) {
    ASSERT_EQ(store.Add(Category::Others, {"01-01-2027", "00:00", std::to_string(i)}),
              SaveResult::kSaved);
  }
  const std::vector<std::string> names = files.BackupNames();
  ASSERT_EQ(names.size(), kBackupsKept);
  EXPECT_EQ(CountTasks(*files.ReadBackup(names.front())).tasks, 3u + 21u);
  EXPECT_EQ(CountTasks(*files.ReadBackup(names.back())).tasks, 3u + 2u);
  EXPECT_EQ(files.ReadBackup("Vemra.bak"), files.ReadBackup(names.front()));
}

TEST(BackupHistoryWin32, AChangeWhoseBackupHasNoPlaceIsRefused) {
  for (const bool bakIsFolder : {true, false}) {
    SCOPED_TRACE(bakIsFolder ? "Vemra.bak is a folder" : "Sicherungen is a file");
    test::TempFolder folder;
    WriteDataFile(folder.File(L"Vemra.dat"), kThree);
    const std::string before = test::ReadFileBytes(folder.File(L"Vemra.dat"));
    if (bakIsFolder) {
      ASSERT_TRUE(CreateDirectoryW(folder.File(L"Vemra.bak").c_str(), nullptr));
    } else {
      ASSERT_TRUE(test::WriteFileBytes(folder.File(L"Sicherungen"), "someone's"));
    }
    Win32TaskFiles files(folder.Path());
    TaskStore store(files);
    ASSERT_TRUE(store.Load(Category::All));
    EXPECT_EQ(store.Add(Category::Others, kNeu), SaveResult::kWriteFailed);
    EXPECT_EQ(files.LastFailure(), WriteFailure::kBackupInTheWay);
    EXPECT_EQ(test::ReadFileBytes(folder.File(L"Vemra.dat")), before);
    EXPECT_FALSE(test::FileIsThere(folder.File(L"Vemra.new")));
    EXPECT_FALSE(test::FileIsThere(folder.File(L"Vemra.lck")));  // let go of
  }
}

// Another program that writes the data file as this one does: under the
// lock, its new file renamed into place. Its line n is "wn=1" in a section
// of its own, the last of the file.
class CarefulWriter {
 public:
  explicit CarefulWriter(std::wstring folder) : folder_(std::move(folder)) {}
  int Written() const { return written_; }
  void WriteNext() {
    const std::wstring data = folder_ + L"\\Vemra.dat", temp = folder_ + L"\\Fremd.tmp";
    win32::UniqueFile lock;
    while (!lock) {
      lock.reset(CreateFileW((folder_ + L"\\Vemra.lck").c_str(),
                             GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, OPEN_ALWAYS,
                             FILE_FLAG_DELETE_ON_CLOSE, nullptr));
      if (!lock) Sleep(1);
    }
    const std::string text = test::ReadFileBytes(data);
    if (test::WriteFileBytes(temp, text + "w" + std::to_string(written_) + "=1\r\n") &&
        MoveFileExW(temp.c_str(), data.c_str(), MOVEFILE_REPLACE_EXISTING)) {
      ++written_;
    }
  }

 private:
  std::wstring folder_;
  int written_ = 0;
};

TEST(ConcurrentWriterWin32, NeitherSideLosesAChange) {
  test::TempFolder folder;
  ASSERT_TRUE(test::WriteFileBytes(folder.File(L"Vemra.dat"),
                                   "[Important]\r\n[Others]\r\n[Reminder]\r\n[Fremd]\r\n"));
  Win32TaskFiles files(folder.Path());
  TaskStore store(files);
  ASSERT_TRUE(store.Load(Category::All));
  CarefulWriter writer(folder.Path());
  std::atomic<bool> done = false;
  std::thread other([&] {
    while (!done) {
      writer.WriteNext();
      Sleep(2);
    }
  });
  std::vector<SaveResult> results;
  for (int i = 0; i < 20; ++i) {
    results.push_back(store.Add(Category::Others, {"01-01-2027", "08:00", std::to_string(i)}));
    Sleep(5);
  }
  done = true;
  other.join();
  EXPECT_EQ(std::count(results.begin(), results.end(), SaveResult::kSaved), 20);
  const std::string text = test::ReadFileBytes(folder.File(L"Vemra.dat"));
  EXPECT_EQ(CountTasks(text).tasks, 20u);
  EXPECT_GE(writer.Written(), 10);
  for (int n = 0; n < writer.Written(); ++n) {
    EXPECT_NE(text.find("\nw" + std::to_string(n) + "=1\r\n"), std::string::npos) << n;
  }
}

}  // namespace
}  // namespace ordalis
