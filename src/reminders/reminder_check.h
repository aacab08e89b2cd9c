#pragma once
// What the reminder timers decide, from the task file itself: never from the
// list on screen, which belongs to the user's work.
#include <optional>

#include "reminders/clock.h"
#include "storage/task_file.h"

namespace ordalis {

// The first important task, in the list's date order, that is due now and
// not yet reminded; its flag is the one stored under its own key.
std::optional<TaskRow> FindDueTask(ProfileFile& data, const LocalTime& now);

// The hourly reminder speaks only when there is an open task: one of
// "Wichtiges" or "Sonstiges", whatever tab the user looks at.
bool AnyOpenTask(ProfileFile& data);

// The intervals of the two reminder timers, in milliseconds (0 = stopped).
struct ReminderIntervals {
  unsigned stunde = 0;
  unsigned relevantes = 0;
  bool operator==(const ReminderIntervals&) const = default;
};

// Chosen from the menu, a mode's timer ticks every minute; closed into the
// notification area (or started there), the due check ticks every half
// minute. Mode 3 and any other stop both.
ReminderIntervals MenuIntervals(int mode);
ReminderIntervals ResidentIntervals(int mode);

}  // namespace ordalis
