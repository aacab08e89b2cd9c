// The task store: each user action is one change of the file's text, made
// to the file as it stands, never to what could not be read.
#include "common/task_file_reads.h"
#include "storage/task_store.h"

#include "reminders/reminder_schedule.h"

#include <gtest/gtest.h>

#include <functional>

#include "fake_task_files.h"
#include "german_date.h"
#include "storage/backup_history.h"
#include "storage/scrambler.h"
#include "storage/task_codec.h"

namespace ordalis {
namespace {

const Task kArzt{"12-09-2026", "09:30", "Arzt"};
const Task kBahn{"12-10-2026", "07:00", "Bahn"};
const Task kBrief{"12-11-2026", "00:00", "Brief"};

class TaskStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Put("Important", "100", kArzt);
    Put("Important", "101", kBahn);
    Put("Others", "100", kBrief);
    data().SetRaw("Reminder", "100", *ScrambleText("R"));
  }
  test::FakeProfileFile& data() { return files.DataFile(); }
  void Put(std::string_view section, std::string_view key, const Task& task) {
    data().SetRaw(section, key, *EncodeTask(task));
  }
  std::vector<TaskRow> Rows(Category view) {
    auto load = store.Load(view);
    return load ? load->rows : std::vector<TaskRow>{};
  }
  std::vector<Task> Tasks(Category view) {
    std::vector<Task> tasks;
    for (const TaskRow& row : LoadCategory(data(), view).rows) tasks.push_back(row.task);
    return tasks;
  }
  TaskRow Row(Category view, const Task& task) {
    for (const TaskRow& row : Rows(view)) {
      if (row.task == task) return row;
    }
    ADD_FAILURE() << "no such row";
    return {};
  }
  std::string FlagOf(std::string_view key) { return StoredFlag(data(), key); }
  std::optional<std::string> OfferedBackup() {
    const auto offer = store.RestoreCandidate();
    if (offer) return offer->name;
    return std::nullopt;
  }

  // One of each user action, on the rows as they stand now.
  using Action = std::pair<const char*, std::function<SaveResult()>>;
  std::vector<Action> Actions() {
    const TaskRow arzt = Row(Category::Important, kArzt);
    const TaskRow bahn = Row(Category::Important, kBahn);
    const Task changed{"12-09-2026", "10:00", "Arzt, später"};
    return {
        {"add", [=, this] { return store.Add(Category::Others, changed); }},
        {"edit", [=, this] { return store.Edit(arzt, changed); }},
        {"remove", [=, this] { return store.Remove(bahn); }},
        {"move", [=, this] { return store.MoveToDone(arzt); }},
        {"flags",
         [=, this] {
           return store.SetReminderFlags({arzt, bahn}, 'R');
         }},
        {"password", [this] { return store.SetPassword("geheim"); }},
    };
  }

  test::FakeTaskFiles files;
  TaskStore store{files};
};

TEST_F(TaskStoreTest, EachActionIsOneChangeWithTheFileBeforeItAsBackup) {
  const std::string sample = *data().content;
  for (const auto& [name, action] : Actions()) {
    SCOPED_TRACE(name);
    data().content = sample;
    Rows(Category::All);
    const std::string before = *data().content;
    const size_t backups = files.history.size();
    files.now.second += 1;
    EXPECT_EQ(action(), SaveResult::kSaved);
    EXPECT_NE(*data().content, before);
    EXPECT_EQ(files.backup, before);
    // A reminder's mark alone makes no history entry: a day of reminders
    // must not push out the state before yesterday's deletion.
    if (std::string_view(name) == "flags") {
      EXPECT_EQ(files.history.size(), backups);
      continue;
    }
    EXPECT_EQ(files.history.size(), backups + 1);
    EXPECT_EQ(files.ReadBackup(files.BackupNames().front()), before);
  }
}

