#pragma once
// The history of backups beside the data file: before each change the file
// as it was goes to "Sicherungen\Vemra-JJJJMMTT-hhmmss.dat". The newest
// kBackupsKept stay, by the order they were made (kept in the folder's
// index, since a clock set wrong names them out of order), and the last of
// each of the kBackupDays days before today, so that a task of last week
// can still be brought back.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "session/clock.h"
#include "session/shown_date.h"

namespace ordalis {

inline constexpr wchar_t kBackupFolder[] = L"Sicherungen";
inline constexpr size_t kBackupsKept = 20;
inline constexpr int kBackupDays = 14;
// The names of the history in the order they were made, oldest first, a
// line each.
inline constexpr wchar_t kHistoryIndex[] = L"Reihenfolge.txt";

// "Vemra-20261208-154501.dat"; a further backup of the same second takes
// the serial number 2, 3, ... ("Vemra-20261208-154501-2.dat").
std::string BackupName(const LocalTime& time, int serial = 1);

struct BackupStamp {
  LocalTime time;
  int serial = 1;
};
// What a backup's name says; nothing for any other name.
std::optional<BackupStamp> ParseBackupName(std::string_view name);

// The name for a backup taken now, after every backup of the history: a
// serial number above any other of the same second, so that a name freed
// when the oldest went is never taken again out of order.
std::string NextBackupName(const LocalTime& now, const std::vector<std::string>& history);

// The backups among the names, newest first by their names; other names
// are left out.
std::vector<std::string> SortBackups(const std::vector<std::string>& names);
// The backups among the names, newest first by the order they were made:
// those the index names are newer than those it does not (made before it
// was kept), which go by their names.
std::vector<std::string> HistoryOrder(const std::vector<std::string>& names,
                                      std::string_view index);
// The index for a history ordered newest first.
std::string HistoryIndex(const std::vector<std::string>& newestFirst);
// What goes of a history ordered newest first: all but the newest
// kBackupsKept and the newest of each of the kBackupDays days before
// `today` (by the day in the name).
std::vector<std::string> BackupsToRemove(const std::vector<std::string>& newestFirst,
                                         const LocalTime& today);

// A backup's day as the user reads it and its time ("Di, 08.12.2026
// 15:45:01" on a German system) for a backup's name; the name itself for
// another.
std::string BackupLabel(std::string_view name, const DateFormatter& format);

}  // namespace ordalis
