#include "reminders/due_rule.h"

#include <cstdio>

namespace ordalis {

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

bool IsDueAtStart(const Task& task, bool important, const LocalTime& now) {
  if (task.date != FormatDate(now)) return false;
  return !important || task.time == FormatTime(now);
}

}  // namespace ordalis
