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

TEST(DueRule, ATaskOfTodayIsDueFromItsTimeUntilReminded) {
  const Task task{"12-08-2026", "09:00", "Zahnarzt"};
  EXPECT_FALSE(IsDue(task, "", At(2026, 12, 8, 8, 59)));
  EXPECT_TRUE(IsDue(task, "", At(2026, 12, 8, 9, 0)));
  EXPECT_TRUE(IsDue(task, "A", At(2026, 12, 8, 17, 30)));  // stays due all day
  EXPECT_FALSE(IsDue(task, "R", At(2026, 12, 8, 9, 0)));
  EXPECT_FALSE(IsDue(task, "", At(2026, 12, 9, 0, 0)));    // yesterday's task: never
  EXPECT_FALSE(IsDue(task, "", At(2026, 12, 7, 23, 59)));  // tomorrow's: not yet
}

TEST(DueRule, TasksNotInTheStoredFormAreNeverDue) {
  const LocalTime now = At(2026, 12, 8, 12, 0);
  EXPECT_FALSE(IsDue({"12-08-2026", "9:00", "x"}, "", now));
  EXPECT_FALSE(IsDue({"12-08-2026", "09.00", "x"}, "", now));
  EXPECT_FALSE(IsDue({"12-08-2026", "", "x"}, "", now));
  EXPECT_FALSE(IsDue({"12.08.2026", "09:00", "x"}, "", now));
}

TEST(DueRule, AtStartImportantTasksMatchTheMinuteOthersTheDay) {
  const LocalTime now = At(2026, 12, 8, 14, 30, 45);
  EXPECT_TRUE(IsDueAtStart({"12-08-2026", "14:30", "x"}, true, now));
  EXPECT_FALSE(IsDueAtStart({"12-08-2026", "14:29", "x"}, true, now));
  EXPECT_TRUE(IsDueAtStart({"12-08-2026", "00:00", "x"}, false, now));
  EXPECT_FALSE(IsDueAtStart({"12-07-2026", "14:30", "x"}, false, now));
}

TEST(HourlyRule, FiresOnTheFirstTickOfEachNewHourOnly) {
  HourlyRule rule;
  rule.Arm(At(2026, 12, 8, 10, 30, 12));
  EXPECT_FALSE(rule.Tick(At(2026, 12, 8, 10, 31, 12)));
  EXPECT_FALSE(rule.Tick(At(2026, 12, 8, 10, 59, 12)));
  EXPECT_TRUE(rule.Tick(At(2026, 12, 8, 11, 0, 12)));
  EXPECT_FALSE(rule.Tick(At(2026, 12, 8, 11, 1, 12)));  // once an hour
  // Drift: the first tick of the next hour falls into minute 1.
  EXPECT_FALSE(rule.Tick(At(2026, 12, 8, 11, 59, 59)));
  EXPECT_TRUE(rule.Tick(At(2026, 12, 8, 12, 1, 0)));
  // A new day at midnight is a new hour as well.
  EXPECT_FALSE(rule.Tick(At(2026, 12, 8, 23, 59, 30)));
  EXPECT_TRUE(rule.Tick(At(2026, 12, 9, 0, 0, 30)));
}

TEST(HourlyRule, ArmingInMinuteOneIsNoNewHour) {
  HourlyRule rule;
  rule.Arm(At(2026, 12, 8, 11, 0, 40));
  EXPECT_FALSE(rule.Tick(At(2026, 12, 8, 11, 1, 40)));
  HourlyRule late;
  late.Arm(At(2026, 12, 8, 10, 59, 40));
  EXPECT_TRUE(late.Tick(At(2026, 12, 8, 11, 0, 40)));
}

}  // namespace
}  // namespace ordalis
