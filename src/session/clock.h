#pragma once
// The local time as the reminders see it, and where it comes from. Tests
// set the time; the program reads the system's clock.
#include <string>

namespace ordalis {

struct LocalTime {
  int year = 2000, month = 1, day = 1;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
  bool operator==(const LocalTime&) const = default;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() = 0;
};

// "mm-dd-yyyy" and "hh:nn", the forms tasks are stored in; always with "-"
// and ":", whatever the system's own separators.
std::string FormatDate(const LocalTime& time);
std::string FormatTime(const LocalTime& time);
double SecondsSinceMidnight(const LocalTime& time);
// Days since 1 March of year 0 in the proleptic Gregorian calendar: the
// distance of two dates whatever lies between them.
long long DayNumber(const LocalTime& time);
// Whole minutes from that day to this wall-clock time, and back.
long long MinuteNumber(const LocalTime& time);
LocalTime TimeOfMinute(long long minute);
// How long a timer waits from `now` for the start of `minute`: at least a
// second, at most `longest` minutes (a timer armed again then looks anew).
unsigned MillisecondsUntil(long long minute, const LocalTime& now, long long longest);

}  // namespace ordalis
