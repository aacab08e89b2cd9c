#pragma once
// The stored forms of the time, and what is announced at a start.
#include "session/clock.h"
#include "storage/task.h"

namespace ordalis {

// The task is due at this very start: today at this minute (important
// tasks), or today at any time (other tasks).
bool IsDueAtStart(const Task& task, bool important, const LocalTime& now);

}  // namespace ordalis
