#include "session/clock.h"

namespace ordalis {

long long DayNumber(const LocalTime& time) {
  const long long y = time.month <= 2 ? time.year - 1 : time.year;
  const long long era = y / 400;
  const long long yearOfEra = y - era * 400;
  const long long dayOfYear =
      (153 * (time.month + (time.month > 2 ? -3 : 9)) + 2) / 5 + time.day - 1;
  return era * 146097 + yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
}

}  // namespace ordalis
