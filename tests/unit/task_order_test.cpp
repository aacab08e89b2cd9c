#include <gtest/gtest.h>

#include "storage/task_order.h"

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

TEST(TaskOrder, MalformedDatesGoLastInTheirOwnOrderAndEqualDatesKeepTheirOrder) {
  // Dashes where digits belong used to reach the number conversion.
  std::vector<TaskRow> rows = {Row("01----2026", "", "dashes"),  Row("", "", "empty"),
                               Row("---01-2026", "", "leading"), Row("03-01-2026", "", "first"),
                               Row("01-01---26", "", "year"),    Row("abc", "", "letters"),
                               Row("1-5-2027", "", "short"),     Row("03-01-2026", "", "second"),
                               Row("01-01-2026", "", "earliest")};
  SortRows(rows, SortColumn::kDate);
  EXPECT_EQ(Descriptions(rows),
            (std::vector<std::string>{"earliest", "first", "second", "empty", "leading", "dashes",
                                      "year", "short", "letters"}));
}

TEST(TaskOrder, TimesSortAsText) {
  std::vector<TaskRow> rows = {Row("", "23:10", "late"), Row("", "08:00", "early"),
                               Row("", "", "none"), Row("", "12:00", "noon")};
  SortRows(rows, SortColumn::kTime);
  EXPECT_EQ(Descriptions(rows), (std::vector<std::string>{"none", "early", "noon", "late"}));
}

TEST(TaskOrder, DescriptionsSortAsAGermanDictionaryDoes) {
  // Case is ignored, umlauts sort with their base letter, "\xDF" as "ss";
  // descriptions that tie keep their order.
  std::vector<TaskRow> rows;
  for (const char* description : {"zz",
                                  "\xDC"
                                  "ber",
                                  "Strasse",
                                  "Ma\xDF"
                                  "e",
                                  "apfel", "Mast", "\xD6l", "Abend", "Masse",
                                  "Stra\xDF"
                                  "e",
                                  "ol", "\xC4pfel", "\xE4rger",
                                  "\xB0"
                                  "C",
                                  "Bank",
                                  "\xFC"
                                  "bel"}) {
    rows.push_back(Row("", "", description));
  }
  SortRows(rows, SortColumn::kDescription);
  EXPECT_EQ(Descriptions(rows),
            (std::vector<std::string>{"Abend", "apfel", "\xC4pfel", "\xE4rger", "Bank",
                                      "Ma\xDF"
                                      "e",
                                      "Masse", "Mast", "\xD6l", "ol", "Strasse",
                                      "Stra\xDF"
                                      "e",
                                      "\xFC"
                                      "bel",
                                      "\xDC"
                                      "ber",
                                      "zz",
                                      "\xB0"
                                      "C"}));
}

}  // namespace
}  // namespace ordalis
