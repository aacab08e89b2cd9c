#include "mainwindow/task_order.h"

#include <algorithm>
#include <tuple>

namespace ordalis {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// (0, year, month, day) for a date "mm-dd-yyyy"; anything else sorts after
// every real date as (1, 0, 0, 0), then by its text.
std::tuple<int, int, int, int> DateKey(const std::string& date) {
  const bool wellFormed =
      date.size() == 10 && date[2] == '-' && date[5] == '-' &&
      std::all_of(date.begin(), date.end(), [](char c) { return IsDigit(c) || c == '-'; });
  if (!wellFormed) return {1, 0, 0, 0};
  const auto number = [&date](size_t at, size_t length) {
    return std::stoi(date.substr(at, length));
  };
  return {0, number(6, 4), number(0, 2), number(3, 2)};
}

// Windows-1252 letters folded to lower case.
unsigned char Fold(char c) {
  const auto code = static_cast<unsigned char>(c);
  if ((code >= 'A' && code <= 'Z') || (code >= 0xC0 && code <= 0xDE && code != 0xD7)) {
    return static_cast<unsigned char>(code + 0x20);
  }
  switch (code) {
    case 0x8A: return 0x9A;  // Š
    case 0x8C: return 0x9C;  // Œ
    case 0x8E: return 0x9E;  // Ž
    case 0x9F: return 0xFF;  // Ÿ
    default: return code;
  }
}

bool FoldedBefore(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return Fold(x) < Fold(y); });
}

}  // namespace

bool TaskBefore(SortColumn column, const Task& a, const Task& b) {
  switch (column) {
    case SortColumn::kDate: {
      const auto keyA = DateKey(a.date);
      const auto keyB = DateKey(b.date);
      if (keyA != keyB) return keyA < keyB;
      return a.date < b.date;
    }
    case SortColumn::kTime: return a.time < b.time;
    case SortColumn::kDescription: return FoldedBefore(a.description, b.description);
  }
  return false;
}

void SortRows(std::vector<TaskRow>& rows, SortColumn column) {
  std::stable_sort(rows.begin(), rows.end(), [column](const TaskRow& a, const TaskRow& b) {
    return TaskBefore(column, a.task, b.task);
  });
}

size_t InsertPosition(const std::vector<TaskRow>& rows, const Task& task, SortColumn column) {
  const auto at = std::upper_bound(
      rows.begin(), rows.end(), task,
      [column](const Task& t, const TaskRow& row) { return TaskBefore(column, t, row.task); });
  return static_cast<size_t>(at - rows.begin());
}

}  // namespace ordalis
