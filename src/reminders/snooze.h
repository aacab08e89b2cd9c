#pragma once
// "Später erinnern": when a snoozed task comes again, what the reminder bar
// offers, and what the icon's tip says of the day. The window shows these
// and forwards the user's choice.
#include <optional>
#include <string>
#include <vector>

#include "session/clock.h"
#include "session/shown_date.h"
#include "storage/task_file.h"

namespace ordalis {

// The choices of "Später erinnern", in the order the menu shows them; the
// values are those the settings store keeps for the last choice.
enum class SnoozeChoice {
  kMinutes5 = 0,
  kMinutes10 = 1,
  kMinutes30 = 2,
  kHour1 = 3,
  kHours4 = 4,
  kTomorrowMorning = 5,
};
inline constexpr int kSnoozeChoices = 6;
std::optional<SnoozeChoice> SnoozeChoiceFromNumber(long long number);
// The menu's text of a choice (Windows-1252, with its access key).
const char* SnoozeChoiceText(SnoozeChoice choice);

// The minute (session/clock) a task snoozed now comes again. "Morgen früh"
// is 8:00 of the next day; the hours before 4:00 still belong to the night
// before, so at 0:01 it is 8:00 of the same date.
long long SnoozeUntil(SnoozeChoice choice, const LocalTime& now);

// The strip above the list that a reminder shows: the tasks it acts on (the
// due tasks reminded, the first one selected) and its text; none for the
// hourly reminder, which names no task.
struct ReminderBar {
  std::vector<TaskRow> tasks;
  std::string text;  // Windows-1252
  bool Hour() const { return tasks.empty(); }
};
ReminderBar BarFor(const std::vector<TaskRow>& due, const DateFormatter& format);

// The icon's tip: the open important tasks of today and the next of them
// still to come ("Ordalis – heute 3 Aufgaben, nächste 14:30 Zahnarzt"), at
// most `room` characters; only "Ordalis" while the password is pending.
std::string TrayTip(const std::vector<TaskRow>& important, const LocalTime& now, bool locked,
                    size_t room = 127);
// The next minute after `now` at which the tip says something else: just
// after the next task of today, or midnight.
long long TipChangesAt(const std::vector<TaskRow>& important, const LocalTime& now);

}  // namespace ordalis
