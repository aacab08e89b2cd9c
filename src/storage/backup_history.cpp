#include "storage/backup_history.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <tuple>

namespace ordalis {

namespace {

constexpr std::string_view kPrefix = "Vemra-";
constexpr std::string_view kExtension = ".dat";

bool Digits(std::string_view text, int& value) {
  if (text.empty() ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return false;
  }
  return std::from_chars(text.data(), text.data() + text.size(), value).ec == std::errc{};
}

auto Order(const BackupStamp& s) {
  const LocalTime& t = s.time;
  return std::tuple(t.year, t.month, t.day, t.hour, t.minute, t.second, s.serial);
}

}  // namespace

std::string BackupName(const LocalTime& time, int serial) {
  char name[64];
  std::snprintf(name, sizeof name, "Vemra-%04d%02d%02d-%02d%02d%02d", time.year, time.month,
                time.day, time.hour, time.minute, time.second);
  std::string result = name;
  if (serial > 1) result.append(1, '-').append(std::to_string(serial));
  return result.append(kExtension);
}

std::optional<BackupStamp> ParseBackupName(std::string_view name) {
  // Names compare without regard to case, as the file system does.
  if (name.size() < kPrefix.size() + 15 + kExtension.size()) return std::nullopt;
  const auto same = [](std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return (x | 0x20) == (y | 0x20); });
  };
  if (!same(name.substr(0, kPrefix.size()), kPrefix) ||
      !same(name.substr(name.size() - kExtension.size()), kExtension)) {
    return std::nullopt;
  }
  const std::string_view stamp =
      name.substr(kPrefix.size(), name.size() - kPrefix.size() - kExtension.size());
  BackupStamp result;
  LocalTime& t = result.time;
  if (stamp.size() < 15 || stamp[8] != '-' || !Digits(stamp.substr(0, 4), t.year) ||
      !Digits(stamp.substr(4, 2), t.month) || !Digits(stamp.substr(6, 2), t.day) ||
      !Digits(stamp.substr(9, 2), t.hour) || !Digits(stamp.substr(11, 2), t.minute) ||
      !Digits(stamp.substr(13, 2), t.second)) {
    return std::nullopt;
  }
  if (stamp.size() > 15 && (stamp[15] != '-' || !Digits(stamp.substr(16), result.serial))) {
    return std::nullopt;
  }
  return result;
}

std::string NextBackupName(const LocalTime& now, const std::vector<std::string>& history) {
  int serial = 0;
  for (const std::string& name : history) {
    const auto stamp = ParseBackupName(name);
    if (stamp && stamp->time.year == now.year && stamp->time.month == now.month &&
        stamp->time.day == now.day && stamp->time.hour == now.hour &&
        stamp->time.minute == now.minute && stamp->time.second == now.second) {
      serial = std::max(serial, stamp->serial);
    }
  }
  return BackupName(now, serial + 1);
}

std::vector<std::string> SortBackups(const std::vector<std::string>& names) {
  std::vector<std::pair<BackupStamp, std::string>> stamped;
  for (const std::string& name : names) {
    if (const auto stamp = ParseBackupName(name)) stamped.emplace_back(*stamp, name);
  }
  std::stable_sort(stamped.begin(), stamped.end(),
                   [](const auto& a, const auto& b) { return Order(a.first) > Order(b.first); });
  std::vector<std::string> sorted;
  for (auto& entry : stamped) sorted.push_back(std::move(entry.second));
  return sorted;
}

std::vector<std::string> HistoryOrder(const std::vector<std::string>& names,
                                      std::string_view index) {
  std::vector<std::string> indexed;  // newest first
  for (size_t start = 0; start < index.size();) {
    const size_t end = std::min(index.find('\n', start), index.size());
    std::string_view line = index.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    start = end + 1;
    const auto on = std::find(names.begin(), names.end(), line);
    if (on == names.end() || std::find(indexed.begin(), indexed.end(), line) != indexed.end()) {
      continue;
    }
    indexed.insert(indexed.begin(), std::string(line));
  }
  std::vector<std::string> rest;
  for (const std::string& name : names) {
    if (std::find(indexed.begin(), indexed.end(), name) == indexed.end()) rest.push_back(name);
  }
  for (std::string& name : SortBackups(rest)) indexed.push_back(std::move(name));
  return indexed;
}

std::string HistoryIndex(const std::vector<std::string>& newestFirst) {
  std::string index;
  for (auto name = newestFirst.rbegin(); name != newestFirst.rend(); ++name) {
    index.append(*name).append("\r\n");
  }
  return index;
}

std::vector<std::string> BackupsToRemove(const std::vector<std::string>& newestFirst,
                                         const LocalTime& today) {
  std::vector<std::string> remove;
  std::vector<long long> daysKept;  // days whose newest backup stays
  for (size_t i = 0; i < newestFirst.size(); ++i) {
    const auto stamp = ParseBackupName(newestFirst[i]);
    const long long day = stamp ? DayNumber(stamp->time) : 0;
    const bool dayKept = std::find(daysKept.begin(), daysKept.end(), day) != daysKept.end();
    if (stamp && !dayKept) daysKept.push_back(day);
    if (i < kBackupsKept) continue;
    // The newest of one of the days before today stays: the state that day
    // ended with.
    const long long before = DayNumber(today) - day;
    if (stamp && !dayKept && before >= 1 && before <= kBackupDays) continue;
    remove.push_back(newestFirst[i]);
  }
  return remove;
}

std::string BackupLabel(std::string_view name, const DateFormatter& format) {
  const auto stamp = ParseBackupName(name);
  if (!stamp) return std::string(name);
  const LocalTime& t = stamp->time;
  char time[32];
  std::snprintf(time, sizeof time, " %02d:%02d:%02d", t.hour, t.minute, t.second);
  std::string result = ShownDate(FormatDate(t), format) + time;
  if (stamp->serial > 1) result.append(" (").append(std::to_string(stamp->serial)).append(1, ')');
  return result;
}

}  // namespace ordalis
