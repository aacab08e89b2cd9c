#pragma once
// Dates in the user's own form, as Windows writes them for the user's locale.
#include <string>

#include "session/clock.h"

namespace ordalis::win32 {

// The day's short weekday and the user's short date: "Di, 08.12.2026" on a
// German system. Texts of the program are Windows-1252: a locale whose
// weekday has no code there gives the short date alone, one whose date has
// none gives nothing, and so does a day Windows cannot name.
std::string UserDate(const LocalTime& day);

}  // namespace ordalis::win32
