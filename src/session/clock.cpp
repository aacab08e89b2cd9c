#include "session/clock.h"

#include <algorithm>

namespace ordalis {

long long DayNumber(const LocalTime& time) {
  const long long y = time.month <= 2 ? time.year - 1 : time.year;
  const long long era = y / 400;
  const long long yearOfEra = y - era * 400;
  const long long dayOfYear =
      (153 * (time.month + (time.month > 2 ? -3 : 9)) + 2) / 5 + time.day - 1;
  return era * 146097 + yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
}

long long MinuteNumber(const LocalTime& time) {
  return (DayNumber(time) * 24 + time.hour) * 60 + time.minute;
}

LocalTime TimeOfMinute(long long minute) {
  // DayNumber read backwards (days from 1 March of year 0).
  const long long days = minute / (24 * 60);
  const long long era = days / 146097;
  const long long dayOfEra = days - era * 146097;
  const long long yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const long long shifted = (5 * dayOfYear + 2) / 153;  // 0 = March
  LocalTime time;
  time.day = static_cast<int>(dayOfYear - (153 * shifted + 2) / 5 + 1);
  time.month = static_cast<int>(shifted < 10 ? shifted + 3 : shifted - 9);
  time.year = static_cast<int>(yearOfEra + era * 400 + (time.month <= 2 ? 1 : 0));
  time.hour = static_cast<int>(minute / 60 % 24);
  time.minute = static_cast<int>(minute % 60);
  return time;
}

unsigned MillisecondsUntil(long long minute, const LocalTime& now, long long longest) {
  const long long minutes = std::min(minute - MinuteNumber(now), longest);
  const long long ms = minutes * 60000 - now.second * 1000 - now.millisecond;
  return static_cast<unsigned>(std::max(ms, 1000LL));
}

}  // namespace ordalis
