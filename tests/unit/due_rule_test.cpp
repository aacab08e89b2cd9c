#include <gtest/gtest.h>

#include "reminders/due_rule.h"

namespace ordalis {
namespace {

LocalTime At(int year, int month, int day, int hour, int minute, int second = 0) {
  return {year, month, day, hour, minute, second, 0};
}

TEST(DueRule, StoredFormsHaveFixedSeparators) {
  EXPECT_EQ(FormatDate(At(2026, 3, 7, 0, 0)), "03-07-2026");
  EXPECT_EQ(FormatTime(At(2026, 3, 7, 9, 5)), "09:05");
  EXPECT_DOUBLE_EQ(SecondsSinceMidnight({2026, 1, 1, 23, 59, 59, 500}), 86399.5);
}

TEST(DueRule, AtStartImportantTasksMatchTheMinuteOthersTheDay) {
  const LocalTime now = At(2026, 12, 8, 14, 30, 45);
  EXPECT_TRUE(IsDueAtStart({"12-08-2026", "14:30", "x"}, true, now));
  EXPECT_FALSE(IsDueAtStart({"12-08-2026", "14:29", "x"}, true, now));
  EXPECT_TRUE(IsDueAtStart({"12-08-2026", "00:00", "x"}, false, now));
  EXPECT_FALSE(IsDueAtStart({"12-07-2026", "14:30", "x"}, false, now));
}

}  // namespace
}  // namespace ordalis
