#include "session/shown_date.h"

#include "editor/days_in_month.h"

namespace ordalis {

std::optional<LocalTime> StoredDay(std::string_view stored) {
  if (stored.size() != 10 || stored[2] != '-' || stored[5] != '-') return std::nullopt;
  const auto number = [stored](size_t at, size_t count) {
    int value = 0;
    for (size_t i = at; i < at + count; ++i) {
      if (stored[i] < '0' || stored[i] > '9') return -1;
      value = value * 10 + (stored[i] - '0');
    }
    return value;
  };
  LocalTime day;
  day.month = number(0, 2);
  day.day = number(3, 2);
  day.year = number(6, 4);
  if (day.year < 1 || day.month < 1 || day.month > 12 || day.day < 1 ||
      day.day > DaysInMonth(day.month, day.year, std::nullopt, {})) {
    return std::nullopt;
  }
  return day;
}

std::string ShownDate(std::string_view stored, const DateFormatter& format) {
  const std::optional<LocalTime> day = StoredDay(stored);
  std::string shown = day && format ? format(*day) : std::string();
  return shown.empty() ? std::string(stored) : shown;
}

}  // namespace ordalis