TEST_F(TaskStoreTest, MovesKeepFlagsWithTheirTasksAndEveryOtherLine) {
  data().SetRaw("Important", "0105", "von Hand");
  Rows(Category::Important);
  // Moving the first task frees its key and its flag; the next new task
  // takes the key, not arriving as reminded.
  ASSERT_EQ(store.MoveToDone(Row(Category::Important, kArzt)), SaveResult::kSaved);
  EXPECT_EQ(Tasks(Category::Important), std::vector<Task>{kBahn});
  EXPECT_EQ(Tasks(Category::Done), std::vector<Task>{kArzt});
  EXPECT_EQ(FlagOf("100"), "");
  ASSERT_EQ(store.Add(Category::Important, kBrief), SaveResult::kSaved);
  EXPECT_EQ(store.StoredKey(), "100");
  EXPECT_EQ(FlagOf("100"), "A");
  EXPECT_EQ(data().Read("Important", "0105"), "von Hand");

  // A new description keeps the reminder given; a new time re-arms it.
  ASSERT_EQ(store.SetReminderFlags({Row(Category::Important, kBahn)}, 'R'), SaveResult::kSaved);
  const Task renamed{kBahn.date, kBahn.time, "Zug"};
  ASSERT_EQ(store.Edit(Row(Category::Important, kBahn), renamed), SaveResult::kSaved);
  EXPECT_EQ(FlagOf("101"), "R");
  ASSERT_EQ(store.Edit(Row(Category::Important, renamed), {kBahn.date, "08:00", "Zug"}),
            SaveResult::kSaved);
  EXPECT_EQ(FlagOf("101"), "A");

  // A removed task takes its flag along and leaves the others' alone; a
  // flag another program left under a free key is not the next task's.
  ASSERT_EQ(store.SetReminderFlags({Row(Category::Important, kBrief)}, 'R'), SaveResult::kSaved);
  ASSERT_EQ(store.Remove(Row(Category::Important, {kBahn.date, "08:00", "Zug"})),
            SaveResult::kSaved);
  EXPECT_EQ(FlagsIn(data()), (ReminderFlags{{"100", "R"}}));
  data().SetRaw("Reminder", "101", *ScrambleText("R"));
  ASSERT_EQ(store.Add(Category::Important, kArzt), SaveResult::kSaved);
  EXPECT_EQ(store.StoredKey(), "101");
  EXPECT_EQ(FlagsIn(data()), (ReminderFlags{{"100", "R"}, {"101", "A"}}));
}

TEST_F(TaskStoreTest, TasksRemindedTogetherAreFlaggedTogetherExceptOnesChangedElsewhere) {
  const Task added{"12-12-2026", "12:00", "Dritte"};
  ASSERT_EQ(store.Add(Category::Important, added), SaveResult::kSaved);
  data().SetRaw("Reminder", "100", *ScrambleText("A"));
  const std::vector<TaskRow> rows = Rows(Category::Important);
  ASSERT_EQ(rows.size(), 3u);
  Put("Important", "102", {added.date, added.time, "anderswo geändert"});
  const size_t backups = files.history.size();
  ASSERT_EQ(store.SetReminderFlags(rows, 'R'), SaveResult::kSaved);
  EXPECT_EQ(files.history.size(), backups);  // marks alone make no history entry
  EXPECT_EQ(FlagOf("100"), "R");
  EXPECT_EQ(FlagOf("101"), "R");
  EXPECT_EQ(FlagOf("102"), "A");
  EXPECT_EQ(store.SetReminderFlags({rows[2]}, 'R'), SaveResult::kChangedOutside);
}

TEST_F(TaskStoreTest, AnUnchangedEditWritesNothing) {
  const std::string before = *data().content;
  EXPECT_EQ(store.Edit(Row(Category::Important, kArzt), kArzt), SaveResult::kSaved);
  EXPECT_EQ(*data().content, before);
  EXPECT_TRUE(files.history.empty());
}

