#pragma once
// The task editor's field rules, apart from its window.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ordalis {

// The day list of a month with `days` days: "01".."09", then "10".. .
std::vector<std::string> DayEntries(int days);
// The day to select after a refill: `wanted` (1-based), or the month's last
// day when the month is shorter.
int DayToSelect(int wanted, int days);

// A whole number as the fields hold it: blanks around it allowed, an
// optional sign, a fraction rounded half away from zero.
std::optional<long long> FieldNumber(std::string_view text);

// Leaving the hour (bound "24") or minute (bound "60") field: the number with
// at least two digits; nullopt when the field must be reset to the current
// value (not a number, or not below the bound compared as text).
std::optional<std::string> LeaveTimeField(std::string_view text, std::string_view bound);

// The accept checks: years 2000 to 2099, hours 0..23, minutes 0..59.
bool YearAccepted(std::string_view text);
bool HourAccepted(std::string_view text);
bool MinuteAccepted(std::string_view text);
// "7" -> "07".
std::string TwoDigits(std::string_view text);

// Whether a typed character may join a field of at most `limit` characters
// that holds `length` of them with `selected` selected: only when there is
// room or exactly `limit` characters are selected (and so replaced).
bool TypedCharacterFits(int length, int selected, int limit);

// A digit typed into the day or month list: with the digits typed just
// before it, the number of the entry to select, when the list has one that
// high; else the digit starts anew. "0" selects nothing yet ("0", "5": the
// 5th).
struct TypedEntry {
  std::string typed;          // what counts for the next digit
  std::optional<int> select;  // 1 for the first entry
};
TypedEntry TypeIntoList(std::string_view typed, char digit, int entries);

// Why the task file cannot hold a description, as the message to show
// (Windows-1252); nullptr when it can. It holds neither control characters
// nor the codes 128..159 other than "€" (the scrambler's message), nor "^",
// which stands for "€" in the file and would come back as one.
const char* DescriptionRefusal(std::string_view windows1252);
extern const char kCaretRefusedText[];

}  // namespace ordalis

namespace ordalis {

// The texts of the editor's fields (Windows-1252).
struct EditorFields {
  std::string month, day, year, hour, minute, description;
  bool operator==(const EditorFields&) const = default;
};

// An entry's date "mm-dd-yyyy" and time "hh:nn" split for the editor: at the
// first "-", then the first "-" of the rest; the time at its first ":".
EditorFields SplitForEditor(std::string_view date, std::string_view time,
                            std::string_view description);

// Whether a stored entry's date is a real day of a year the editor takes,
// and its time a time of day ("hh" and "nn" of two digits). The editor shows
// a damaged date or time empty, so nothing is stored the user did not confirm.
bool StoredDateIsValid(const EditorFields& fields);
bool StoredTimeIsValid(const EditorFields& fields);

}  // namespace ordalis
