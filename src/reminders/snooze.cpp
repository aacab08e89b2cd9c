#include "reminders/snooze.h"

#include <algorithm>

#include "reminders/reminder_schedule.h"

namespace ordalis {

namespace {

constexpr long long kDay = 24 * 60;
// Before this hour it is still the night of the day before.
constexpr int kNightEnds = 4;
constexpr int kMorning = 8;

// Today's important tasks that have a time, by time; those without one
// count for the day but are never "next".
struct Today {
  size_t count = 0;
  std::vector<std::pair<long long, const TaskRow*>> timed;
};

Today TodayOf(const std::vector<TaskRow>& important, const LocalTime& now) {
  Today today;
  for (const TaskRow& row : important) {
    const std::optional<long long> at = TaskMinute(row.task);
    if (!at || *at / kDay != MinuteNumber(now) / kDay) continue;
    ++today.count;
    if (!row.task.time.empty()) today.timed.emplace_back(*at, &row);
  }
  std::stable_sort(today.timed.begin(), today.timed.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  return today;
}

}  // namespace

std::optional<SnoozeChoice> SnoozeChoiceFromNumber(long long number) {
  if (number < 0 || number >= kSnoozeChoices) return std::nullopt;
  return static_cast<SnoozeChoice>(number);
}

const char* SnoozeChoiceText(SnoozeChoice choice) {
  switch (choice) {
    case SnoozeChoice::kMinutes5: return "&5 Minuten";
    case SnoozeChoice::kMinutes10: return "1&0 Minuten";
    case SnoozeChoice::kMinutes30: return "&30 Minuten";
    case SnoozeChoice::kHour1: return "&1 Stunde";
    case SnoozeChoice::kHours4: return "&4 Stunden";
    case SnoozeChoice::kTomorrowMorning: return "&Morgen fr\xFCh (8:00)";
  }
  return "";
}

long long SnoozeUntil(SnoozeChoice choice, const LocalTime& now) {
  const long long minute = MinuteNumber(now);
  switch (choice) {
    case SnoozeChoice::kMinutes5: return minute + 5;
    case SnoozeChoice::kMinutes10: return minute + 10;
    case SnoozeChoice::kMinutes30: return minute + 30;
    case SnoozeChoice::kHour1: return minute + 60;
    case SnoozeChoice::kHours4: return minute + 4 * 60;
    case SnoozeChoice::kTomorrowMorning: break;
  }
  const long long night = (minute - kNightEnds * 60) / kDay;  // the day the night belongs to
  return (night + 1) * kDay + kMorning * 60;
}

ReminderBar BarFor(const std::vector<TaskRow>& due, const DateFormatter& format) {
  ReminderBar bar{due, {}};
  if (due.empty()) {
    bar.text = "Es gibt offene Aufgaben.";
  } else if (due.size() == 1) {
    const Task& task = due.front().task;
    bar.text = "F\xE4llig: " + ShownDate(task.date, format);
    if (!task.time.empty()) bar.text += " " + task.time;
    bar.text += " " + task.description;
  } else {
    bar.text = std::to_string(due.size()) + " Aufgaben f\xE4llig";
  }
  return bar;
}

std::string TrayTip(const std::vector<TaskRow>& important, const LocalTime& now, bool locked,
                    size_t room) {
  std::string tip = "Ordalis";
  if (locked) return tip;
  const Today today = TodayOf(important, now);
  tip += " \x96 heute ";  // an en dash
  if (today.count == 0) return tip + "keine Aufgaben";
  tip += today.count == 1 ? "1 Aufgabe" : std::to_string(today.count) + " Aufgaben";
  const long long minute = MinuteNumber(now);
  const auto next = std::find_if(today.timed.begin(), today.timed.end(),
                                 [&](const auto& timed) { return timed.first >= minute; });
  if (next == today.timed.end()) return tip;
  tip +=
      ", n\xE4"
      "chste " +
      next->second->task.time + " " + next->second->task.description;
  // A long description is cut, and the cut is shown.
  if (tip.size() > room) tip = tip.substr(0, room - 1) + "\x85";
  return tip;
}

long long TipChangesAt(const std::vector<TaskRow>& important, const LocalTime& now) {
  const long long minute = MinuteNumber(now);
  for (const auto& [at, row] : TodayOf(important, now).timed) {
    if (at >= minute) return at + 1;
  }
  return (minute / kDay + 1) * kDay;
}

}  // namespace ordalis
