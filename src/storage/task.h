#pragma once
// A task and the categories it is kept in.
#include <string>
#include <string_view>

namespace ordalis {

// Texts are Windows-1252 bytes, as the task file holds them.
struct Task {
  std::string date;  // "mm-dd-yyyy"
  std::string time;  // "hh:nn"; "00:00" or empty for other tasks
  std::string description;
  bool operator==(const Task&) const = default;
};

// The category tabs in their order; the value is the tab's index (1..4),
// which is also what the settings store keeps as the last tab.
enum class Category { All = 1, Important = 2, Others = 3, Done = 4 };

// The task file's section of a category; empty for "Alles", a view only.
std::string_view SectionOf(Category category);

}  // namespace ordalis
