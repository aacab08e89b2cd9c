#pragma once
// When a reminder is due.
#include <optional>
#include <string_view>

#include "reminders/clock.h"
#include "storage/task.h"

namespace ordalis {

// An important task is due from its time today on, until it was reminded
// (flag "R"). Tasks of other days, and tasks whose date or time is not in
// the stored form, are never due.
bool IsDue(const Task& task, std::string_view reminderFlag, const LocalTime& now);

// The task is due at this very start: today at this minute (important
// tasks), or today at any time (other tasks).
bool IsDueAtStart(const Task& task, bool important, const LocalTime& now);

// The hourly reminder: it fires at the first tick of a new hour, also when
// the timer's drift puts that tick into minute 1. It keeps the hour of the
// last tick it saw (or of arming the timer) to tell a new hour.
class HourlyRule {
 public:
  // The timer was armed at `now`: its hour is not new.
  void Arm(const LocalTime& now);
  // One tick; true when the hourly reminder is due now.
  bool Tick(const LocalTime& now);

 private:
  static long long HourNumber(const LocalTime& time);
  std::optional<long long> lastHour_;
};

}  // namespace ordalis
