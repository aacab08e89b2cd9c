#pragma once
#include "reminders/clock.h"

namespace ordalis {

// The system's local time.
class SystemClock : public Clock {
 public:
  LocalTime Now() override;
};

}  // namespace ordalis
