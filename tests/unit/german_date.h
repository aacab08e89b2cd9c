#pragma once
// A fixed date formatter in the German short form, so that the texts the
// tests expect read the same on every machine.
#include <cstdio>
#include <string>

#include "session/clock.h"

namespace ordalis::test {

inline std::string GermanDate(const LocalTime& day) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d.%02d.%04d", day.day, day.month, day.year);
  return text;
}

}  // namespace ordalis::test
