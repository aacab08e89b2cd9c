// Recurring tasks: the next date of every rule, late or not, through short
// months and leap years; the rule as the file keeps it; and the series going
// on in the same change that puts a task into "Erledigtes".
#include "storage/repeat_rule.h"

#include <gtest/gtest.h>

#include "common/task_file_reads.h"
#include "fake_task_files.h"
#include "storage/task_codec.h"
#include "storage/task_store.h"

namespace ordalis {
namespace {

LocalTime Date(int year, int month, int day) {
  return {year, month, day};
}

LocalTime Late(const LocalTime& day, int days) {
  return TimeOfMinute((DayNumber(day) + days) * 24 * 60);
}

TEST(RepeatRule, NextDateAfterTheTaskAndToday) {
  using K = RepeatKind;
  const LocalTime monday = Date(2026, 12, 7), friday = Date(2026, 12, 11),
                  jan31 = Date(2027, 1, 31), feb29 = Date(2028, 2, 29), dec31 = Date(2026, 12, 31);
  const struct {
    K kind;
    LocalTime task;
    int late;  // days from the task's date to today
    const char* next;
    RepeatRule start{};  // the series' first day, when not the task's
  } cases[] = {
      {K::kDaily, monday, 0, "12-08-2026"},
      {K::kDaily, monday, 1, "12-09-2026"},
      {K::kDaily, monday, 40, "01-17-2027"},
      {K::kWeekdays, monday, 0, "12-08-2026"},
      {K::kWeekdays, monday, 40, "01-18-2027"},  // today a Saturday
      {K::kWeekdays, friday, 0, "12-14-2026"},
      {K::kWeekdays, friday, 1, "12-14-2026"},
      {K::kWeekly, monday, 0, "12-14-2026"},
      {K::kWeekly, friday, 1, "12-18-2026"},
      {K::kWeekly, monday, 40, "01-18-2027"},  // missed weeks skipped, on its weekday
      {K::kFortnightly, monday, 0, "12-21-2026"},
      {K::kFortnightly, dec31, 40, "02-11-2027"},
      {K::kMonthly, monday, 0, "01-07-2027"},
      {K::kMonthly, monday, 40, "02-07-2027"},
      {K::kMonthly, jan31, 0, "02-28-2027"},
      {K::kMonthly, Date(2027, 2, 28), 0, "03-31-2027", {K::kMonthly, 1, 31}},
      {K::kMonthly, jan31, 40, "03-31-2027"},
      {K::kMonthly, feb29, 1, "03-29-2028"},
      {K::kMonthly, dec31, 0, "01-31-2027"},
      {K::kYearly, monday, 40, "12-07-2027"},
      {K::kYearly, jan31, 0, "01-31-2028"},
      {K::kYearly, feb29, 0, "02-28-2029"},
      {K::kYearly, Date(2031, 2, 28), 1, "02-29-2032", {K::kYearly, 2, 29}},
      {K::kYearly, dec31, 0, "12-31-2027"},
      {K::kDaily, dec31, 0, "01-01-2027"},
      {K::kWeekdays, dec31, 0, "01-01-2027"},
      {K::kWeekdays, jan31, 0, "02-01-2027"},
      {K::kDaily, feb29, 0, "03-01-2028"},
      // Daylight saving changes the clock, not the dates.
      {K::kWeekdays, Date(2026, 3, 27), 0, "03-30-2026"},
      {K::kWeekly, Date(2026, 3, 28), 0, "04-04-2026"},
      {K::kDaily, Date(2026, 10, 24), 1, "10-26-2026"},
  };
  for (const auto& c : cases) {
    RepeatRule rule = c.start;
    if (rule.kind == K::kNever) rule = {c.kind, c.task.month, c.task.day};
    const auto next = NextInSeries(rule, c.task, Late(c.task, c.late));
    ASSERT_TRUE(next);
    EXPECT_EQ(FormatDate(*next), c.next)
        << RepeatKindText(c.kind) << " from " << FormatDate(c.task) << " late " << c.late;
  }
  EXPECT_FALSE(NextInSeries({}, monday, monday));
}

TEST(RepeatRule, TheChosenRuleStartsOnTheTasksDateUnlessItKeepsItsSeries) {
  const RepeatRule on31{RepeatKind::kMonthly, 1, 31};
  EXPECT_EQ(ChosenRule(RepeatKind::kWeekly, "12-09-2026", {}, std::nullopt),
            (RepeatRule{RepeatKind::kWeekly, 12, 9}));
  // Shown on 28 February, the series of the 31st stays one.
  EXPECT_EQ(ChosenRule(RepeatKind::kMonthly, "02-28-2027", "02-28-2027", on31), on31);
  EXPECT_EQ(ChosenRule(RepeatKind::kMonthly, "03-15-2027", "02-28-2027", on31),
            (RepeatRule{RepeatKind::kMonthly, 3, 15}));
  EXPECT_EQ(ChosenRule(RepeatKind::kYearly, "02-28-2027", "02-28-2027", on31),
            (RepeatRule{RepeatKind::kYearly, 2, 28}));
  EXPECT_EQ(ChosenRule(RepeatKind::kNever, "02-28-2027", "02-28-2027", on31), RepeatRule{});
  EXPECT_EQ(ChosenRule(RepeatKind::kDaily, "2-28-27", {}, std::nullopt), RepeatRule{});
}

TEST(RepeatRule, StoredAsKindAndFirstDay) {
  EXPECT_EQ(RepeatRuleText({RepeatKind::kMonthly, 1, 31}), "5 01-31");
  EXPECT_EQ(RepeatRuleFromText("6 02-29"), (RepeatRule{RepeatKind::kYearly, 2, 29}));
  for (const char* damaged : {"", "0 01-01", "7 01-01", "5 02-30", "5 13-01", "5 1-31", "x"}) {
    EXPECT_FALSE(RepeatRuleFromText(damaged)) << damaged;
  }
}

TEST(RepeatRule, AWeeklyTaskDoneLeavesTheNextInOneChange) {
  test::FakeTaskFiles files;
  TaskStore store{files};
  const RepeatRule weekly{RepeatKind::kWeekly, 12, 7};
  ASSERT_EQ(store.Add(Category::Important, {"12-07-2026", "07:00", "M\xFCll"}, weekly),
            SaveResult::kSaved);
  const TaskRow task = store.Load(Category::Important)->rows.at(0);
  const size_t backups = files.history.size();
  ASSERT_EQ(store.MoveToDone(task, Date(2026, 12, 9)), SaveResult::kSaved);
  EXPECT_EQ(files.history.size(), backups + 1);
  const std::vector<TaskRow> open = store.Load(Category::Important)->rows;
  ASSERT_EQ(open.size(), 1u);
  EXPECT_EQ(open[0].task, (Task{"12-14-2026", "07:00", "M\xFCll"}));
  EXPECT_EQ(store.Load(Category::Done)->rows.at(0).task, task.task);
  const std::string text = FileText(files.Data());
  EXPECT_EQ(RepeatRulesOf(text), (RepeatRules{{"Important." + open[0].key, weekly}}));
  EXPECT_EQ(StoredFlag(files.Data(), open[0].key), "A");
  // Deleted, the task ends its series; a damaged rule counts as none and
  // is told.
  ASSERT_EQ(store.Remove(open[0]), SaveResult::kSaved);
  EXPECT_TRUE(RepeatRulesOf(FileText(files.Data())).empty());
  files.DataFile().SetRaw(kRepeatSection, "Others.100", "kaputt\x01");
  EXPECT_EQ(store.Load(Category::Important)->unreadable.size(), 1u);
}

}  // namespace
}  // namespace ordalis
