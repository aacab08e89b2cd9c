#include "editor/editor_rules.h"

#include "editor/days_in_month.h"

#include <cmath>
#include <cstdio>

#include "storage/scrambler.h"

namespace ordalis {

std::vector<std::string> DayEntries(int days) {
  std::vector<std::string> entries;
  for (int day = 1; day <= days; ++day) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", day);
    entries.emplace_back(text);
  }
  return entries;
}

int DayToSelect(int wanted, int days) {
  return wanted > days ? days : wanted;
}

std::optional<long long> FieldNumber(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  long long whole = 0;
  size_t digits = 0, at = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at, ++digits) {
    if (whole > 1'000'000'000'000LL) return std::nullopt;
    whole = whole * 10 + (text[at] - '0');
  }
  bool roundUp = false;
  if (at < text.size() && (text[at] == '.' || text[at] == ',')) {
    ++at;
    size_t fraction = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at, ++fraction) {
      if (fraction == 0) roundUp = text[at] >= '5';
    }
    digits += fraction;
  }
  if (digits == 0 || at != text.size()) return std::nullopt;
  if (roundUp) ++whole;
  return negative ? -whole : whole;
}

std::optional<std::string> LeaveTimeField(std::string_view text, std::string_view bound) {
  const auto number = FieldNumber(text);
  if (!number) return std::nullopt;
  char formatted[32];
  std::snprintf(formatted, sizeof formatted, "%02lld", *number);
  if (std::string_view(formatted) >= bound) return std::nullopt;
  return std::string(formatted);
}

namespace {
bool InRange(std::string_view text, long long low, long long high) {
  const auto number = FieldNumber(text);
  return number && *number >= low && *number <= high;
}
}  // namespace

bool YearAccepted(std::string_view text) {
  return InRange(text, 2000, 2099);
}
bool HourAccepted(std::string_view text) {
  return InRange(text, 0, 23);
}
bool MinuteAccepted(std::string_view text) {
  return InRange(text, 0, 59);
}

std::string TwoDigits(std::string_view text) {
  std::string digits;
  if (text.size() == 1) digits.push_back('0');
  digits.append(text);
  return digits;
}

bool TypedCharacterFits(int length, int selected, int limit) {
  return length < limit || selected == limit;
}

const char kCaretRefusedText[] =
    "Das Zeichen \"^\" kann in der Beschreibung nicht gespeichert werden: Die Aufgabendatei "
    "h\xE4lt das Eurozeichen als \"^\" fest, nach dem n\xE4"
    "chsten Laden st\xFC"
    "nde an "
    "seiner Stelle \"\x80\". Bitte entfernen oder ersetzen Sie es. ";

const char* DescriptionRefusal(std::string_view windows1252) {
  for (const char c : windows1252) {
    const auto code = static_cast<unsigned char>(c);
    if (code < 32 || (code >= 128 && code <= 159 && code != 0x80)) return kScrambleRefusedText;
  }
  return windows1252.find('^') == std::string_view::npos ? nullptr : kCaretRefusedText;
}

}  // namespace ordalis

namespace ordalis {

namespace {
std::pair<std::string, std::string> SplitAt(std::string_view text, char separator) {
  const size_t at = text.find(separator);
  if (at == std::string_view::npos) return {std::string(text), {}};
  return {std::string(text.substr(0, at)), std::string(text.substr(at + 1))};
}
}  // namespace

EditorFields SplitForEditor(std::string_view date, std::string_view time,
                            std::string_view description) {
  EditorFields fields;
  auto [month, rest] = SplitAt(date, '-');
  auto [day, year] = SplitAt(rest, '-');
  auto [hour, minute] = SplitAt(time, ':');
  fields.month = std::move(month);
  fields.day = std::move(day);
  fields.year = std::move(year);
  fields.hour = std::move(hour);
  fields.minute = std::move(minute);
  fields.description = std::string(description);
  return fields;
}

TypedEntry TypeIntoList(std::string_view typed, char digit, int entries) {
  for (std::string candidate : {std::string(typed) + digit, std::string(1, digit)}) {
    const int number = std::stoi(candidate);
    if (candidate.size() > 2 || number > entries) continue;
    return {candidate, number >= 1 ? std::optional<int>(number) : std::nullopt};
  }
  return {};
}

bool StoredDateIsValid(const EditorFields& f) {
  const auto digits = [](const std::string& text, size_t count) {
    return text.size() == count && text.find_first_not_of("0123456789") == std::string::npos;
  };
  if (!digits(f.month, 2) || !digits(f.day, 2) || !digits(f.year, 4) || !YearAccepted(f.year)) {
    return false;
  }
  const int month = std::stoi(f.month), day = std::stoi(f.day), year = std::stoi(f.year);
  return month >= 1 && month <= 12 && day >= 1 &&
         day <= DaysInMonth(month, year, std::nullopt, {year, month, 1});
}

bool StoredTimeIsValid(const EditorFields& f) {
  return f.hour.size() == 2 && f.minute.size() == 2 && HourAccepted(f.hour) &&
         MinuteAccepted(f.minute);
}

}  // namespace ordalis