TEST_F(TaskStoreTest, WhatAnotherProgramWroteSinceTheLoadStays) {
  const TaskRow arzt = Row(Category::Important, kArzt);
  const TaskRow bahn = Row(Category::Important, kBahn);
  const Task added{"12-24-2026", "18:00", "vom anderen PC"};
  Put("Important", "102", added);
  Put("Important", "101", {kBahn.date, kBahn.time, "Bahn, geändert"});
  EXPECT_TRUE(store.ChangedOutside());

  ASSERT_EQ(store.Add(Category::Important, kBrief), SaveResult::kSaved);
  EXPECT_EQ(store.StoredKey(), "103");
  const std::string afterAdd = *data().content;
  EXPECT_EQ(store.Edit(bahn, {"01-01-2027", "08:00", "mein Stand"}), SaveResult::kChangedOutside);
  EXPECT_EQ(store.Remove(bahn), SaveResult::kChangedOutside);
  EXPECT_EQ(store.MoveToDone(bahn), SaveResult::kChangedOutside);
  EXPECT_EQ(store.SetReminderFlags({bahn}, 'R'), SaveResult::kChangedOutside);
  EXPECT_EQ(*data().content, afterAdd);
  EXPECT_EQ(Tasks(Category::Important).size(), 4u);

  // A task removed elsewhere is simply gone; it never comes back.
  data().content = ReplaceProfileValue(*data().content, "Important", "100", std::nullopt);
  EXPECT_EQ(store.Remove(arzt), SaveResult::kSaved);
  EXPECT_EQ(store.Edit(arzt, kArzt), SaveResult::kChangedOutside);
  EXPECT_EQ(Tasks(Category::Important).size(), 3u);
}

TEST_F(TaskStoreTest, NothingIsWrittenToAFileThatCouldNotBeRead) {
  Rows(Category::Important);
  const std::string before = *data().content;
  // Renamed away for a moment by another program.
  std::swap(data().content, files.backup);
  EXPECT_FALSE(store.Load(Category::Important));
  EXPECT_EQ(store.Add(Category::Important, kBrief), SaveResult::kUnreadable);
  EXPECT_FALSE(data().content);
  std::swap(data().content, files.backup);

  // Held by another program while the tab loads.
  files.fail = [](std::string_view op) { return op == "ReadText"; };
  EXPECT_FALSE(store.Load(Category::Important));
  files.fail = nullptr;
  EXPECT_EQ(store.Add(Category::Important, kBrief), SaveResult::kUnreadable);
  EXPECT_EQ(*data().content, before);
  ASSERT_TRUE(store.Load(Category::Important));
  EXPECT_EQ(store.Add(Category::Important, kBrief), SaveResult::kSaved);
  EXPECT_EQ(Tasks(Category::Important), (std::vector<Task>{kArzt, kBahn, kBrief}));

  // A failed write leaves the file, and the backups, as they were.
  const std::string saved = *data().content;
  const size_t backups = files.history.size();
  files.fail = [](std::string_view op) { return op == "CommitChange"; };
  EXPECT_EQ(store.Add(Category::Important, kArzt), SaveResult::kWriteFailed);
  EXPECT_EQ(*data().content, saved);
  EXPECT_EQ(files.history.size(), backups + 1);  // taken right before the rename
}

TEST_F(TaskStoreTest, AFailingStepLeavesTheFileAndThePasswordAsTheyWere) {
  data().SetRaw("Others", "200", *ScrambleText("alt"));
  const std::string sample = *data().content;
  const std::vector<Action> actions = Actions();
  for (const std::string_view failing :
       {"BeginChange", "ReadText", "ReplaceText", "Backup", "CommitChange"}) {
    for (const auto& [name, action] : actions) {
      SCOPED_TRACE(std::string(failing) + " fails: " + name);
      data().content = sample;
      files.fail = [failing](std::string_view op) { return op == failing; };
      const SaveResult result = action();
      files.fail = nullptr;
      EXPECT_FALSE(files.StagingExists());
      // No change without its backup either.
      EXPECT_EQ(result, SaveResult::kWriteFailed);
      EXPECT_EQ(*data().content, sample);
    }
  }
}

