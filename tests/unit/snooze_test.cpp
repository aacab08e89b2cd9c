// "Später erinnern": a snoozed task comes again once at its time, read from
// the file at every check, whatever the clock does; the bar's words and the
// icon's tip.
#include "reminders/snooze.h"

#include <gtest/gtest.h>

#include "fake_task_files.h"
#include "german_date.h"
#include "reminders/reminder_schedule.h"
#include "storage/scrambler.h"
#include "storage/task_codec.h"
#include "storage/task_store.h"

namespace ordalis {
namespace {

LocalTime At(int year, int month, int day, int hour, int minute, int second = 0) {
  return {year, month, day, hour, minute, second, 0};
}

std::string Shown(long long minute) {
  const LocalTime time = TimeOfMinute(minute);
  return FormatDate(time) + " " + FormatTime(time);
}

TaskRow Row(std::string key, std::string date, std::string time, std::string text = "Aufgabe") {
  TaskRow row;
  row.task = {std::move(date), std::move(time), std::move(text)};
  row.key = std::move(key);
  return row;
}

TEST(Snooze, EachChoiceFromItsMomentAndTheMorningAfterTheNight) {
  const struct {
    LocalTime now;
    SnoozeChoice choice;
    const char* until;
  } cases[] = {
      {At(2026, 12, 8, 10, 0, 30), SnoozeChoice::kMinutes5, "12-08-2026 10:05"},
      {At(2026, 12, 31, 23, 58), SnoozeChoice::kMinutes10, "01-01-2027 00:08"},
      {At(2026, 12, 8, 10, 0), SnoozeChoice::kMinutes30, "12-08-2026 10:30"},
      {At(2028, 2, 28, 23, 30), SnoozeChoice::kHour1, "02-29-2028 00:30"},
      {At(2026, 12, 8, 22, 0), SnoozeChoice::kHours4, "12-09-2026 02:00"},
      {At(2026, 12, 8, 23, 59), SnoozeChoice::kTomorrowMorning, "12-09-2026 08:00"},
      {At(2026, 12, 9, 0, 1), SnoozeChoice::kTomorrowMorning, "12-09-2026 08:00"},
      {At(2026, 12, 9, 3, 59), SnoozeChoice::kTomorrowMorning, "12-09-2026 08:00"},
      {At(2026, 12, 9, 4, 0), SnoozeChoice::kTomorrowMorning, "12-10-2026 08:00"},
      {At(2026, 12, 9, 9, 0), SnoozeChoice::kTomorrowMorning, "12-10-2026 08:00"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Shown(SnoozeUntil(c.choice, c.now)), c.until)
        << FormatDate(c.now) << ' ' << FormatTime(c.now) << " choice "
        << static_cast<int>(c.choice);
  }
  EXPECT_EQ(SnoozeChoiceFromNumber(5), SnoozeChoice::kTomorrowMorning);
  EXPECT_FALSE(SnoozeChoiceFromNumber(6) || SnoozeChoiceFromNumber(-1));
}

// The task "Zahnarzt" of 10:00 was reminded (flag "R") and snoozed; each
// tick reads the file as a start would and stores the ring as the window
// does.
class SnoozeFile : public testing::Test {
 protected:
  void SetUp() override {
    files.DataFile().SetRaw("Important", "100", *EncodeTask({"12-08-2026", "10:00", "Zahnarzt"}));
    files.DataFile().SetRaw(kReminderSection, "100", *ScrambleText("R"));
  }
  ReminderTasks Tasks() { return ReminderTasksOf(*files.DataFile().ReadText()); }
  TaskRow Task() { return store.Load(Category::Important)->rows.at(0); }
  // The keys that ring now; each ring is stored as over.
  std::vector<std::string> Ring(const LocalTime& now) {
    const ReminderTasks tasks = Tasks();
    const auto due = ReminderSchedule::DueTasks(tasks.important, tasks.flags, now, tasks.snoozes);
    std::vector<std::string> keys;
    for (const TaskRow& row : due) keys.push_back(row.key);
    if (!due.empty()) {
      EXPECT_EQ(store.SetReminderFlags(due, 'R'), SaveResult::kSaved);
    }
    return keys;
  }

