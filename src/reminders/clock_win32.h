#pragma once
#include "session/clock.h"

namespace ordalis {

// The system's local time.
class SystemClock : public Clock {
 public:
  LocalTime Now() override;
};

}  // namespace ordalis