TEST_F(TaskStoreTest, AFileReplacedBetweenTheReadAndTheSwapIsNotOverwritten) {
  Rows(Category::All);
  // Another program writes its own task while the change is being made.
  int writes = 0;
  files.fail = [&](std::string_view op) {
    if (op == "Backup" && writes++ == 0) Put("Others", "101", kBahn);
    return false;
  };
  ASSERT_EQ(store.Add(Category::Others, kArzt), SaveResult::kSaved);
  files.fail = nullptr;
  EXPECT_EQ(Tasks(Category::Others), (std::vector<Task>{kBrief, kBahn, kArzt}));
  EXPECT_EQ(store.StoredKey(), "102");
  // One that writes at every attempt: the change gives up and says so.
  files.fail = [&](std::string_view op) {
    if (op == "Backup") Put("Others", "101", {kBahn.date, kBahn.time, std::to_string(writes++)});
    return false;
  };
  EXPECT_EQ(store.Add(Category::Others, kArzt), SaveResult::kWriteFailed);
  files.fail = nullptr;
  EXPECT_FALSE(files.StagingExists());
  EXPECT_EQ(Tasks(Category::Others).size(), 3u);
}

TEST_F(TaskStoreTest, ARestoreKeepsTheRemindersGiven) {
  // The backup holds Arzt (09:30) and Bahn (next day), neither flagged yet.
  data().SetRaw("Reminder", "100", *ScrambleText("A"));
  ASSERT_EQ(store.Add(Category::Others, kBrief), SaveResult::kSaved);
  const std::string name = files.BackupNames().front();
  const auto passed = [](std::string_view text) {
    return PassedTasks(LoadCategoryText(text, Category::Important).rows,
                       {2026, 12, 9, 12, 0, 0, 0});
  };
  ASSERT_EQ(store.Restore(name, passed), SaveResult::kSaved);
  EXPECT_EQ(FlagOf("100"), "R");  // its time has passed: reminded already
  EXPECT_EQ(FlagOf("101"), "");   // still to come
  EXPECT_EQ(Tasks(Category::Others), (std::vector<Task>{kBrief}));
}

TEST_F(TaskStoreTest, APasswordSetWhileTheFileIsHeldIsNotTakenForSet) {
  ASSERT_EQ(store.SetPassword("alt"), SaveResult::kSaved);
  const std::string stored = store.StoredPassword();
  // Another program holds the file: no staging copy can be made of it.
  files.fail = [](std::string_view op) { return op == "BeginChange"; };
  EXPECT_EQ(store.SetPassword("neu"), SaveResult::kWriteFailed);
  EXPECT_EQ(store.SetPassword(""), SaveResult::kWriteFailed);
  files.fail = nullptr;
  EXPECT_EQ(store.StoredPassword(), stored);
  EXPECT_EQ(ScrambleText(store.StoredPassword()), "alt");
}

TEST_F(TaskStoreTest, WhatCannotBeStoredWritesNothing) {
  for (int i = 0; i < kMaxTasks; ++i) Put("Done", KeyAt(i), kBrief);
  const TaskRow arzt = Row(Category::Important, kArzt);
  const std::string before = *data().content;
  const Task foreign{"12-12-2026", "10:00", "Zeile\x81"};
  EXPECT_EQ(store.Add(Category::Others, foreign), SaveResult::kRefused);
  EXPECT_EQ(store.Edit(arzt, foreign), SaveResult::kRefused);
  // A full category takes no more: the task stays where it is.
  EXPECT_EQ(store.MoveToDone(arzt), SaveResult::kTooMany);
  EXPECT_EQ(*data().content, before);
  EXPECT_TRUE(files.history.empty());
}