  test::FakeTaskFiles files;
  TaskStore store{files};
};

TEST_F(SnoozeFile, RingsOnceAtItsTimeWhateverTheClockDoes) {
  using Keys = std::vector<std::string>;
  const Keys none, task{"100"};
  const struct {
    const char* name;
    LocalTime snoozedAt;
    SnoozeChoice choice;
    std::vector<std::pair<LocalTime, Keys>> ticks;
  } cases[] = {
      {"ten minutes: once at +10, never before",
       At(2026, 12, 8, 10, 0, 30),
       SnoozeChoice::kMinutes10,
       {{At(2026, 12, 8, 10, 5), none},
        {At(2026, 12, 8, 10, 9, 59), none},
        {At(2026, 12, 8, 10, 10), task},
        {At(2026, 12, 8, 10, 10, 30), none},
        {At(2026, 12, 8, 11, 0), none}}},
      {"across midnight",
       At(2026, 12, 8, 23, 55),
       SnoozeChoice::kMinutes30,
       {{At(2026, 12, 9, 0, 0), none}, {At(2026, 12, 9, 0, 25), task}}},
      {"a sleep of three hours over the snooze",
       At(2026, 12, 8, 10, 1),
       SnoozeChoice::kMinutes10,
       {{At(2026, 12, 8, 10, 5), none},
        {At(2026, 12, 8, 13, 5), task},
        {At(2026, 12, 8, 13, 5, 30), none}}},
      {"the clock set back an hour after the ring",
       At(2026, 12, 8, 10, 0),
       SnoozeChoice::kMinutes5,
       {{At(2026, 12, 8, 10, 5), task},
        {At(2026, 12, 8, 9, 5), none},
        {At(2026, 12, 8, 10, 5), none}}},
      {"the morning after a late evening",
       At(2026, 12, 8, 23, 59),
       SnoozeChoice::kTomorrowMorning,
       {{At(2026, 12, 9, 7, 59), none}, {At(2026, 12, 9, 8, 0), task}}},
      {"the morning of the same date after midnight",
       At(2026, 12, 9, 0, 1),
       SnoozeChoice::kTomorrowMorning,
       {{At(2026, 12, 9, 7, 59), none}, {At(2026, 12, 9, 8, 0, 10), task}}},
      {"more than seven days late: over, like a task",
       At(2026, 12, 8, 10, 0),
       SnoozeChoice::kMinutes5,
       {{At(2026, 12, 15, 10, 6), none}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(store.Snooze({Task()}, SnoozeUntil(c.choice, c.snoozedAt)), SaveResult::kSaved);
    const std::string line = *files.DataFile().ReadText();
    EXPECT_NE(line.find("100=" + *EncodeTask({"12-08-2026", "10:00", "Zahnarzt"})),
              std::string::npos);  // the task's own line stays as it was
    for (const auto& [now, rings] : c.ticks) {
      EXPECT_EQ(Ring(now), rings) << FormatDate(now) << ' ' << FormatTime(now);
    }
  }
}

TEST_F(SnoozeFile, AChangedTimeEndsItAndTheTaskTakesItWithIt) {
  const long long until = SnoozeUntil(SnoozeChoice::kHour1, At(2026, 12, 8, 10, 0));
  // A new description keeps the snooze; a new time ends it.
  ASSERT_EQ(store.Snooze({Task()}, until), SaveResult::kSaved);
  ASSERT_EQ(store.Edit(Task(), {"12-08-2026", "10:00", "Zahnarzt Dr. Ohm"}), SaveResult::kSaved);
  EXPECT_EQ(Tasks().snoozes.at("100"), until);
  ASSERT_EQ(store.Edit(Task(), {"12-08-2026", "12:00", "Zahnarzt Dr. Ohm"}), SaveResult::kSaved);
  EXPECT_TRUE(Tasks().snoozes.empty());
  EXPECT_EQ(Ring(At(2026, 12, 8, 11, 0)), std::vector<std::string>{});
  EXPECT_EQ(Ring(At(2026, 12, 8, 12, 0)), std::vector<std::string>{"100"});
  // Finished or deleted, the task takes its snooze along; a new task under
  // the key starts without one.
  for (const bool done : {true, false}) {
    ASSERT_EQ(store.Snooze({Task()}, until), SaveResult::kSaved);
    ASSERT_EQ(done ? store.MoveToDone(Task()) : store.Remove(Task()), SaveResult::kSaved);
    EXPECT_EQ(files.DataFile().ReadText()->find("[Snooze]\r\n100"), std::string::npos);
    ASSERT_EQ(store.Add(Category::Important, {"12-08-2026", "10:00", "Zahnarzt"}),
              SaveResult::kSaved);
  }
}

TEST_F(SnoozeFile, ADamagedSnoozeIsIgnoredAndTold) {
  files.DataFile().SetRaw(kSnoozeSection, "100", *ScrambleText("02-30-2026 08:00"));
  files.DataFile().SetRaw(kSnoozeSection, "101", "kaputt\x01");
  EXPECT_TRUE(Tasks().snoozes.empty());
  std::vector<std::string> told;
  const std::optional<CategoryLoad> load = store.Load(Category::Important);
  for (const UnreadableEntry& entry : load->unreadable) {
    told.push_back(entry.section + "/" + entry.key);
  }
  EXPECT_EQ(told, (std::vector<std::string>{"Snooze/100", "Snooze/101"}));
  // The task is reminded as if it had none: flagged, it stays quiet.
  EXPECT_EQ(Ring(At(2026, 12, 8, 10, 5)), std::vector<std::string>{});
}

TEST(Snooze, TheHourlyReminderPassesOverOneHour) {
  ReminderSchedule schedule;
  schedule.ArmHourly(At(2026, 12, 8, 14, 0, 10));
  schedule.SkipNextHour(At(2026, 12, 8, 14, 20));
  EXPECT_FALSE(schedule.HourDue(At(2026, 12, 8, 15, 0, 10)));
  EXPECT_TRUE(schedule.HourDue(At(2026, 12, 8, 16, 0, 10)));
  EXPECT_TRUE(schedule.HourDue(At(2026, 12, 8, 17, 0, 10)));
}

// The timers wait for their minute instead of ticking: the due check's for
// the next task that will be found, the snooze's for the next snooze.
TEST(Snooze, TheTimersWaitForTheNextMinuteThatBringsSomething) {
  const LocalTime now = At(2026, 12, 8, 14, 20, 30);
  ReminderTasks tasks;
  tasks.important = {Row("100", "12-08-2026", "14:00"),  // reminded
                     Row("101", "12-08-2026", "18:00"),  // flagged
                     Row("102", "12-08-2026", "16:45"),  // snoozed
                     Row("103", "12-09-2026", "08:00"),  // the next one
                     Row("104", "12-10-2026", "07:00"),
                     Row("105", "11-30-2026", "09:00")};  // beyond the seven days
  tasks.flags = {{"100", "R"}, {"101", "R"}};
  tasks.snoozes = {{"102", MinuteNumber(At(2026, 12, 8, 15, 0))}};
  ReminderSchedule schedule;
  EXPECT_EQ(schedule.NextDue(tasks, now), MinuteNumber(At(2026, 12, 9, 8, 0)));
  EXPECT_EQ(schedule.NextSnooze(tasks, now), MinuteNumber(At(2026, 12, 8, 15, 0)));
  // One stored a moment ago for this minute, or due and not reminded: now.
  tasks.important.push_back(Row("106", "12-08-2026", "14:20"));
  EXPECT_EQ(schedule.NextDue(tasks, now), MinuteNumber(now));
  tasks.important.resize(3);
  EXPECT_EQ(schedule.NextDue(tasks, now), std::nullopt);  // nothing to wait for

  // From 14:20:30 to 15:00, and never less than a second nor more than the
  // longest wait.
  EXPECT_EQ(MillisecondsUntil(MinuteNumber(At(2026, 12, 8, 15, 0)), now, 360), 39u * 60000 + 30000);
  EXPECT_EQ(MillisecondsUntil(MinuteNumber(now), now, 360), 1000u);
  EXPECT_EQ(MillisecondsUntil(MinuteNumber(At(2026, 12, 10, 0, 0)), now, 360),
            360u * 60000 - 30000);
}

TEST(Snooze, TheBarAndTheTipSayWhatIsDue) {
  const DateFormatter german = test::GermanDate;
  EXPECT_EQ(BarFor({Row("100", "12-08-2026", "09:00", "Zahnarzt")}, german).text,
            "F\xE4llig: 08.12.2026 09:00 Zahnarzt");
  EXPECT_EQ(
      BarFor({Row("100", "12-08-2026", "09:00"), Row("101", "12-08-2026", "09:30")}, german).text,
      "2 Aufgaben f\xE4llig");
  EXPECT_TRUE(BarFor({}, german).Hour());

  const std::vector<TaskRow> day = {
      Row("100", "12-08-2026", "14:30", "Zahnarzt"), Row("101", "12-08-2026", "09:00", "Bahn"),
      Row("102", "12-08-2026", "", "Einkauf"), Row("103", "12-09-2026", "08:00", "Morgen")};
  const LocalTime noon = At(2026, 12, 8, 12, 0);
  EXPECT_EQ(TrayTip(day, noon, false),
            "Ordalis \x96 heute 3 Aufgaben, n\xE4"
            "chste 14:30 Zahnarzt");
  EXPECT_EQ(TrayTip(day, noon, true), "Ordalis");
  EXPECT_EQ(TrayTip(day, At(2026, 12, 8, 15, 0), false), "Ordalis \x96 heute 3 Aufgaben");
  EXPECT_EQ(TrayTip(day, At(2026, 12, 10, 9, 0), false), "Ordalis \x96 heute keine Aufgaben");
  const std::string cut =
      TrayTip({Row("100", "12-08-2026", "14:30", std::string(200, 'x'))}, noon, false, 60);
  EXPECT_EQ(cut.size(), 60u);
  EXPECT_EQ(cut.back(), '\x85');
  // The tip changes just after the next task of today, else at midnight.
  EXPECT_EQ(Shown(TipChangesAt(day, noon)), "12-08-2026 14:31");
  EXPECT_EQ(Shown(TipChangesAt(day, At(2026, 12, 8, 15, 0))), "12-09-2026 00:00");
}

}  // namespace
}  // namespace ordalis
