#include "reminders/reminder_check.h"

#include "mainwindow/task_order.h"
#include "reminders/due_rule.h"

namespace ordalis {

std::optional<TaskRow> FindDueTask(ProfileFile& data, const LocalTime& now) {
  std::vector<TaskRow> rows = LoadCategory(data, Category::Important).rows;
  SortRows(rows, SortColumn::kDate);
  const ReminderFlags flags = ReadReminderFlags(data);
  for (TaskRow& row : rows) {
    const auto flag = flags.find(row.key);
    if (IsDue(row.task, flag != flags.end() ? flag->second : std::string(), now)) {
      return std::move(row);
    }
  }
  return std::nullopt;
}

bool AnyOpenTask(ProfileFile& data) {
  return !LoadCategory(data, Category::All).rows.empty();
}

ReminderIntervals MenuIntervals(int mode) {
  return {mode == 1 ? 60000u : 0u, mode == 2 ? 60000u : 0u};
}

ReminderIntervals ResidentIntervals(int mode) {
  return {mode == 1 ? 60000u : 0u, mode == 2 ? 30000u : 0u};
}

}  // namespace ordalis
