#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "fake_task_files.h"
#include "storage/profile_format.h"
#include "storage/scrambler.h"
#include "storage/task_codec.h"
#include "storage/task_file.h"

namespace ordalis {
namespace {

using test::FakeContent;
using test::FakeProfileFile;
using test::FakeTaskFiles;

Task Numbered(int n) {
  return {"05-" + std::string(n % 28 < 9 ? "0" : "") + std::to_string(n % 28 + 1) + "-2024",
          "10:00", "Aufgabe " + std::to_string(n)};
}

// Puts a task into the file the way any program following the format does.
void Store(FakeProfileFile& file, std::string_view section, std::string_view key,
           const Task& task) {
  const auto stored = EncodeTask(task);
  ASSERT_TRUE(stored);
  file.SetRaw(section, key, ProtectProfileValue(*stored));
}

void StoreFlag(FakeProfileFile& file, std::string_view key, std::string_view flag) {
  file.SetRaw(kReminderSection, key, ProtectProfileValue(*ScrambleText(flag)));
}

std::vector<Task> TasksOf(const std::vector<TaskRow>& rows) {
  std::vector<Task> tasks;
  for (const TaskRow& row : rows) tasks.push_back(row.task);
  return tasks;
}

std::vector<std::string> KeysOf(const std::vector<TaskRow>& rows) {
  std::vector<std::string> keys;
  for (const TaskRow& row : rows) keys.push_back(row.key);
  return keys;
}

// Every key of "Reminder" with its flag, in file order.
std::vector<std::pair<std::string, std::string>> Flags(FakeProfileFile& file) {
  std::vector<std::pair<std::string, std::string>> flags;
  for (const std::string& key : file.KeyNames(kReminderSection)) {
    flags.emplace_back(key, ReadReminderFlag(file, key));
  }
  return flags;
}

using Flagged = std::vector<std::pair<std::string, std::string>>;

class TaskFileTest : public ::testing::Test {
 protected:
  FakeTaskFiles files;
  FakeProfileFile& data = files.DataFile();

  std::vector<TaskRow> Load(Category category) { return LoadCategory(data, category).rows; }