TEST_F(TaskStoreTest, ADamagedValueBlocksNoOtherChange) {
  // A tab in the stored value reads as a task whose text cannot be stored
  // again; and one value the scrambler refuses outright.
  data().SetRaw("Important", "102", *ScrambleText("12-12-2026|10:00|T") + "\tx");
  data().SetRaw("Important", "103", "\x97");
  const TaskRow damaged = Rows(Category::Important).back();
  ASSERT_EQ(damaged.key, "102");
  EXPECT_EQ(store.Add(Category::Important, kBrief), SaveResult::kSaved);
  EXPECT_EQ(store.StoredKey(), "104");
  EXPECT_EQ(store.Edit(Row(Category::Important, kArzt), {kArzt.date, kArzt.time, "Zahnarzt"}),
            SaveResult::kSaved);
  EXPECT_EQ(store.MoveToDone(damaged), SaveResult::kSaved);
  EXPECT_EQ(Rows(Category::Done).size(), 1u);
  for (const TaskRow& row : Rows(Category::Important)) EXPECT_NE(row.key, "102");
  EXPECT_EQ(data().Read("Important", "103"), "\x97");
  EXPECT_EQ(store.Remove(Rows(Category::Done).front()), SaveResult::kSaved);
  EXPECT_TRUE(Rows(Category::Done).empty());
}

TEST_F(TaskStoreTest, TheHistoryKeepsTheNewestTwentyAndARestoreCanBeUndone) {
  Rows(Category::All);
  for (int i = 0; i < 25; ++i) {
    files.now.minute = 31 + i;
    ASSERT_EQ(store.Add(Category::Others, {"01-01-2027", "00:00", std::to_string(i)}),
              SaveResult::kSaved);
  }
  const std::vector<std::string> names = files.BackupNames();
  ASSERT_EQ(names.size(), kBackupsKept);
  EXPECT_EQ(names.front(), "Vemra-20261208-105500.dat");
  EXPECT_EQ(names.back(), "Vemra-20261208-103600.dat");
  EXPECT_EQ(CountTasks(*files.ReadBackup(names.back())).tasks, 3u + 5u);

  const std::string current = *data().content;
  files.now.minute = 59;
  ASSERT_EQ(store.Restore(names.back()), SaveResult::kSaved);
  EXPECT_EQ(CountTasks(*data().content).tasks, 8u);
  EXPECT_EQ(files.ReadBackup(files.BackupNames().front()), current);
  EXPECT_EQ(files.BackupNames().size(), kBackupsKept);
}

// The history goes by the order the changes were made, not by the clock
// that named them, and keeps the last state of each of the days before.
TEST_F(TaskStoreTest, TheHistoryKeepsTheNewestChangesAndTheLastOfEachDayBefore) {
  Rows(Category::All);
  const auto change = [&](LocalTime at) {
    files.now = at;
    return store.Add(Category::Others, {"01-01-2027", "00:00", "x"}) == SaveResult::kSaved &&
           store.Remove(Rows(Category::Others).back()) == SaveResult::kSaved;
  };
  // A change an evening on each of three days, then a day with the clock a
  // day ahead, then the clock put right.
  for (int day = 1; day <= 3; ++day) ASSERT_TRUE(change({2026, 12, day, 20, 0, 0}));
  for (int i = 0; i < 12; ++i) ASSERT_TRUE(change({2026, 12, 9, 8, i, 0}));
  ASSERT_TRUE(change({2026, 12, 8, 9, 0, 0}));
  std::vector<std::string> names = files.BackupNames();
  // The two just made come first, although their names are older.
  EXPECT_EQ(names[0], "Vemra-20261208-090000-2.dat");
  EXPECT_EQ(ParseBackupName(names[1])->time.day, 8);
  EXPECT_EQ(ParseBackupName(names[2])->time.day, 9);
  // 20 newest, and the evening of each day before that fell out of them.
  EXPECT_EQ(names.size(), kBackupsKept + 3);
  for (int day = 1; day <= 3; ++day) {
    EXPECT_TRUE(files.ReadBackup(BackupName({2026, 12, day, 20, 0, 0}, 2)))
        << "the last of December " << day;
    EXPECT_FALSE(files.ReadBackup(BackupName({2026, 12, day, 20, 0, 0})));
  }
  // Over two weeks on, those days are past keeping.
  ASSERT_TRUE(change({2026, 12, 19, 9, 0, 0}));
  EXPECT_EQ(files.BackupNames().size(), kBackupsKept);
  EXPECT_FALSE(files.ReadBackup(BackupName({2026, 12, 3, 20, 0, 0}, 2)));
}

