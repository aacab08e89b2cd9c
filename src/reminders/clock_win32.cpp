#include "reminders/clock_win32.h"

#include <windows.h>

namespace ordalis {

LocalTime SystemClock::Now() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}

}  // namespace ordalis
