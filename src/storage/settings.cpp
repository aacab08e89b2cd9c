#include "storage/settings.h"

#include <algorithm>
#include <limits>

namespace ordalis {

namespace {

// Registry texts may still carry their terminator and what followed it;
// readers only ever see the part before the first NUL.
std::wstring_view BeforeNul(std::wstring_view text) {
  return text.substr(0, std::min(text.find(L'\0'), text.size()));
}

bool IsBlank(wchar_t c) {
  return c == L' ' || c == L'\t';
}

// A whole decimal number with an optional sign and blanks around it. Only
// the digits 0 to 9 count; a number that does not fit is no number.
std::optional<long long> ParseWhole(std::wstring_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == L'-' || text.front() == L'+')) {
    negative = text.front() == L'-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  // Gathered as a negative number so that the smallest one fits too.
  constexpr long long kMin = std::numeric_limits<long long>::min();
  long long result = 0;
  for (const wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    const int digit = c - L'0';
    if (result < (kMin + digit) / 10) return std::nullopt;
    result = result * 10 - digit;
  }
  if (!negative) {
    if (result == kMin) return std::nullopt;
    result = -result;
  }
  return result;
}

}  // namespace

bool ReadsAsOne(const SettingValue& value) {
  return NumericValue(value) == 1;
}

std::optional<long long> NumericValue(const SettingValue& value) {
  if (const auto* number = std::get_if<std::uint32_t>(&value)) return *number;
  if (const auto* text = std::get_if<std::wstring>(&value)) return ParseWhole(BeforeNul(*text));
  return std::nullopt;
}

std::wstring TextValue(const SettingValue& value) {
  if (const auto* number = std::get_if<std::uint32_t>(&value)) return std::to_wstring(*number);
  if (const auto* text = std::get_if<std::wstring>(&value)) return std::wstring(BeforeNul(*text));
  return {};
}

std::optional<SettingValue> ReadSetting(SettingsStore& store, std::wstring_view name) {
  SettingValue value;
  if (!store.GetValue(SettingsRoot::kCurrentUser, kSettingsKey, name, value)) return std::nullopt;
  return value;
}

bool WriteSetting(SettingsStore& store, std::wstring_view name, const SettingValue& value) {
  return store.SetValue(SettingsRoot::kCurrentUser, kSettingsKey, name, value);
}

}  // namespace ordalis