  // Important 100..102 with flags R, A, R; Others 100..101 and the password;
  // Done 100.
  void StoreSample() {
    for (int i = 0; i < 3; ++i) Store(data, "Important", TaskKey(i), Numbered(i));
    StoreFlag(data, "100", "R");
    StoreFlag(data, "101", "A");
    StoreFlag(data, "102", "R");
    Store(data, "Others", "100", {"06-01-2024", "00:00", "Steuer"});
    Store(data, "Others", "101", {"06-02-2024", "00:00", "Reifen"});
    data.SetRaw("Others", "200", ProtectProfileValue(*ScrambleText("geheim")));
    Store(data, "Done", "100", {"01-01-2024", "08:00", "Erledigt"});
  }
};

// --- Loading -------------------------------------------------------------

TEST_F(TaskFileTest, LoadReadsEveryTaskKeyPresentInNumericOrder) {
  // File order is not key order; 121..199 are as good as the first keys.
  Store(data, "Important", "150", Numbered(150));
  Store(data, "Important", "100", Numbered(100));
  Store(data, "Important", "199", Numbered(199));
  Store(data, "Important", "105", Numbered(105));
  const auto rows = Load(Category::Important);
  EXPECT_EQ(KeysOf(rows), (std::vector<std::string>{"100", "105", "150", "199"}));
  EXPECT_EQ(TasksOf(rows),
            (std::vector<Task>{Numbered(100), Numbered(105), Numbered(150), Numbered(199)}));
  for (const TaskRow& row : rows) EXPECT_EQ(row.category, Category::Important);
}

TEST_F(TaskFileTest, LoadIgnoresKeysThatAreNoTaskKeys) {
  for (const char* key : {"99", "099", "0100", "abc", "10a", "200", "250", "1000", "-10", "+10"}) {
    Store(data, "Done", key, Numbered(1));
  }
  Store(data, "Done", "105", Numbered(105));
  Store(data, "Done", "100", Numbered(100));
  const auto rows = Load(Category::Done);
  EXPECT_EQ(KeysOf(rows), (std::vector<std::string>{"100", "105"}));
  EXPECT_EQ(TasksOf(rows), (std::vector<Task>{Numbered(100), Numbered(105)}));
}

TEST_F(TaskFileTest, LoadSkipsEmptyValuesAndReportsUnreadableOnes) {
  data.SetRaw("Important", "100", "");
  const std::string refused = *ScrambleText("01-01-2024|10:00|a\tb");
  data.SetRaw("Important", "101", refused);
  Store(data, "Important", "102", Numbered(2));
  const CategoryLoad load = LoadCategory(data, Category::Important);
  EXPECT_EQ(KeysOf(load.rows), std::vector<std::string>{"102"});
  ASSERT_EQ(load.unreadable.size(), 1u);
  EXPECT_EQ(load.unreadable[0], (UnreadableEntry{"Important", "101", refused}));
}

TEST_F(TaskFileTest, LoadOfAllGivesImportantTasksThenOthersWithoutTime) {
  StoreSample();
  const auto rows = Load(Category::All);
  ASSERT_EQ(rows.size(), 5u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(rows[i], (TaskRow{Numbered(i), Category::Important, TaskKey(i)}));
  }
  EXPECT_EQ(rows[3], (TaskRow{{"06-01-2024", "", "Steuer"}, Category::Others, "100"}));
  EXPECT_EQ(rows[4], (TaskRow{{"06-02-2024", "", "Reifen"}, Category::Others, "101"}));
}

TEST_F(TaskFileTest, MissingFileReadsAsEmpty) {
  EXPECT_TRUE(Load(Category::All).empty());
  EXPECT_TRUE(Load(Category::Done).empty());
  EXPECT_EQ(ReadStoredPassword(data), "");
  EXPECT_EQ(ReadReminderFlag(data, "100"), "");
}

// --- Rewriting a category ------------------------------------------------

TEST_F(TaskFileTest, RewriteStoresRowsUnderConsecutiveKeysAndRenumbersThem) {
  Store(data, "Important", "100", Numbered(0));
  Store(data, "Important", "105", Numbered(5));
  Store(data, "Important", "150", Numbered(50));
  auto rows = Load(Category::Important);
  ASSERT_EQ(WriteCategory(files, Category::Important, rows), SaveResult::kSaved);
  EXPECT_EQ(KeysOf(rows), (std::vector<std::string>{"100", "101", "102"}));
  EXPECT_EQ(data.KeyNames("Important"), (std::vector<std::string>{"100", "101", "102"}));
  EXPECT_EQ(Load(Category::Important), rows);
}

TEST_F(TaskFileTest, BackupHoldsTheStateBeforeTheRewrite) {
  StoreSample();
  const FakeContent before = *data.content;
  auto rows = Load(Category::Others);
  rows.pop_back();
  ASSERT_EQ(WriteCategory(files, Category::Others, rows), SaveResult::kSaved);
  EXPECT_EQ(files.backup, before);
  EXPECT_NE(data.content, before);
  EXPECT_FALSE(files.StagingExists());
}

TEST_F(TaskFileTest, FirstRewriteCreatesTheFileAndLeavesNoBackup) {
  std::vector<TaskRow> rows{{Numbered(1), Category::Important, ""}};
  ASSERT_EQ(WriteCategory(files, Category::Important, rows), SaveResult::kSaved);
  EXPECT_EQ(TasksOf(Load(Category::Important)), std::vector<Task>{Numbered(1)});
  EXPECT_EQ(files.backup, std::nullopt);
}

TEST_F(TaskFileTest, BackupThatCannotBeRefreshedDoesNotStopTheRewrite) {
  StoreSample();
  files.fail = [](std::string_view operation) { return operation == "Backup"; };
  std::vector<TaskRow> rows{{Numbered(7), Category::Done, ""}};
  EXPECT_EQ(WriteCategory(files, Category::Done, rows), SaveResult::kSaved);
  EXPECT_EQ(TasksOf(Load(Category::Done)), std::vector<Task>{Numbered(7)});
}

TEST_F(TaskFileTest, EmptyImportantListRemovesItsSectionAndTheFlags) {
  StoreSample();
  std::vector<TaskRow> rows;
  ASSERT_EQ(WriteCategory(files, Category::Important, rows), SaveResult::kSaved);
  EXPECT_FALSE(data.HasSection("Important"));
  EXPECT_FALSE(data.HasSection("Reminder"));
  EXPECT_TRUE(data.HasSection("Others"));
  EXPECT_TRUE(data.HasSection("Done"));
}

TEST_F(TaskFileTest, OthersKeepTheirPasswordKey) {
  StoreSample();
  const auto password = data.RawLines("Others").back();
  ASSERT_EQ(password.key, "200");

  auto rows = Load(Category::Others);
  rows.erase(rows.begin());
  ASSERT_EQ(WriteCategory(files, Category::Others, rows), SaveResult::kSaved);
  EXPECT_EQ(data.KeyNames("Others"), (std::vector<std::string>{"100", "200"}));
  EXPECT_EQ(data.RawLines("Others").back(), password);
  EXPECT_EQ(TasksOf(Load(Category::Others)), TasksOf(rows));

  // An empty list leaves the password alone in its section.
  rows.clear();
  ASSERT_EQ(WriteCategory(files, Category::Others, rows), SaveResult::kSaved);
  EXPECT_EQ(data.RawLines("Others"), std::vector<ProfileEntry>{password});
  EXPECT_EQ(ScrambleText(ReadStoredPassword(data)), "geheim");
}

TEST_F(TaskFileTest, EmptyOthersWithoutPasswordRemovesTheSection) {
  Store(data, "Others", "100", Numbered(1));
  std::vector<TaskRow> rows;
  ASSERT_EQ(WriteCategory(files, Category::Others, rows), SaveResult::kSaved);
  EXPECT_FALSE(data.HasSection("Others"));
}

TEST_F(TaskFileTest, DoneKeepsAKey200) {
  Store(data, "Done", "100", Numbered(1));
  data.SetRaw("Done", "200", "kept as it is");
  std::vector<TaskRow> rows;
  ASSERT_EQ(WriteCategory(files, Category::Done, rows), SaveResult::kSaved);
  EXPECT_EQ(data.RawLines("Done"), (std::vector<ProfileEntry>{{"200", "kept as it is"}}));
}

TEST_F(TaskFileTest, RewriteOfImportantLeavesOthersAndDoneAlone) {
  StoreSample();
  const auto others = data.RawLines("Others");
  const auto done = data.RawLines("Done");
  std::vector<TaskRow> rows{{Numbered(9), Category::Important, ""}};
  ASSERT_EQ(WriteCategory(files, Category::Important, rows), SaveResult::kSaved);
  EXPECT_EQ(data.RawLines("Others"), others);
  EXPECT_EQ(data.RawLines("Done"), done);
}

TEST_F(TaskFileTest, RewriteOfOthersOrDoneLeavesImportantAndTheFlagsAlone) {
  StoreSample();
  const auto important = data.RawLines("Important");
  const auto reminder = data.RawLines("Reminder");
  for (const Category category : {Category::Others, Category::Done}) {
    std::vector<TaskRow> rows{{Numbered(9), category, ""}};
    ASSERT_EQ(WriteCategory(files, category, rows), SaveResult::kSaved);
    EXPECT_EQ(data.RawLines("Important"), important);
    EXPECT_EQ(data.RawLines("Reminder"), reminder);
  }
  // Not even an empty list touches them.
  std::vector<TaskRow> none;
  ASSERT_EQ(WriteCategory(files, Category::Done, none), SaveResult::kSaved);
  EXPECT_EQ(data.RawLines("Reminder"), reminder);
}

TEST_F(TaskFileTest, ViewAllOnlyRefreshesTheBackup) {
  StoreSample();
  const FakeContent before = *data.content;
  auto rows = Load(Category::All);
  rows.pop_back();
  const auto shown = rows;
  EXPECT_EQ(WriteCategory(files, Category::All, rows), SaveResult::kSaved);
  EXPECT_EQ(*data.content, before);
  EXPECT_EQ(files.backup, before);
  EXPECT_EQ(rows, shown);
}

TEST_F(TaskFileTest, ValuesWithBlanksOrQuotesAtTheirEndsSurviveARewrite) {
  // Tasks whose stored form starts or ends with a blank or a quote, which
  // the profile reader would strip if they were written bare.
  std::vector<TaskRow> rows;
  for (const char end : {' ', '"', '\''}) {
    Task task{"?1-05-2024", "10:00", "Ende ?"};
    const unsigned firstMask = static_cast<unsigned char>(kScrambleKey[0]) + 96;
    const size_t last = task.date.size() + task.time.size() + task.description.size() + 1;
    const unsigned lastMask = static_cast<unsigned char>(kScrambleKey[last % 4]) + 96;
    task.date[0] = static_cast<char>(static_cast<unsigned char>(end) ^ firstMask);
    task.description.back() = static_cast<char>(static_cast<unsigned char>(end) ^ lastMask);
    const auto stored = EncodeTask(task);
    ASSERT_TRUE(stored);
    ASSERT_EQ(stored->front(), end);
    ASSERT_EQ(stored->back(), end);
    rows.push_back({task, Category::Done, ""});
  }
  ASSERT_EQ(WriteCategory(files, Category::Done, rows), SaveResult::kSaved);
  EXPECT_EQ(TasksOf(Load(Category::Done)), TasksOf(rows));
}

// --- Reminder flags follow their task ------------------------------------

TEST_F(TaskFileTest, UnchangedListKeepsEachFlagAtItsKey) {
  for (int i = 0; i < 3; ++i) Store(data, "Important", TaskKey(i), Numbered(i));
  StoreFlag(data, "101", "R");
  auto rows = Load(Category::Important);
  ASSERT_EQ(WriteCategory(files, Category::Important, rows), SaveResult::kSaved);
  EXPECT_EQ(Flags(data), (Flagged{{"100", "A"}, {"101", "R"}, {"102", "A"}}));
}

TEST_F(TaskFileTest, FlagsFollowTheirTasksThroughDeleteSortAndAdd) {
  StoreSample();  // tasks 0, 1, 2 flagged R, A, R
  auto rows = Load(Category::Important);
  // Delete task 1, put task 2 first, add a new one at the end.
  rows = {rows[2], rows[0], {Numbered(7), Category::Important, ""}};
  ASSERT_EQ(WriteCategory(files, Category::Important, rows), SaveResult::kSaved);
  EXPECT_EQ(TasksOf(Load(Category::Important)),
            (std::vector<Task>{Numbered(2), Numbered(0), Numbered(7)}));
  EXPECT_EQ(Flags(data), (Flagged{{"100", "R"}, {"101", "R"}, {"102", "A"}}));
  EXPECT_EQ(KeysOf(rows), (std::vector<std::string>{"100", "101", "102"}));

  // The new keys are what the next rewrite goes by: deleting the first row
  // moves the others' flags with them.
  rows.erase(rows.begin());
  ASSERT_EQ(WriteCategory(files, Category::Important, rows), SaveResult::kSaved);
  EXPECT_EQ(Flags(data), (Flagged{{"100", "R"}, {"101", "A"}}));
}

TEST_F(TaskFileTest, DeletingTheMiddleTaskGivesTheLastOneItsOwnFlag) {
  for (int i = 0; i < 3; ++i) Store(data, "Important", TaskKey(i), Numbered(i));
  StoreFlag(data, "100", "A");
  StoreFlag(data, "101", "R");
  StoreFlag(data, "102", "A");
  auto rows = Load(Category::Important);
  rows.erase(rows.begin() + 1);
  ASSERT_EQ(WriteCategory(files, Category::Important, rows), SaveResult::kSaved);
  // Not the "R" that position 2 had: that belonged to the deleted task.
  EXPECT_EQ(Flags(data), (Flagged{{"100", "A"}, {"101", "A"}}));
}

TEST_F(TaskFileTest, RowFromAnotherCategoryStartsWithoutReminder) {
  StoreSample();  // Important 100 is flagged R; Others has a task under 100 too
  auto rows = Load(Category::Others);
  rows.resize(1);
  ASSERT_EQ(WriteCategory(files, Category::Important, rows), SaveResult::kSaved);
  EXPECT_EQ(Flags(data), (Flagged{{"100", "A"}}));
  EXPECT_EQ(rows[0].category, Category::Important);
}

TEST_F(TaskFileTest, UnreadableOldFlagCountsAsNotReminded) {
  Store(data, "Important", "100", Numbered(0));
  data.SetRaw(kReminderSection, "100", "\x85");
  auto rows = Load(Category::Important);
  ASSERT_EQ(WriteCategory(files, Category::Important, rows), SaveResult::kSaved);
  EXPECT_EQ(Flags(data), (Flagged{{"100", "A"}}));
}

// --- Limits and refusals -------------------------------------------------

TEST_F(TaskFileTest, HundredTasksAreStoredAndReadBack) {
  std::vector<TaskRow> rows;
  for (int i = 0; i < kMaxTasks; ++i) rows.push_back({Numbered(i), Category::Important, ""});
  ASSERT_EQ(WriteCategory(files, Category::Important, rows), SaveResult::kSaved);
  EXPECT_EQ(rows.back().key, "199");
  const auto loaded = Load(Category::Important);
  EXPECT_EQ(TasksOf(loaded), TasksOf(rows));
  EXPECT_EQ(data.KeyNames(kReminderSection).size(), 100u);
}

TEST_F(TaskFileTest, MoreThanHundredTasksAreRefusedWithoutWriting) {
  StoreSample();
  const FakeContent before = *data.content;
  std::vector<TaskRow> rows;
  for (int i = 0; i <= kMaxTasks; ++i) rows.push_back({Numbered(i), Category::Important, ""});
  EXPECT_EQ(WriteCategory(files, Category::Important, rows), SaveResult::kTooMany);
  EXPECT_EQ(*data.content, before);
  EXPECT_EQ(files.backup, std::nullopt);
  EXPECT_EQ(rows.front().key, "");
}

TEST_F(TaskFileTest, RefusedCharacterWritesNothing) {
  StoreSample();
  const FakeContent before = *data.content;
  auto rows = Load(Category::Others);
  rows.push_back({{"07-01-2024", "00:00", "Zeile\x81"}, Category::Others, ""});
  EXPECT_EQ(WriteCategory(files, Category::Others, rows), SaveResult::kRefused);
  EXPECT_EQ(*data.content, before);
  EXPECT_EQ(files.backup, std::nullopt);
}

TEST_F(TaskFileTest, FailingStepLeavesTheDataFileAsItWas) {
  for (const char* failing : {"BeginChange", "ReadText", "ReplaceText", "CommitChange"}) {
    SCOPED_TRACE(failing);
    FakeTaskFiles fresh;
    FakeProfileFile& freshData = fresh.DataFile();
    Store(freshData, "Important", "100", Numbered(0));
    Store(freshData, "Important", "101", Numbered(1));
    StoreFlag(freshData, "101", "R");
    const FakeContent before = *freshData.content;
    auto rows = LoadCategory(freshData, Category::Important).rows;
    std::swap(rows[0], rows[1]);
    rows.push_back({Numbered(2), Category::Important, ""});
    fresh.fail = [failing](std::string_view operation) { return operation == failing; };
    EXPECT_EQ(WriteCategory(fresh, Category::Important, rows), SaveResult::kWriteFailed);
    EXPECT_EQ(*freshData.content, before);
    EXPECT_FALSE(fresh.StagingExists());
    // The rows still name the keys they were read under, so a later rewrite
    // still finds their flags.
    EXPECT_EQ(KeysOf(rows), (std::vector<std::string>{"101", "100", ""}));
    fresh.fail = nullptr;
    ASSERT_EQ(WriteCategory(fresh, Category::Important, rows), SaveResult::kSaved);
    EXPECT_EQ(Flags(freshData), (Flagged{{"100", "R"}, {"101", "A"}, {"102", "A"}}));
  }
}

TEST_F(TaskFileTest, FailingWriteOfOthersLeavesThePasswordInPlace) {
  StoreSample();
  const FakeContent before = *data.content;
  files.fail = [](std::string_view operation) { return operation == "ReplaceText"; };
  std::vector<TaskRow> rows;
  EXPECT_EQ(WriteCategory(files, Category::Others, rows), SaveResult::kWriteFailed);
  EXPECT_EQ(*data.content, before);
}

// --- Single values: a reminder flag, the password ------------------------

TEST_F(TaskFileTest, ReminderFlagIsWrittenAloneUnderItsKey) {
  StoreSample();
  const auto important = data.RawLines("Important");
  const auto others = data.RawLines("Others");
  ASSERT_EQ(WriteReminderFlag(files, "101", 'R'), SaveResult::kSaved);
  EXPECT_EQ(ReadReminderFlag(data, "101"), "R");
  EXPECT_EQ(Flags(data), (Flagged{{"100", "R"}, {"101", "R"}, {"102", "R"}}));
  ASSERT_EQ(WriteReminderFlag(files, "100", 'A'), SaveResult::kSaved);
  EXPECT_EQ(Flags(data), (Flagged{{"100", "A"}, {"101", "R"}, {"102", "R"}}));
  EXPECT_EQ(data.RawLines("Important"), important);
  EXPECT_EQ(data.RawLines("Others"), others);
}

TEST_F(TaskFileTest, ReminderFlagThatCannotBeWrittenChangesNothing) {
  StoreSample();
  const FakeContent before = *data.content;
  EXPECT_EQ(WriteReminderFlag(files, "101", '\x85'), SaveResult::kRefused);
  EXPECT_EQ(*data.content, before);
  for (const char* failing : {"BeginChange", "ReadText", "ReplaceText", "CommitChange"}) {
    files.fail = [failing](std::string_view operation) { return operation == failing; };
    EXPECT_EQ(WriteReminderFlag(files, "101", 'R'), SaveResult::kWriteFailed) << failing;
    EXPECT_EQ(*data.content, before) << failing;
  }
}

TEST_F(TaskFileTest, PasswordIsStoredScrambledAndRemovedWhenEmpty) {
  Store(data, "Others", "100", Numbered(1));
  ASSERT_EQ(WritePassword(files, "Sesam"), SaveResult::kSaved);
  EXPECT_NE(ReadStoredPassword(data), "Sesam");
  EXPECT_EQ(ScrambleText(ReadStoredPassword(data)), "Sesam");

  ASSERT_EQ(WritePassword(files, ""), SaveResult::kSaved);
  EXPECT_EQ(ReadStoredPassword(data), "");
  EXPECT_EQ(data.KeyNames("Others"), std::vector<std::string>{"100"});
  EXPECT_EQ(TasksOf(Load(Category::Others)), std::vector<Task>{Numbered(1)});
}

TEST_F(TaskFileTest, PasswordWhoseStoredFormBeginsWithAQuoteComesBackWhole) {
  // "µ" scrambles to a double quote under the first key digit.
  const std::string password = "\xB5geheim";
  ASSERT_EQ(ScrambleText(password)->front(), '"');
  ASSERT_EQ(WritePassword(files, password), SaveResult::kSaved);
  EXPECT_EQ(ScrambleText(ReadStoredPassword(data)), password);
  // Carried over unchanged by a rewrite of the others.
  std::vector<TaskRow> rows{{Numbered(1), Category::Others, ""}};
  ASSERT_EQ(WriteCategory(files, Category::Others, rows), SaveResult::kSaved);
  EXPECT_EQ(ScrambleText(ReadStoredPassword(data)), password);
}

TEST_F(TaskFileTest, PasswordThatCannotBeStoredChangesNothing) {
  StoreSample();
  const FakeContent before = *data.content;
  EXPECT_EQ(WritePassword(files, "\x80uro"), SaveResult::kRefused);
  files.fail = [](std::string_view operation) { return operation == "ReplaceText"; };
  EXPECT_EQ(WritePassword(files, "neu"), SaveResult::kWriteFailed);
  EXPECT_EQ(WritePassword(files, ""), SaveResult::kWriteFailed);
  EXPECT_EQ(*data.content, before);
}

}  // namespace
}  // namespace ordalis
