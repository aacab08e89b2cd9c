#include "reminders/due_rule.h"

#include <cstdio>

namespace ordalis {

namespace {

bool Digits(std::string_view text, size_t at, size_t count) {
  for (size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  return true;
}

bool IsStoredDate(std::string_view date) {
  return date.size() == 10 && Digits(date, 0, 2) && date[2] == '-' && Digits(date, 3, 2) &&
         date[5] == '-' && Digits(date, 6, 4);
}

bool IsStoredTime(std::string_view time) {
  return time.size() == 5 && Digits(time, 0, 2) && time[2] == ':' && Digits(time, 3, 2);
}

}  // namespace

std::string FormatDate(const LocalTime& time) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d-%02d-%04d", time.month, time.day, time.year);
  return text;
}

std::string FormatTime(const LocalTime& time) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d:%02d", time.hour, time.minute);
  return text;
}

double SecondsSinceMidnight(const LocalTime& time) {
  return time.hour * 3600.0 + time.minute * 60.0 + time.second + time.millisecond / 1000.0;
}

bool IsDue(const Task& task, std::string_view reminderFlag, const LocalTime& now) {
  if (!IsStoredDate(task.date) || !IsStoredTime(task.time) || reminderFlag == "R") return false;
  return task.date == FormatDate(now) && task.time <= FormatTime(now);
}

bool IsDueAtStart(const Task& task, bool important, const LocalTime& now) {
  if (task.date != FormatDate(now)) return false;
  return !important || task.time == FormatTime(now);
}

long long HourlyRule::HourNumber(const LocalTime& time) {
  return ((static_cast<long long>(time.year) * 13 + time.month) * 32 + time.day) * 24 + time.hour;
}

void HourlyRule::Arm(const LocalTime& now) {
  lastHour_ = HourNumber(now);
}

bool HourlyRule::Tick(const LocalTime& now) {
  const long long hour = HourNumber(now);
  const bool newHour = !lastHour_ || *lastHour_ != hour;
  lastHour_ = hour;
  return newHour && now.minute <= 1;
}

}  // namespace ordalis
