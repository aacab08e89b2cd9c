#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/task_file_reads.h"
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

class TaskFileTest : public ::testing::Test {
 protected:
  FakeTaskFiles files;
  FakeProfileFile& data = files.DataFile();

  std::vector<TaskRow> Load(Category category) { return LoadCategory(data, category).rows; }

  // Important 100..102 with flags R, A, R; Others 100..101 and the password;
  // Done 100.
  void StoreSample() {
    for (int i = 0; i < 3; ++i) Store(data, "Important", KeyAt(i), Numbered(i));
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
    EXPECT_EQ(rows[i], (TaskRow{Numbered(i), Category::Important, KeyAt(i)}));
  }
  EXPECT_EQ(rows[3], (TaskRow{{"06-01-2024", "", "Steuer"}, Category::Others, "100"}));
  EXPECT_EQ(rows[4], (TaskRow{{"06-02-2024", "", "Reifen"}, Category::Others, "101"}));
}

TEST_F(TaskFileTest, MissingFileReadsAsEmpty) {
  EXPECT_TRUE(Load(Category::All).empty());
  EXPECT_TRUE(Load(Category::Done).empty());
  EXPECT_EQ(PasswordIn(data), "");
  EXPECT_EQ(StoredFlag(data, "100"), "");
}

// --- The password -------------------------------------------------------

TEST_F(TaskFileTest, PasswordIsStoredScrambledAndRemovedWhenEmpty) {
  Store(data, "Others", "100", Numbered(1));
  ASSERT_EQ(StorePassword(files, "Sesam"), SaveResult::kSaved);
  EXPECT_NE(PasswordIn(data), "Sesam");
  EXPECT_EQ(ScrambleText(PasswordIn(data)), "Sesam");

  ASSERT_EQ(StorePassword(files, ""), SaveResult::kSaved);
  EXPECT_EQ(PasswordIn(data), "");
  EXPECT_EQ(data.KeyNames("Others"), std::vector<std::string>{"100"});
  EXPECT_EQ(TasksOf(Load(Category::Others)), std::vector<Task>{Numbered(1)});
}

TEST_F(TaskFileTest, PasswordWhoseStoredFormBeginsWithAQuoteComesBackWhole) {
  // "µ" scrambles to a double quote under the first key digit.
  const std::string password = "\xB5geheim";
  ASSERT_EQ(ScrambleText(password)->front(), '"');
  ASSERT_EQ(StorePassword(files, password), SaveResult::kSaved);
  EXPECT_EQ(ScrambleText(PasswordIn(data)), password);
}

TEST_F(TaskFileTest, PasswordThatCannotBeStoredChangesNothing) {
  StoreSample();
  const FakeContent before = *data.content;
  EXPECT_EQ(StorePassword(files, "\x80uro"), SaveResult::kRefused);
  files.fail = [](std::string_view operation) { return operation == "ReplaceText"; };
  EXPECT_EQ(StorePassword(files, "neu"), SaveResult::kWriteFailed);
  EXPECT_EQ(StorePassword(files, ""), SaveResult::kWriteFailed);
  EXPECT_EQ(*data.content, before);
}

}  // namespace
}  // namespace ordalis