TEST_F(TaskStoreTest, AnEmptyOrUnreadableFileOffersTheNewestBackupWithTasks) {
  EXPECT_EQ(OfferedBackup(), std::nullopt);
  ASSERT_EQ(store.Add(Category::Others, kBrief), SaveResult::kSaved);
  const std::string good = files.BackupNames().front();
  files.now.minute = 40;
  ASSERT_EQ(store.SetPassword(""), SaveResult::kSaved);  // nothing to change: no backup
  data().content = "";
  EXPECT_EQ(OfferedBackup(), good);
  EXPECT_EQ(store.RestoreCandidate()->tasks, 3u);
  data().content = "[Important]\r\n100=\x97\r\n";
  EXPECT_EQ(OfferedBackup(), good);
  files.history.clear();
  EXPECT_EQ(OfferedBackup(), "Vemra.bak");
  files.backup = "";
  EXPECT_EQ(OfferedBackup(), std::nullopt);
}

TEST(BackupHistory, NamesSayWhenAndSortNewestFirst) {
  EXPECT_EQ(BackupName({2026, 1, 2, 3, 4, 5}), "Vemra-20260102-030405.dat");
  EXPECT_EQ(BackupName({2026, 1, 2, 3, 4, 5}, 2), "Vemra-20260102-030405-2.dat");
  EXPECT_EQ(BackupLabel("Vemra-20261208-154501.dat", test::GermanDate), "08.12.2026 15:45:01");
  EXPECT_EQ(BackupLabel("vemra-20261208-154501-3.DAT", test::GermanDate),
            "08.12.2026 15:45:01 (3)");
  EXPECT_EQ(BackupLabel("Vemra-20261308-154501.dat", test::GermanDate), "13-08-2026 15:45:01");
  for (const char* other : {"Vemra.dat", "Vemra-2026120-154501.dat", "Vemra-20261208x154501.dat",
                            "Vemra-20261208-154501-.dat", "Vemra-20261208-1545a1.dat"}) {
    EXPECT_FALSE(ParseBackupName(other)) << other;
  }
  // After the oldest of a second went, the next one still sorts newest.
  EXPECT_EQ(NextBackupName({2026, 1, 2, 3, 4, 5}, {"Vemra-20260102-030405-2.dat", "x.dat"}),
            "Vemra-20260102-030405-3.dat");
  EXPECT_EQ(NextBackupName({2026, 1, 2, 3, 4, 6}, {"Vemra-20260102-030405-2.dat"}),
            "Vemra-20260102-030406.dat");
  EXPECT_EQ(SortBackups({"Vemra-20261208-154501-10.dat", "x.dat", "Vemra-20261208-154501-2.dat",
                         "Vemra-20270101-000000.dat", "Vemra-20261208-154501.dat"}),
            (std::vector<std::string>{"Vemra-20270101-000000.dat", "Vemra-20261208-154501-10.dat",
                                      "Vemra-20261208-154501-2.dat", "Vemra-20261208-154501.dat"}));
}

}  // namespace
}  // namespace ordalis
