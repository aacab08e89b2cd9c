#include <gtest/gtest.h>

#include "mainwindow/task_order.h"

namespace ordalis {
namespace {

std::vector<std::string> Descriptions(const std::vector<TaskRow>& rows) {
  std::vector<std::string> result;
  for (const TaskRow& row : rows) result.push_back(row.task.description);
  return result;
}

TaskRow Row(std::string date, std::string time, std::string description) {
  return {{std::move(date), std::move(time), std::move(description)}, Category::Important, ""};
}

TEST(TaskOrder, DatesSortByYearThenMonthThenDay) {
  std::vector<TaskRow> rows = {
      Row("01-05-2027", "", "next January"), Row("12-24-2026", "", "Christmas"),
      Row("02-01-2026", "", "last February"), Row("12-09-2026", "", "early December")};
  SortRows(rows, SortColumn::kDate);
  EXPECT_EQ(Descriptions(rows), (std::vector<std::string>{"last February", "early December",
                                                          "Christmas", "next January"}));
}

TEST(TaskOrder, MalformedDatesGoLastAndEqualDatesKeepTheirOrder) {
  std::vector<TaskRow> rows = {Row("", "", "no date"), Row("1-5-2027", "", "short"),
                               Row("03-01-2026", "", "first"), Row("03-01-2026", "", "second")};
  SortRows(rows, SortColumn::kDate);
  EXPECT_EQ(Descriptions(rows), (std::vector<std::string>{"first", "second", "no date", "short"}));
}

TEST(TaskOrder, TimesSortAsTextAndDescriptionsWithoutCase) {
  std::vector<TaskRow> rows = {Row("", "23:10", "beta"), Row("", "08:00", "Alpha"),
                               Row("", "", "\xC4rger"),        // "Ärger"
                               Row("", "12:00", "\xE4pfel")};  // "äpfel"
  SortRows(rows, SortColumn::kTime);
  EXPECT_EQ(Descriptions(rows),
            (std::vector<std::string>{"\xC4rger", "Alpha", "\xE4pfel", "beta"}));
  SortRows(rows, SortColumn::kDescription);
  // Upper- and lower-case umlauts fold together, after the plain letters.
  EXPECT_EQ(Descriptions(rows),
            (std::vector<std::string>{"Alpha", "beta", "\xE4pfel", "\xC4rger"}));
}

TEST(TaskOrder, ANewRowJoinsAfterItsEquals) {
  const std::vector<TaskRow> rows = {Row("01-01-2026", "", "a"), Row("02-01-2026", "", "b"),
                                     Row("02-01-2026", "", "c"), Row("01-01-2027", "", "d")};
  EXPECT_EQ(InsertPosition(rows, {"02-01-2026", "", "new"}, SortColumn::kDate), 3u);
  EXPECT_EQ(InsertPosition(rows, {"12-31-2025", "", "new"}, SortColumn::kDate), 0u);
  EXPECT_EQ(InsertPosition(rows, {"12-31-2026", "", "new"}, SortColumn::kDate), 3u);
  EXPECT_EQ(InsertPosition(rows, {"02-02-2027", "", "new"}, SortColumn::kDate), 4u);
}

}  // namespace
}  // namespace ordalis
