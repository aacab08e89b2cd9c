#include "win32/start_trace.h"

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <optional>
#include <set>
#include <string>

namespace ordalis::win32 {

namespace {

struct Trace {
  HANDLE file;  // kept open: a step costs as little of the start as it can
  std::set<std::wstring> modules;
  std::set<std::string> once;
};

Trace* Active() {
  static std::optional<Trace> trace = []() -> std::optional<Trace> {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"ORDALIS_TRACE", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::nullopt;
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    return Trace{file, {}, {}};
  }();
  return trace ? &*trace : nullptr;
}

ULONGLONG Value(const FILETIME& time) {
  return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

void TraceStart(const char* step, bool listModules) {
  Trace* trace = Active();
  if (!trace) return;
  FILETIME created, exited, kernel, user, now;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  GetSystemTimePreciseAsFileTime(&now);
  const double ms = static_cast<double>(Value(now) - Value(created)) / 10000.0;
  char at[32];
  std::snprintf(at, sizeof at, "%7.1f ms  ", ms);
  std::string line = at + std::string(step);
  PROCESS_MEMORY_COUNTERS memory{};
  if (K32GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory)) {
    std::snprintf(at, sizeof at, "  (%zu kB)", memory.WorkingSetSize / 1024);
    line += at;
  }
  HMODULE modules[512];
  DWORD bytes = 0;
  if (listModules && K32EnumProcessModules(GetCurrentProcess(), modules, sizeof modules, &bytes)) {
    std::string added;
    for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < 512; ++i) {
      wchar_t name[MAX_PATH] = {};
      if (!K32GetModuleBaseNameW(GetCurrentProcess(), modules[i], name, MAX_PATH)) continue;
      CharLowerW(name);
      if (!trace->modules.insert(name).second) continue;
      added += ' ';
      for (const wchar_t* c = name; *c; ++c) added += *c < 128 ? static_cast<char>(*c) : '?';
    }
    if (!added.empty()) line += "  +" + added;
  }
  line += "\n";
  DWORD written = 0;
  WriteFile(trace->file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

void TraceStartOnce(const char* step) {
  Trace* trace = Active();
  if (trace && trace->once.insert(step).second) TraceStart(step);
}

}  // namespace ordalis::win32
