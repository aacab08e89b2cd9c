// Lines of the task file that are no task to show: the load counts them,
// the user's actions leave them byte for byte where they stand.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/task_file_reads.h"
#include "fake_task_files.h"
#include "storage/profile_format.h"
#include "storage/scrambler.h"
#include "storage/task_codec.h"
#include "storage/task_file.h"
#include "storage/task_store.h"

namespace ordalis {
namespace {

using test::FakeTaskFiles;

Task Numbered(int n) {
  return {"05-" + std::to_string(10 + n % 18) + "-2024", "10:00", "Aufgabe " + std::to_string(n)};
}

std::string Line(const std::string& key, const Task& task) {
  return key + "=" + ProtectProfileValue(*EncodeTask(task)) + "\r\n";
}
std::string FlagLine(const std::string& key, const char* flag) {
  return key + "=" + ProtectProfileValue(*ScrambleText(flag)) + "\r\n";
}

TEST(TaskFileKeptLines, ForeignLinesAreCountedAndSurviveEveryActionByteForByte) {
  struct Case {
    const char* name;
    std::string lines;  // at the end of the important section
    size_t hidden;
  };
  const Case cases[] = {
      {"key 99", "99=x\r\n", 1},
      {"leading zero", "0105=" + *EncodeTask(Numbered(5)) + "\r\n", 1},
      {"four digits", "1000=x\r\n", 1},
      {"letters", "abc=x\r\n", 1},
      {"200 and beyond", "200=x\r\n249=" + *EncodeTask(Numbered(6)) + "\r\n", 2},
      {"line without =", "just words\r\n", 1},
      {"a task key twice", Line("100", Numbered(7)), 1},
      {"a second section of the name", "[important]\r\n" + Line("100", Numbered(8)), 1},
      {"blank line and note", "\r\n; note\r\n", 0},
      {"odd spacing", "  99  =  x  \r\n", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeTaskFiles files;
    const std::string head = "; by hand\r\n[Important]\r\n";
    const std::string others =
        "[Others]\r\n" + Line("100", Numbered(9)) + "200=" + *ScrambleText("geheim") + "\r\n";
    files.DataFile().content =
        head + Line("100", Numbered(0)) + Line("101", Numbered(1)) + c.lines + others;

    TaskStore store(files);
    const std::optional<CategoryLoad> load = store.Load(Category::Important);
    ASSERT_TRUE(load);
    EXPECT_EQ(load->hidden, c.hidden);
    ASSERT_EQ(load->rows.size(), 2u);
    EXPECT_EQ(LoadCategory(files.Data(), Category::All).hidden, c.hidden);

    const TaskRow& first = load->rows[0];
    const Task renamed{first.task.date, first.task.time, "umbenannt"};
    ASSERT_EQ(store.SetReminderFlags({first}, 'R'), SaveResult::kSaved);
    ASSERT_EQ(store.Edit(first, renamed), SaveResult::kSaved);
    ASSERT_EQ(store.MoveToDone(load->rows[1]), SaveResult::kSaved);
    ASSERT_EQ(store.Add(Category::Others, Numbered(3)), SaveResult::kSaved);
    EXPECT_EQ(*files.DataFile().content, head + Line("100", renamed) + c.lines + others +
                                             Line("101", Numbered(3)) + "[Reminder]\r\n" +
                                             FlagLine("100", "R") + "[Done]\r\n" +
                                             Line("100", Numbered(1)));
    EXPECT_EQ(LoadCategory(files.Data(), Category::Important).hidden, c.hidden);
  }
}

TEST(TaskFileKeptLines, HundredAndFiftyTasksShowTheFirstHundredAndKeepTheRest) {
  FakeTaskFiles files;
  std::string managed, rest;
  for (int key = 100; key < 250; ++key) {
    (key < 200 ? managed : rest) += Line(std::to_string(key), Numbered(key));
  }
  const std::string before = "[Done]\r\n" + managed + rest;
  files.DataFile().content = before;
  TaskStore store(files);
  const std::optional<CategoryLoad> load = store.Load(Category::Done);
  ASSERT_TRUE(load);
  EXPECT_EQ(load->rows.size(), 100u);
  EXPECT_EQ(load->hidden, 50u);

  // Every task key is taken: nothing more fits, and nothing is written.
  EXPECT_EQ(store.Add(Category::Done, Numbered(1)), SaveResult::kTooMany);
  EXPECT_EQ(*files.DataFile().content, before);
  ASSERT_EQ(store.Remove(load->rows.front()), SaveResult::kSaved);
  ASSERT_EQ(store.Add(Category::Done, Numbered(1)), SaveResult::kSaved);
  EXPECT_EQ(store.StoredKey(), "100");
  EXPECT_EQ(*files.DataFile().content, "[Done]\r\n" +
                                           managed.substr(Line("100", Numbered(100)).size()) +
                                           rest + Line("100", Numbered(1)));
}

}  // namespace
}  // namespace ordalis
