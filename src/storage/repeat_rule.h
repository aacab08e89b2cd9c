#pragma once
// Tasks that come back by themselves: the rule of a series, as the user
// picks it and as the data file keeps it, and the next date of a series.
#include <optional>
#include <string>
#include <string_view>

#include "session/clock.h"

namespace ordalis {

// The rules in the order the editor offers them; kNever is no series.
enum class RepeatKind { kNever = 0, kDaily, kWeekdays, kWeekly, kFortnightly, kMonthly, kYearly };
inline constexpr int kRepeatKinds = 7;

// A rule with the day it started on: a monthly series on the 31st keeps
// the 31st through shorter months, a yearly one on 29 February comes back
// to it in leap years.
struct RepeatRule {
  RepeatKind kind = RepeatKind::kNever;
  int month = 1, day = 1;  // the series' first date
  bool operator==(const RepeatRule&) const = default;
};

// The editor's text of a rule (Windows-1252).
const char* RepeatKindText(RepeatKind kind);

// "<kind> <mm-dd>" as the data file keeps it (before scrambling), and back;
// nothing for a text that is no rule.
std::string RepeatRuleText(const RepeatRule& rule);
std::optional<RepeatRule> RepeatRuleFromText(std::string_view text);

// The rule the user chose for a task dated `date` ("mm-dd-yyyy"): the
// series starts on that date, unless it is the series' date already and the
// rule stays the same (a monthly series on the 31st, shown on the 28th,
// keeps its 31st). kNever when the date cannot be read.
RepeatRule ChosenRule(RepeatKind kind, std::string_view date, std::string_view oldDate,
                      const std::optional<RepeatRule>& old);

// The series' next date after both the task's date and today: the dates
// missed meanwhile are skipped, not piled up. Nothing for kNever.
std::optional<LocalTime> NextInSeries(const RepeatRule& rule, const LocalTime& taskDate,
                                      const LocalTime& today);

}  // namespace ordalis
