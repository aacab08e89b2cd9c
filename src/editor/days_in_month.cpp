#include "editor/days_in_month.h"

namespace ordalis {

namespace {
int Days(int month, int year) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}
}  // namespace

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int month, int year, std::optional<CalendarDate> date, CalendarDate today) {
  if (date && date->month >= 1 && date->month <= 12) return Days(date->month, date->year);
  const int inYear = year > 0 ? year : today.year;
  if (month >= 1 && month <= 12) return Days(month, inYear);
  if (month == 0) return Days(today.month, inYear);
  return 0;
}

}  // namespace ordalis
