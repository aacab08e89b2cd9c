#include "storage/repeat_rule.h"

#include <algorithm>
#include <cstdio>

#include "session/shown_date.h"

namespace ordalis {

namespace {

LocalTime Day(long long dayNumber) {
  return TimeOfMinute(dayNumber * 24 * 60);
}

int DaysInMonth(int year, int month) {
  LocalTime first{year, month, 1};
  LocalTime next = month == 12 ? LocalTime{year + 1, 1, 1} : LocalTime{year, month + 1, 1};
  return static_cast<int>(DayNumber(next) - DayNumber(first));
}

// 0 for Monday: 7 December 2026 was one.
int Weekday(long long dayNumber) {
  const long long monday = DayNumber({2026, 12, 7});
  return static_cast<int>(((dayNumber - monday) % 7 + 7) % 7);
}

// The series' date in month `months` after the series' first one.
LocalTime MonthOfSeries(const RepeatRule& rule, int year, long long months) {
  const long long index = (year * 12LL + rule.month - 1) + months;
  const int y = static_cast<int>(index / 12), m = static_cast<int>(index % 12) + 1;
  return {y, m, std::min(rule.day, DaysInMonth(y, m))};
}

}  // namespace

const char* RepeatKindText(RepeatKind kind) {
  switch (kind) {
    case RepeatKind::kNever: return "nie";
    case RepeatKind::kDaily: return "t\xE4glich";
    case RepeatKind::kWeekdays:
      return "werktags (Mo\x96"
             "Fr)";
    case RepeatKind::kWeekly:
      return "w\xF6"
             "chentlich";
    case RepeatKind::kFortnightly: return "alle zwei Wochen";
    case RepeatKind::kMonthly: return "monatlich";
    case RepeatKind::kYearly: return "j\xE4hrlich";
  }
  return "";
}

std::string RepeatRuleText(const RepeatRule& rule) {
  char text[16];
  std::snprintf(text, sizeof text, "%d %02d-%02d", static_cast<int>(rule.kind), rule.month,
                rule.day);
  return text;
}

std::optional<RepeatRule> RepeatRuleFromText(std::string_view text) {
  if (text.size() != 7 || text[1] != ' ' || text[4] != '-') return std::nullopt;
  const auto digit = [&](size_t at) { return text[at] >= '0' && text[at] <= '9'; };
  for (const size_t at : {0, 2, 3, 5, 6}) {
    if (!digit(at)) return std::nullopt;
  }
  RepeatRule rule;
  const int kind = text[0] - '0';
  rule.month = (text[2] - '0') * 10 + (text[3] - '0');
  rule.day = (text[5] - '0') * 10 + (text[6] - '0');
  // 29 February is a day of the calendar; 30 February is not.
  if (kind < 1 || kind >= kRepeatKinds || rule.month < 1 || rule.month > 12 || rule.day < 1 ||
      rule.day > DaysInMonth(2028, rule.month)) {
    return std::nullopt;
  }
  rule.kind = static_cast<RepeatKind>(kind);
  return rule;
}

RepeatRule ChosenRule(RepeatKind kind, std::string_view date, std::string_view oldDate,
                      const std::optional<RepeatRule>& old) {
  if (old && old->kind == kind && date == oldDate) return *old;
  const std::optional<LocalTime> day = StoredDay(date);
  if (kind == RepeatKind::kNever || !day) return {};
  return {kind, day->month, day->day};
}

std::optional<LocalTime> NextInSeries(const RepeatRule& rule, const LocalTime& taskDate,
                                      const LocalTime& today) {
  const long long from = DayNumber(taskDate);
  const long long after = std::max(from, DayNumber(today));  // the next date lies beyond
  switch (rule.kind) {
    case RepeatKind::kNever: return std::nullopt;
    case RepeatKind::kDaily: return Day(after + 1);
    case RepeatKind::kWeekdays: {
      long long day = after + 1;
      while (Weekday(day) >= 5) ++day;
      return Day(day);
    }
    case RepeatKind::kWeekly:
    case RepeatKind::kFortnightly: {
      const long long step = rule.kind == RepeatKind::kWeekly ? 7 : 14;
      return Day(from + ((after - from) / step + 1) * step);
    }
    case RepeatKind::kMonthly:
    case RepeatKind::kYearly: {
      const long long step = rule.kind == RepeatKind::kMonthly ? 1 : 12;
      // Counted from the series' start in the task's year: the task's own
      // date may be a shortened one (28 February for the 31st).
      RepeatRule start = rule;
      if (rule.kind == RepeatKind::kMonthly) start.month = taskDate.month;
      for (long long months = 0;; months += step) {
        const LocalTime date = MonthOfSeries(start, taskDate.year, months);
        if (DayNumber(date) > after) return date;
      }
    }
  }
  return std::nullopt;
}

}  // namespace ordalis
