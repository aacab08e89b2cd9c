#pragma once
// Dates as the user reads them. A task keeps its date as "mm-dd-yyyy" in the
// file and in the program; what the user sees is the system's text of that
// day ("Di, 08.12.2026" on a German system). The program's formatter asks
// Windows; tests give a fixed one.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "session/clock.h"

namespace ordalis {

// The user's text of a day (Windows-1252); empty when there is none for it.
using DateFormatter = std::function<std::string(const LocalTime&)>;

// The day a stored "mm-dd-yyyy" names, when the calendar has it.
std::optional<LocalTime> StoredDay(std::string_view stored);

// A stored date as the user reads it. A date in any other form (written by
// hand, damaged), or a day the formatter has no text for, shows as stored.
std::string ShownDate(std::string_view stored, const DateFormatter& format);

}  // namespace ordalis
