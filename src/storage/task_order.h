#pragma once
// The order of the task list: by date (chronological), by time or by
// description as a German dictionary sorts (case ignored, "ä" with "a",
// "ß" as "ss"). The date stays "mm-dd-yyyy" on
// screen and in the file; it is compared as year, month, day.
#include <vector>

#include "storage/task_file.h"

namespace ordalis {

enum class SortColumn { kDate, kTime, kDescription };

// Strict weak order of two tasks for a column.
bool TaskBefore(SortColumn column, const Task& a, const Task& b);

// Sorts stably, so rows that compare alike keep their order.
void SortRows(std::vector<TaskRow>& rows, SortColumn column);

}  // namespace ordalis
