#pragma once
// The number of days of a month.
#include <optional>

namespace ordalis {

struct CalendarDate {
  int year = 0, month = 0, day = 0;
};

bool IsLeapYear(int year);

// With a date: the days of that date's month. Otherwise the days of `month`
// (1..12) in `year`, or of the current month when `month` is 0; a year of 0
// or less means the current year. Any other month gives 0.
int DaysInMonth(int month, int year, std::optional<CalendarDate> date, CalendarDate today);

}  // namespace ordalis
