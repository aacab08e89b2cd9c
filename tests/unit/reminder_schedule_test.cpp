// What the reminders say, as the clock moves: across midnight, through sleep,
// when the clock is set back or forward, at the daylight-saving changes and
// at the edge of the seven days.
#include "reminders/reminder_schedule.h"

#include <gtest/gtest.h>

#include "fake_task_files.h"
#include "german_date.h"
#include "storage/scrambler.h"
#include "storage/task_codec.h"

namespace ordalis {
namespace {

LocalTime At(int year, int month, int day, int hour, int minute, int second = 0) {
  return {year, month, day, hour, minute, second, 0};
}

TaskRow Row(std::string key, std::string date, std::string time) {
  TaskRow row;
  row.task = {std::move(date), std::move(time), "Aufgabe " + key};
  row.key = std::move(key);
  return row;
}

std::vector<std::string> Keys(const std::vector<TaskRow>& rows) {
  std::vector<std::string> keys;
  for (const TaskRow& row : rows) keys.push_back(row.key);
  return keys;
}

using Keyset = std::vector<std::string>;

struct Tick {
  LocalTime now;
  Keyset reminded;  // together, in date order; each is flagged after it
};

struct TimeTravel {
  const char* name;
  std::vector<TaskRow> tasks;
  std::vector<Tick> ticks;
};

TEST(ReminderSchedule, TimeTravelNeitherSkipsNorDoubles) {
  const std::vector<TimeTravel> cases = {
      {"the last tick of the day falls after midnight",
       {Row("100", "12-08-2026", "23:50")},
       {{At(2026, 12, 8, 23, 49, 50), {}}, {At(2026, 12, 9, 0, 0, 20), {"100"}}}},
      {"the PC sleeps from 23:45 to 08:00",
       {Row("100", "12-08-2026", "23:50"), Row("101", "12-09-2026", "07:30")},
       {{At(2026, 12, 8, 23, 45, 0), {}}, {At(2026, 12, 9, 8, 0, 5), {"100", "101"}}}},
      {"a dialog holds the 23:59 task back until 00:00:30",
       {Row("100", "12-09-2026", "00:00"), Row("101", "12-08-2026", "23:59")},
       {{At(2026, 12, 8, 23, 58, 30), {}},
        {At(2026, 12, 9, 0, 0, 30), {"101", "100"}},
        {At(2026, 12, 9, 0, 1, 0), {}}}},
      {"the clock set back an hour after the reminder",
       {Row("100", "12-08-2026", "10:30"), Row("101", "12-08-2026", "10:45")},
       {{At(2026, 12, 8, 10, 30, 10), {"100"}},
        {At(2026, 12, 8, 9, 30, 40), {}},
        {At(2026, 12, 8, 10, 30, 40), {}},
        {At(2026, 12, 8, 10, 45, 0), {"101"}}}},
      {"the clock set forward an hour",
       {Row("100", "12-08-2026", "10:45")},
       {{At(2026, 12, 8, 10, 29, 0), {}}, {At(2026, 12, 8, 11, 29, 30), {"100"}}}},
      {"daylight saving ends: 02:00 to 03:00 comes twice",
       {Row("100", "10-25-2026", "02:30")},
       {{At(2026, 10, 25, 2, 30, 10), {"100"}},
        {At(2026, 10, 25, 2, 59, 50), {}},
        {At(2026, 10, 25, 2, 0, 20), {}},
        {At(2026, 10, 25, 2, 30, 20), {}}}},
      {"daylight saving begins: 02:30 never comes",
       {Row("100", "03-29-2026", "02:30")},
       {{At(2026, 3, 29, 1, 59, 50), {}}, {At(2026, 3, 29, 3, 0, 20), {"100"}}}},
      {"the PC was off over a long weekend",
       {Row("100", "12-04-2026", "16:00"), Row("101", "11-30-2026", "08:00"),
        Row("102", "11-30-2026", "08:15")},
       {{At(2026, 12, 7, 8, 10, 0), {"102", "100"}}, {At(2026, 12, 7, 8, 10, 30), {}}}},
  };
  for (const TimeTravel& travel : cases) {
    SCOPED_TRACE(travel.name);
    ReminderFlags flags;
    for (const Tick& tick : travel.ticks) {
      const std::vector<TaskRow> due = ReminderSchedule::DueTasks(travel.tasks, flags, tick.now);
      EXPECT_EQ(Keys(due), tick.reminded) << FormatDate(tick.now) << ' ' << FormatTime(tick.now);
      for (const TaskRow& row : due) flags[row.key] = "R";
    }
  }
}

TEST(ReminderSchedule, OwedForSevenDaysInDateOrderUntilFlagged) {
  struct Case {
    const char* name;
    std::vector<TaskRow> tasks;
    ReminderFlags flags;
    LocalTime now;
    Keyset due;
  };
  const LocalTime now = At(2026, 12, 8, 10, 0, 30);
  const std::vector<Case> cases = {
      {"seven days to the minute", {Row("100", "12-01-2026", "10:00")}, {}, now, {"100"}},
      {"a minute more than seven days", {Row("100", "12-01-2026", "09:59")}, {}, now, {}},
      {"the edge across the year",
       {Row("100", "12-27-2026", "10:00"), Row("101", "12-27-2026", "09:59")},
       {},
       At(2027, 1, 3, 10, 0, 0),
       {"100"}},
      {"in the list's date order: on one date in key order",
       {Row("100", "12-08-2026", "09:00"), Row("101", "12-31-2025", "23:00"),
        Row("102", "12-07-2026", "08:00"), Row("103", "12-08-2026", "09:00")},
       {},
       At(2026, 12, 8, 9, 0, 0),
       {"102", "100", "103"}},
      {"the flag under the task's own key; only R counts",
       {Row("100", "12-08-2026", "09:00"), Row("101", "12-08-2026", "08:00"),
        Row("102", "12-08-2026", "07:00")},
       {{"100", "R"}, {"101", "A"}, {"103", "R"}},
       now,
       {"101", "102"}},
      {"later today and tomorrow: not yet",
       {Row("100", "12-08-2026", "10:01"), Row("101", "12-09-2026", "00:00")},
       {},
       now,
       {}},
      {"written by hand: as read; a time that cannot be read at the start of its day",
       {Row("100", "12-8-2026", "9:5"), Row("101", "12-08-2026", ""),
        Row("102", "12-08-2026", "24:00"), Row("103", "12-08-2026", "10:01")},
       {},
       now,
       {"101", "102", "100"}},  // in the list's order, where "12-8-2026" sorts last
      {"a date that cannot be read: never",
       {Row("100", "12.08.2026", "09:00"), Row("101", "13-01-2026", "09:00"),
        Row("102", "12-08-26", "09:00"), Row("103", "", "09:00")},
       {},
       now,
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Keys(ReminderSchedule::DueTasks(c.tasks, c.flags, c.now)), c.due);
  }
}

TEST(ReminderSchedule, TheLastReminderMarksEachOfItsTasksAsTheyWereThen) {
  ReminderSchedule schedule;
  const TaskRow first = Row("100", "12-08-2026", "09:00"),
                second = Row("101", "12-08-2026", "09:30");
  schedule.NoteReminded({first, second});
  EXPECT_EQ(schedule.RemindedTask(), first);
  EXPECT_TRUE(schedule.WasReminded(first) && schedule.WasReminded(second));
  TaskRow edited = second;
  edited.stored = "changed";
  TaskRow done = second;
  done.category = Category::Done;
  EXPECT_FALSE(schedule.WasReminded(edited) || schedule.WasReminded(done));
  schedule.NoteReminded({});  // the hourly reminder names none
  EXPECT_FALSE(schedule.WasReminded(first) || schedule.RemindedTask());
}

TEST(ReminderSchedule, TheHourlyReminderRingsEachNewHourOnce) {
  struct Case {
    const char* name;
    LocalTime armed;
    std::vector<std::pair<LocalTime, bool>> ticks;
  };
  const std::vector<Case> cases = {
      {"the first tick of each new hour, also in minute one",
       At(2026, 12, 8, 10, 30, 12),
       {{At(2026, 12, 8, 10, 59, 12), false},
        {At(2026, 12, 8, 11, 0, 12), true},
        {At(2026, 12, 8, 11, 1, 12), false},
        {At(2026, 12, 8, 12, 1, 0), true}}},
      {"armed in the new hour's minute: that hour is not new",
       At(2026, 12, 8, 11, 0, 40),
       {{At(2026, 12, 8, 11, 1, 40), false}}},
      {"across midnight",
       At(2026, 12, 8, 23, 10, 0),
       {{At(2026, 12, 8, 23, 59, 30), false}, {At(2026, 12, 9, 0, 0, 30), true}}},
      {"sleep: the missed hour once at the next check",
       At(2026, 12, 8, 10, 30, 0),
       {{At(2026, 12, 8, 14, 20, 0), true},
        {At(2026, 12, 8, 14, 50, 0), false},
        {At(2026, 12, 8, 15, 0, 30), true}}},
      {"the clock set back an hour",
       At(2026, 12, 8, 10, 59, 0),
       {{At(2026, 12, 8, 11, 0, 10), true},
        {At(2026, 12, 8, 10, 5, 0), false},
        {At(2026, 12, 8, 11, 0, 30), false},
        {At(2026, 12, 8, 12, 0, 0), true}}},
      {"daylight saving ends",
       At(2026, 10, 25, 2, 30, 0),
       {{At(2026, 10, 25, 3, 0, 0), true},
        {At(2026, 10, 25, 2, 0, 10), false},
        {At(2026, 10, 25, 3, 0, 10), false},
        {At(2026, 10, 25, 4, 0, 10), true}}},
      {"daylight saving begins",
       At(2026, 3, 29, 1, 30, 0),
       {{At(2026, 3, 29, 1, 59, 40), false},
        {At(2026, 3, 29, 3, 0, 10), true},
        {At(2026, 3, 29, 3, 1, 10), false}}},
      {"a clock put right from next year",
       At(2027, 6, 1, 12, 0, 0),
       {{At(2026, 12, 8, 10, 0, 0), false},
        {At(2026, 12, 8, 10, 59, 0), false},
        {At(2026, 12, 8, 11, 0, 0), true}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ReminderSchedule schedule;
    schedule.ArmHourly(c.armed);
    for (const auto& [now, due] : c.ticks) {
      EXPECT_EQ(schedule.HourDue(now), due) << FormatDate(now) << ' ' << FormatTime(now);
    }
  }
}

class ReminderScheduleFile : public testing::Test {
 protected:
  void Store(std::string_view key, const Task& task) {
    data_.SetRaw("Important", key, ProtectProfileValue(*EncodeTask(task)));
  }
  void Flag(std::string_view key, std::string_view flag) {
    data_.SetRaw(kReminderSection, key, ProtectProfileValue(*ScrambleText(flag)));
  }
  ReminderTasks Tasks() { return ReminderTasksOf(*data_.ReadText()); }
  test::FakeProfileFile data_;
};

TEST_F(ReminderScheduleFile, AtStartTheModeDecidesWhatWasMissed) {
  Store("100", {"12-07-2026", "23:50", "Gestern"});
  Store("101", {"12-08-2026", "08:15", "Jetzt"});
  Store("102", {"12-08-2026", "08:00", "Erinnert"});
  Flag("102", "R");
  Flag("101", "A");
  const LocalTime now = At(2026, 12, 8, 8, 15, 40);
  ReminderSchedule schedule;
  schedule.SetMode(ReminderMode::kRelevant);
  EXPECT_EQ(Keys(schedule.DueAtStart(Tasks(), now)), (Keyset{"100", "101"}));
  EXPECT_EQ(Keys(schedule.DueAtStart(Tasks(), now, false)), Keyset{"101"});
  // The other modes announce only the task of this very minute.
  for (const ReminderMode mode : {ReminderMode::kHourly, ReminderMode::kNever}) {
    schedule.SetMode(mode);
    EXPECT_EQ(Keys(schedule.DueAtStart(Tasks(), now)), Keyset{"101"});
  }
  Flag("101", "R");
  EXPECT_EQ(Keys(schedule.DueAtStart(Tasks(), now)), Keyset{});
}

TEST_F(ReminderScheduleFile, AnOpenTaskIsOneOfImportantOrOthers) {
  data_.SetRaw("Done", "100",
               ProtectProfileValue(*EncodeTask({"12-08-2026", "10:00", "Erledigt"})));
  EXPECT_FALSE(Tasks().anyOpen);
  data_.SetRaw("Others", "100", ProtectProfileValue(*EncodeTask({"12-31-2026", "00:00", "Sekt"})));
  EXPECT_TRUE(Tasks().anyOpen);
}

TEST(ReminderNotice, NamesEachTaskDueAsMuchAsFitsAndNothingWhileLocked) {
  const std::vector<TaskRow> two = {Row("100", "12-08-2026", "23:50"),
                                    Row("101", "12-09-2026", "07:30")};
  const auto notice = [](const std::vector<TaskRow>& due, bool locked) {
    return ReminderNotice(due, locked, test::GermanDate);
  };
  EXPECT_EQ(notice(two, false), "08.12.2026 23:50 Aufgabe 100\n09.12.2026 07:30 Aufgabe 101");
  EXPECT_EQ(notice({Row("102", "5-10-2027", "7:5")}, false), "5-10-2027 7:5 Aufgabe 102");
  EXPECT_EQ(notice(two, true), "Eine Aufgabe ist f\xE4llig.");
  EXPECT_EQ(notice({}, false), "Es gibt offene Aufgaben.");
  // Twelve lines of 28 characters hold more than the notification: whole
  // lines, then the sign that more are due.
  const std::string many = notice(std::vector<TaskRow>(12, two[0]), false);
  EXPECT_LE(many.size(), 255u);
  EXPECT_EQ(many.substr(many.size() - 5), "100\n\x85");
}

TEST(ReminderChecks, EachModeRunsItsOwnCheckAndNeverNone) {
  EXPECT_EQ(ChecksOf(ReminderMode::kHourly), (ReminderChecks{true, false}));
  EXPECT_EQ(ChecksOf(ReminderMode::kRelevant), (ReminderChecks{false, true}));
  for (const ReminderMode mode : {ReminderMode::kNone, ReminderMode::kNever}) {
    EXPECT_EQ(ChecksOf(mode), ReminderChecks{});
  }
  EXPECT_EQ(ReminderModeFromNumber(2), ReminderMode::kRelevant);
  EXPECT_EQ(ReminderModeFromNumber(0), std::nullopt);
  EXPECT_EQ(ReminderModeFromNumber(4), std::nullopt);
}

}  // namespace
}  // namespace ordalis
