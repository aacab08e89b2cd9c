// Lines of the task file that are no task to show: the load counts them, a
// rewrite leaves them byte for byte where they stand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_task_files.h"
#include "storage/profile_format.h"
#include "storage/scrambler.h"
#include "storage/task_codec.h"
#include "storage/task_file.h"

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

TEST(TaskFileKeptLines, ForeignLinesAreCountedAndSurviveARewriteByteForByte) {
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
    const std::string tail = "[Others]\r\n" + Line("100", Numbered(9));
    files.DataFile().content =
        head + Line("100", Numbered(0)) + Line("101", Numbered(1)) + c.lines + tail;

    CategoryLoad load = LoadCategory(files.Data(), Category::Important);
    EXPECT_EQ(load.hidden, c.hidden);
    ASSERT_EQ(load.rows.size(), 2u);
    EXPECT_EQ(LoadCategory(files.Data(), Category::All).hidden, c.hidden);

    std::vector<TaskRow> rows = {load.rows[1], load.rows[0], {Numbered(3), Category::Important}};
    ASSERT_EQ(WriteCategory(files, Category::Important, rows), SaveResult::kSaved);
    EXPECT_EQ(*files.DataFile().content,
              head + Line("100", Numbered(1)) + Line("101", Numbered(0)) +
                  Line("102", Numbered(3)) + c.lines + tail + "[Reminder]\r\n" +
                  FlagLine("100", "A") + FlagLine("101", "A") + FlagLine("102", "A"));
    EXPECT_EQ(LoadCategory(files.Data(), Category::Important).hidden, c.hidden);
  }
}

TEST(TaskFileKeptLines, HundredAndFiftyTasksShowTheFirstHundredAndKeepTheRest) {
  FakeTaskFiles files;
  std::string managed, rest;
  for (int key = 100; key < 250; ++key) {
    (key < 200 ? managed : rest) += Line(std::to_string(key), Numbered(key));
  }
  files.DataFile().content = "[Done]\r\n" + managed + rest;
  CategoryLoad load = LoadCategory(files.Data(), Category::Done);
  EXPECT_EQ(load.rows.size(), 100u);
  EXPECT_EQ(load.hidden, 50u);

  load.rows.erase(load.rows.begin());
  ASSERT_EQ(WriteCategory(files, Category::Done, load.rows), SaveResult::kSaved);
  std::string expected = "[Done]\r\n";
  for (int key = 100; key < 199; ++key) expected += Line(std::to_string(key), Numbered(key + 1));
  EXPECT_EQ(*files.DataFile().content, expected + rest);
}

TEST(TaskFileKeptLines, AnUnreadableTaskKeepsItsKeyItsValueAndItsFlag) {
  FakeTaskFiles files;
  // A tab scrambles into a code the scrambler refuses to read back.
  const std::string unreadable = "101=" + *ScrambleText("01-01-2024|10:00|a\tb") + "\r\n";
  files.DataFile().content = "[Important]\r\n" + Line("100", Numbered(0)) + unreadable +
                             Line("102", Numbered(2)) + "[Reminder]\r\n" + FlagLine("100", "A") +
                             FlagLine("101", "R") + FlagLine("102", "R");
  CategoryLoad load = LoadCategory(files.Data(), Category::Important);
  ASSERT_EQ(load.rows.size(), 2u);
  ASSERT_EQ(load.unreadable.size(), 1u);
  EXPECT_EQ(load.hidden, 0u);

  std::vector<TaskRow> rows = {load.rows[1], load.rows[0], {Numbered(3), Category::Important}};
  ASSERT_EQ(WriteCategory(files, Category::Important, rows), SaveResult::kSaved);
  EXPECT_EQ(*files.DataFile().content,
            "[Important]\r\n" + Line("100", Numbered(2)) + Line("102", Numbered(0)) +
                Line("103", Numbered(3)) + unreadable + "[Reminder]\r\n" + FlagLine("100", "R") +
                FlagLine("102", "A") + FlagLine("103", "A") + FlagLine("101", "R"));
  EXPECT_EQ(rows[1].key, "102");
  EXPECT_EQ(rows[2].key, "103");

  // It takes a place: with it, only 99 tasks fit.
  rows.clear();
  for (int i = 0; i < kMaxTasks; ++i) rows.push_back({Numbered(i), Category::Important});
  EXPECT_EQ(WriteCategory(files, Category::Important, rows), SaveResult::kTooMany);
  rows.pop_back();
  EXPECT_EQ(WriteCategory(files, Category::Important, rows), SaveResult::kSaved);
  EXPECT_EQ(rows.back().key, "199");
}

}  // namespace
}  // namespace ordalis
