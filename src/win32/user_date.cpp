#include "win32/user_date.h"

#include <windows.h>

#include "win32/text.h"

namespace ordalis::win32 {

namespace {

std::wstring DatePart(const SYSTEMTIME& day, DWORD flags, const wchar_t* picture) {
  wchar_t text[128];
  const int length =
      GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, flags, &day, picture, text, 128, nullptr);
  return length > 1 ? std::wstring(text, static_cast<size_t>(length - 1)) : std::wstring();
}

}  // namespace

std::string UserDate(const LocalTime& day) {
  SYSTEMTIME time{};
  time.wYear = static_cast<WORD>(day.year);
  time.wMonth = static_cast<WORD>(day.month);
  time.wDay = static_cast<WORD>(day.day);
  const std::wstring date = DatePart(time, DATE_SHORTDATE, nullptr);
  if (date.empty()) return {};
  const std::wstring weekday = DatePart(time, 0, L"ddd");
  if (!weekday.empty()) {
    if (std::optional<std::string> both = Narrow(weekday + L", " + date)) return *both;
  }
  return Narrow(date).value_or(std::string());
}

}  // namespace ordalis::win32
