#pragma once
// The history of backups beside the data file: before each change the file
// as it was goes to "Sicherungen\Vemra-JJJJMMTT-hhmmss.dat"; the newest
// kBackupsKept stay.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "session/clock.h"

namespace ordalis {

inline constexpr wchar_t kBackupFolder[] = L"Sicherungen";
inline constexpr size_t kBackupsKept = 20;

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

// The backups among the names, newest first; other names are left out.
std::vector<std::string> SortBackups(const std::vector<std::string>& names);
// The backups that go so that the newest kBackupsKept remain.
std::vector<std::string> BackupsToRemove(const std::vector<std::string>& names);

// "08.12.2026 15:45:01" for a backup's name; the name itself for another.
std::string BackupLabel(std::string_view name);

}  // namespace ordalis
