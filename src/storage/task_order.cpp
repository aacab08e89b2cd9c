#include "storage/task_order.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <tuple>

namespace ordalis {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

int Digits(std::string_view text) {
  int number = 0;
  for (const char c : text) number = number * 10 + (c - '0');
  return number;
}

// (0, year, month, day) for a date "mm-dd-yyyy"; anything else sorts after
// every real date as (1, 0, 0, 0), then by its text.
std::tuple<int, int, int, int> DateKey(std::string_view date) {
  bool wellFormed = date.size() == 10;
  for (size_t i = 0; wellFormed && i < date.size(); ++i) {
    wellFormed = (i == 2 || i == 5) ? date[i] == '-' : IsDigit(date[i]);
  }
  if (!wellFormed) return {1, 0, 0, 0};
  return {0, Digits(date.substr(6, 4)), Digits(date.substr(0, 2)), Digits(date.substr(3, 2))};
}

// A Windows-1252 character as a German reader sorts it: without case, "ä"
// as "a", "ö" as "o", "ü" as "u", "ß" as "ss", other accented letters as
// their base letter.
const char* SortForm(char c) {
  struct Table {
    char singles[256][2] = {};
    std::array<const char*, 256> forms{};
    Table() {
      for (int code = 0; code < 256; ++code) {
        const bool upper = code >= 'A' && code <= 'Z';
        singles[code][0] = static_cast<char>(upper ? code + 32 : code);
        forms[code] = singles[code];
      }
      // From 0xC0 on: the base letters of the upper-case row; the
      // lower-case row 0xE0..0xFF repeats it.
      static constexpr const char* kRow[32] = {
          "a", "a", "a", "a", "a", "a", "ae", "c",     "e", "e", "e", "e", "i", "i", "i",  "i",
          "d", "n", "o", "o", "o", "o", "o",  nullptr, "o", "u", "u", "u", "u", "y", "th", "ss"};
      for (int i = 0; i < 32; ++i) {
        if (!kRow[i]) continue;
        forms[0xC0 + i] = kRow[i];
        if (i != 31) forms[0xE0 + i] = kRow[i];
      }
      forms[0xFF] = forms[0x9F] = "y";
      forms[0x8A] = forms[0x9A] = "s";
      forms[0x8C] = forms[0x9C] = "oe";
      forms[0x8E] = forms[0x9E] = "z";
    }
  };
  static const Table kTable;
  return kTable.forms[static_cast<unsigned char>(c)];
}

bool GermanBefore(std::string_view a, std::string_view b) {
  const auto form = [](std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
      const char* form = SortForm(c);
      // The NUL code is a character of its own, not the end of its form.
      result.append(form, *form ? std::char_traits<char>::length(form) : 1);
    }
    return result;
  };
  return form(a) < form(b);
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
    case SortColumn::kDescription: return GermanBefore(a.description, b.description);
  }
  return false;
}

void SortRows(std::vector<TaskRow>& rows, SortColumn column) {
  std::stable_sort(rows.begin(), rows.end(), [column](const TaskRow& a, const TaskRow& b) {
    return TaskBefore(column, a.task, b.task);
  });
}

}  // namespace ordalis
